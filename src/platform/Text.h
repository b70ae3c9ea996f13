#pragma once
// Text helpers shared by every layer. Case folding touches ASCII letters only
// and white space is the C locale's: the results never depend on the locale.

#include <cstdarg>
#include <string>
#include <string_view>

bool IsCSpace(char c);
char AsciiUpper(char c);

// True when `a` and `b` are equal ignoring the case of ASCII letters.
bool EqualsNoCase(std::string_view a, std::string_view b);

// `s` without leading and trailing C-locale white space.
std::string_view TrimView(std::string_view s);
std::string Trim(std::string_view s);

// Every occurrence of `from` replaced by `to`.
std::string ReplaceAll(std::string s, char from, char to);

// printf into a std::string.
// Checked as the C99 printf it calls (on Windows too, built with the C
// library's own printf family rather than the system's older one).
#if defined(__MINGW32__)
#define KX_PRINTF_CHECK __attribute__((format(gnu_printf, 1, 2)))
#else
#define KX_PRINTF_CHECK __attribute__((format(printf, 1, 2)))
#endif
std::string Format(const char* fmt, ...) KX_PRINTF_CHECK;
std::string FormatV(const char* fmt, std::va_list args);

// The longest leading decimal number of `text` (white space, sign, digits,
// point, exponent); 0 when there is none or it does not fit a float. The one
// parser of numbers typed by users or stored as text: no inf, nan or hex, and
// never the locale's decimal point.
float LeadingDecimal(std::string_view text);
// The same number in double precision; 0 when there is none or it is not
// finite.
double LeadingDecimalDouble(std::string_view text);
// The longest leading whole number (white space, sign, digits); 0 when there
// is none. Saturates far beyond any count a file can hold.
long long LeadingInteger(std::string_view text);
