#include "MenuTextFormat.h"

#include <Platform.h>

#include <cstring>

bool MenuFormatMatches(const std::string& format, const char* kinds) {
    size_t k = 0;
    const size_t want = std::strlen(kinds);
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%')
            continue;
        ++i;
        if (i < format.size() && format[i] == '%')
            continue;
        while (i < format.size() && std::strchr("-+ #0123456789.", format[i]))
            ++i;
        if (i >= format.size() || k >= want)
            return false;
        char c = format[i];
        bool ok = (kinds[k] == 's' && c == 's') || (kinds[k] == 'i' && (c == 'd' || c == 'i'));
        if (!ok)
            return false;
        ++k;
    }
    return k == want;
}

std::string MenuFormatInt(const std::string& format, int number) {
    if (!MenuFormatMatches(format, "i"))
        return format + " " + std::to_string(number);
    char text[512];
    PlatFormat(text, sizeof(text), format.c_str(), number);
    return text;
}

std::string MenuFormatStringInt(const std::string& format, const std::string& text, int number) {
    if (!MenuFormatMatches(format, "si"))
        return text + " " + std::to_string(number);
    char out[512];
    PlatFormat(out, sizeof(out), format.c_str(), text.c_str(), number);
    return out;
}
