// Parses arbitrary text as the offset and the byte pattern of a string written into an installed
// file (the author's text, stored in the project and read back by the package writer). Besides
// not crashing: counting and storing agree, and a buffer is never written past its capacity.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "core/syntax/StringSyntax.h"

using namespace velkan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)ParseOffset(text);

    const size_t count = ParseBytePattern(text);
    std::vector<unsigned char> exact(count + 1, 0xA5);
    if (ParseBytePattern(text, exact.data(), count) != count) std::abort();
    if (exact[count] != 0xA5) std::abort();  // one past the capacity stays untouched
    if (count > 0) {
        std::vector<unsigned char> small(count, 0xA5);
        if (ParseBytePattern(text, small.data(), count - 1) != 0) std::abort();
    }
    return 0;
}
