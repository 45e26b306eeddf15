// Where the saver's DLLs come from, on every Windows its manifest names.
#include "host/dll_search.h"

#include <string>

void limitDllSearch() {
    // Looked up rather than imported: a Windows 7 without the update that brought it would
    // refuse to start a program that imports it.
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"),
                                               "SetDefaultDllDirectories")));
    if (setDefaultDllDirectories != nullptr &&
        setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        return;
    }
    limitDllSearchWithoutDefaultDirectories();
}

void limitDllSearchWithoutDefaultDirectories() {
    SetDllDirectoryW(L"");
    loadSystemLibrary(L"opengl32.dll");
}

HMODULE loadSystemLibrary(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return nullptr;
    }
    return LoadLibraryW((std::wstring(folder, length) + L"\\" + name).c_str());
}
