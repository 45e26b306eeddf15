// Fuzzes the saturating decimal conversion with arbitrary text: it must never read past the text's
// end and must agree with the C library's conversion, brought into the 32-bit range.
#include <cstddef>
#include <cstdint>
#include <string>

#include "host/decimal.h"
#include "tests/fuzz/decimal_reference.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Exactly size bytes and a terminator, so that AddressSanitizer sees any read beyond it.
    const std::string text(reinterpret_cast<const char*>(data), size);
    FUZZ_CHECK(parseDecimal(text.c_str()) == referenceDecimal(text.c_str()));
    return 0;
}
