// Decimal numbers as the plug-in writes and reads them in its texts (the settings file, the panel's
// fields, the adjust record): "." is the decimal point whatever locale the host has set, so that
// what the plug-in writes it reads back.
#pragma once

#include <cstddef>

// value as "%g" writes it in the C locale, cut to fit size (empty when size cannot hold it).
void FormatDecimal(double value, char* text, std::size_t size);

// The decimal number at the start of [begin, end), read as strtod reads one in the C locale: white
// space skipped, then an optional sign, digits with an optional point, an optional exponent (which
// counts only with a digit); reading stops at the first character that cannot continue it. Beyond
// a double's range it is infinite or 0, as strtod makes it. 0 when there is no number; hexadecimal,
// "inf" and "nan" are not numbers here.
double ReadDecimalNumber(const char* begin, const char* end);

// The same, from the start of a zero-ended text.
double ReadDecimalNumber(const char* text);
