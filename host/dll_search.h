// Where the saver's DLLs come from: the system folder, never the folder the saver was started
// from nor the current directory.
#pragma once

#include <windows.h>

// Before anything can load a DLL. Where Windows offers SetDefaultDllDirectories (Windows 8 and
// later, and Windows 7 with its update KB2533623) every later load searches the system folder
// alone; elsewhere the current directory leaves the search and OpenGL is loaded at once from the
// system folder by its full path, so that the first OpenGL call finds it already loaded.
void limitDllSearch();

// The same promise where SetDefaultDllDirectories is missing; limitDllSearch falls back on it.
void limitDllSearchWithoutDefaultDirectories();

// A DLL loaded from the system folder by its full path, on every Windows; null if it is missing.
HMODULE loadSystemLibrary(const wchar_t* name);
