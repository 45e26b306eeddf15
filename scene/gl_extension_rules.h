// Reading a driver's extension list and the functions it answers. Portable: no operating-system header.
#pragma once

// Whether the blank-separated extension list names the extension exactly: a longer name that
// begins with the same letters does not count. A null list or name names nothing.
bool listsExtension(const char* extensions, const char* name);

// Whether an address that wglGetProcAddress answered can be called: some drivers answer 1, 2, 3
// or -1 instead of null for a function they lack.
bool usableProcAddress(const void* address);
