// printf-style formatting with the program's legacy number forms.
#pragma once

#include <cstdarg>
#include <string>

// Appends the formatted text to out. Conversions follow C's printf, except that every
// %e / %E writes at least three exponent digits and the field width counts them
// (1.5 with "%15e" gives "  1.500000e+000").
void AppendFormatV(std::string& out, const char* fmt, va_list args);
void AppendFormat(std::string& out, const char* fmt, ...) __attribute__((format(printf, 2, 3)));

// The formatted text as a new string.
std::string FormatString(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
