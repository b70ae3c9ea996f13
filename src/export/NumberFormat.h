#pragma once
// Fast number formatting giving exactly the bytes of the printf conversions
// the writers use ("%.Nf", "%W.Nf", "%d", "%Ws"), appended to a string.
// Values are formatted as printf formats a float promoted to double. NaN and
// infinities print as "nan", "-nan", "inf", "-inf" on every platform.
// As in printf, a negative precision means 6 and a negative width aligns left
// in its absolute value. Nothing is allocated beyond growing `out`.

#include <cstdint>
#include <string>
#include <string_view>

// printf("%.*f", precision, value)
void AppendFixed(std::string& out, double value, int precision);
// printf("%*.*f", width, precision, value): right-aligned in `width`.
void AppendFixedWidth(std::string& out, double value, int width, int precision);
// printf("%d", value)
void AppendInt(std::string& out, std::int64_t value);
// printf("%*s", width, text): right-aligned in `width`.
void AppendPadded(std::string& out, std::string_view text, int width);
