#include "reference_number.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace {

bool Space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
           c == '\r';
}

bool Digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

double ReferenceConvert(const char* text, std::size_t& consumed)
{
    consumed = 0;
    std::size_t i = 0;
    while (Space(text[i]))
        ++i;
    const std::size_t start = i;

    if (text[i] == '+' || text[i] == '-') {
        const double sign = text[i] == '-' ? -1.0 : 1.0;
        if (std::strncmp(text + i + 1, "INF", 3) == 0) {
            consumed = i + 4;
            return sign * std::numeric_limits<double>::infinity();
        }
        if (std::strncmp(text + i + 1, "NAN", 3) == 0) {
            consumed = i + 4;
            return std::copysign(std::numeric_limits<double>::quiet_NaN(), sign);
        }
        ++i;
    }

    int digits = 0;
    while (Digit(text[i])) {
        ++i;
        ++digits;
    }
    if (text[i] == '.') {
        ++i;
        while (Digit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;

    std::size_t j = i;
    if (text[j] == 'e' || text[j] == 'E') {
        ++j;
        if (text[j] == '+' || text[j] == '-')
            ++j;
        if (Digit(text[j])) {
            while (Digit(text[j]))
                ++j;
            i = j;
        }
    }

    // What is handed on is a plain decimal (no hex, no inf or nan), which
    // glibc's strtod converts with correct rounding, to infinity on overflow
    // and to a subnormal or zero on underflow.
    consumed = i;
    const std::string number(text + start, i - start);
    return std::strtod(number.c_str(), nullptr);
}

bool SameDouble(double a, double b)
{
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) && std::isnan(b) &&
               std::signbit(a) == std::signbit(b);
    return std::memcmp(&a, &b, sizeof a) == 0;
}
