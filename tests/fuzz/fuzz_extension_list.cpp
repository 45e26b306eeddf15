// Fuzzes the reading of the driver's extension list: for any list and name, the answer is whether
// one of the list's blank-separated words is exactly the name, and nothing is read past either
// text's end.
#include <cstddef>
#include <cstdint>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "scene/gl_extension_rules.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

bool listNames(const std::string& list, const std::string& name)
{
    if (name.empty())
        return false;
    std::string::size_type start = 0;
    while (start <= list.size()) {
        std::string::size_type end = list.find(' ', start);
        if (end == std::string::npos)
            end = list.size();
        if (list.compare(start, end - start, name) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    // C strings, as the driver hands them over: each stops at its first NUL.
    const std::string name = input.ConsumeRandomLengthString(64).c_str();
    const std::string list = input.ConsumeRemainingBytesAsString().c_str();
    const bool named = listsExtension(list.c_str(), name.c_str());
    // Extension names never hold a blank; for such a name only memory safety is asked.
    if (name.find(' ') == std::string::npos)
        FUZZ_CHECK(named == listNames(list, name));
    FUZZ_CHECK(!listsExtension(nullptr, name.c_str()));
    FUZZ_CHECK(!listsExtension(list.c_str(), nullptr));
    return 0;
}
