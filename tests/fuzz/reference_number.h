// The page's number conversion written out as plainly as possible, so that
// the fuzz targets can hold the engine's conversion and everything built on
// it against it.
#pragma once

#include <cstddef>

// Skips leading white space, reads the longest leading decimal number (sign,
// digits with an optional point and fraction, at least one digit, an
// optional exponent with at least one digit) and converts it; "+INF",
// "-INF", "+NAN" and "-NAN" give the signed infinity or NaN; anything else
// gives 0. consumed receives the number of characters up to the end of what
// was read, 0 when nothing was.
double ReferenceConvert(const char* text, std::size_t& consumed);

// The same value, bit for bit (NaNs agree when both are NaN of one sign).
bool SameDouble(double a, double b);
