// Reading a driver's extension list.
#include "scene/gl_extension_rules.h"

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
