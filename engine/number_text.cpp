// Number conversion of the page's fields. Our own rather than strtod: the C
// library also reads hexadecimal, "inf", "nan" and "infinity", which must
// all give 0 here. Only plain decimals are read, plus the four signed forms
// "+INF", "-INF", "+NAN" and "-NAN".
#include "engine.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
           c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool StartsWith(const char* text, const char* word)
{
    for (; *word != '\0'; ++text, ++word)
        if (*text != *word)
            return false;
    return true;
}

// Decimal exponent of the first non-zero digit of an out-of-range number:
// positive for an overflow, negative for an underflow.
long long MagnitudeOf(const char* digits, const char* mantissaEnd,
                      long long exponent)
{
    long long integerDigits = 0;
    for (const char* p = digits; p < mantissaEnd && *p != '.'; ++p)
        ++integerDigits;
    long long k = 0;
    for (const char* p = digits; p < mantissaEnd; ++p) {
        if (*p == '.')
            continue;
        if (*p != '0')
            return exponent + integerDigits - 1 - k;
        ++k;
    }
    return 0;
}

}  // namespace

double ConvertNumber(const char* text, const char** end)
{
    const char* p = text;
    while (IsSpace(*p))
        ++p;

    bool negative = false;
    bool signGiven = (*p == '+' || *p == '-');
    if (signGiven) {
        negative = (*p == '-');
        ++p;
        if (StartsWith(p, "INF") || StartsWith(p, "NAN")) {
            double value = (*p == 'I') ? std::numeric_limits<double>::infinity()
                                       : std::numeric_limits<double>::quiet_NaN();
            if (end)
                *end = p + 3;
            return negative ? -value : value;
        }
    }

    // Mantissa: digits, optionally with a decimal point; at least one digit.
    const char* digits = p;
    int digitCount = 0;
    while (IsDigit(*p)) {
        ++p;
        ++digitCount;
    }
    if (*p == '.') {
        ++p;
        while (IsDigit(*p)) {
            ++p;
            ++digitCount;
        }
    }
    if (digitCount == 0) {
        if (end)
            *end = text;
        return 0.0;
    }
    const char* mantissaEnd = p;

    // Exponent, taken only when at least one digit follows the e.
    long long exponent = 0;
    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        bool negativeExponent = false;
        if (*q == '+' || *q == '-') {
            negativeExponent = (*q == '-');
            ++q;
        }
        if (IsDigit(*q)) {
            while (IsDigit(*q)) {
                if (exponent < 1000000000)
                    exponent = exponent * 10 + (*q - '0');
                ++q;
            }
            if (negativeExponent)
                exponent = -exponent;
            p = q;
        }
    }

    double value = 0.0;
    std::from_chars_result r =
        std::from_chars(digits, p, value, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) {
        value = MagnitudeOf(digits, mantissaEnd, exponent) > 0
                    ? std::numeric_limits<double>::infinity()
                    : 0.0;
    }
    if (end)
        *end = p;
    return negative ? -value : value;
}

int TruncToInt(long double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0L)
        return 2147483647;
    if (value <= -2147483648.0L)
        return -2147483647 - 1;
    return static_cast<int>(value);
}
