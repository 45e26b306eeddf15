// Reading a driver's extension list and the functions it answers.
#include "scene/gl_extension_rules.h"

#include <cstdint>
#include <cstring>

bool listsExtension(const char* extensions, const char* name)
{
    if (extensions == nullptr || name == nullptr || *name == '\0')
        return false;
    const std::size_t length = std::strlen(name);
    for (const char* at = std::strstr(extensions, name); at != nullptr;
         at = std::strstr(at + 1, name)) {
        const bool startsWord = at == extensions || at[-1] == ' ';
        const bool endsWord = at[length] == ' ' || at[length] == '\0';
        if (startsWord && endsWord)
            return true;
    }
    return false;
}

bool usableProcAddress(const void* address)
{
    const auto value = reinterpret_cast<std::intptr_t>(address);
    return value != 0 && value != 1 && value != 2 && value != 3 && value != -1;
}
