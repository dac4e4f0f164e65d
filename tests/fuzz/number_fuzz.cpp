// Fuzz target: the engine's number conversion against the plain reference,
// on texts of any length and content. Value (bit for bit) and the end of
// the number must agree.
#include "engine.h"
#include "reference_number.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::size_t consumed = 0;
    const double expected = ReferenceConvert(text.c_str(), consumed);

    const char* end = nullptr;
    const double value = ConvertNumber(text.c_str(), &end);
    const double valueWithoutEnd = ConvertNumber(text.c_str());

    if (!SameDouble(value, expected) || !SameDouble(valueWithoutEnd, expected) ||
        end != text.c_str() + consumed) {
        std::fprintf(stderr,
                     "conversion differs for \"%s\": engine %a (end %td), "
                     "reference %a (end %zu)\n",
                     text.c_str(), value, end - text.c_str(), expected, consumed);
        std::abort();
    }
    return 0;
}
