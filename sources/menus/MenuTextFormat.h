// Texts of the language file used as printf formats: the file is data, so its
// conversions are checked against the arguments the caller hands over before
// any formatting.
#pragma once

#include <string>

// True when the format's conversions (after "%%" escapes) are exactly those of
// `kinds`, in order: 's' a string, 'i' an int (%d or %i), each with optional
// flags, width and precision but no length modifier or '*'.
bool MenuFormatMatches(const std::string& format, const char* kinds);

// The format with the int; when the format does not take exactly one int, the
// format text followed by the number.
std::string MenuFormatInt(const std::string& format, int number);
// The same with a string then an int; the fallback is "text number".
std::string MenuFormatStringInt(const std::string& format, const std::string& text, int number);
