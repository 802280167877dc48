#include "StringToBool.h"

bool StringToBool(const std::string& text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lower == "yes" || lower == "1" || lower == "true";
}
