// Reading a driver's extension list. Portable: no operating-system header.
#pragma once

// Whether the blank-separated extension list names the extension exactly: a longer name that
// begins with the same letters does not count. A null list or name names nothing.
bool listsExtension(const char* extensions, const char* name);
