// The game core's text-to-truth conversion.
#pragma once

#include <string>

// True when the text, lower-cased character by character, equals "yes", "1"
// or "true"; false for every other text (no trimming, the empty text included).
bool StringToBool(const std::string& text);
