#include "MatchText.h"

#include <CLangDB.h>
#include <Platform.h>

#include <cstring>
#include <set>

namespace {

const unsigned int kMaxDisplayedScore = 13;
const size_t kTextBufferSize = 512;

const char* LangText(const char* key) {
    const char* text = GetText(key);
    return text ? text : "";
}

void ReportBadFormat(const char* key, const char* kinds) {
    static std::set<std::string> reported;
    if (reported.insert(key).second)
        PlatLog("FormatMatchText(\"%s\") => the text does not take the arguments \"%s\"; shown unformatted", key,
                kinds);
}

}  // namespace

bool MatchFormatMatches(const char* format, const char* kinds) {
    if (!format || !kinds)
        return false;
    const size_t length = std::strlen(format);
    const size_t want = std::strlen(kinds);
    size_t k = 0;
    for (size_t i = 0; i < length; ++i) {
        if (format[i] != '%')
            continue;
        ++i;
        if (i < length && format[i] == '%')
            continue;
        while (i < length && std::strchr("-+ #0123456789.", format[i]))
            ++i;
        if (i >= length || k >= want)
            return false;
        const char c = format[i];
        const bool ok = (kinds[k] == 's' && c == 's') || (kinds[k] == 'i' && (c == 'd' || c == 'i'));
        if (!ok)
            return false;
        ++k;
    }
    return k == want;
}

std::string FormatMatchText(const char* key, int number) {
    const char* format = LangText(key);
    if (!MatchFormatMatches(format, "i")) {
        ReportBadFormat(key, "i");
        return std::string(format) + " " + std::to_string(number);
    }
    char text[kTextBufferSize];
    PlatFormat(text, sizeof(text), format, number);
    return text;
}

std::string FormatMatchText(const char* key, const std::string& argument) {
    const char* format = LangText(key);
    if (!MatchFormatMatches(format, "s")) {
        ReportBadFormat(key, "s");
        return std::string(format) + " " + argument;
    }
    char text[kTextBufferSize];
    PlatFormat(text, sizeof(text), format, argument.c_str());
    return text;
}

std::string FormatMatchText(const char* key, const std::string& argument, int number) {
    const char* format = LangText(key);
    if (!MatchFormatMatches(format, "si")) {
        ReportBadFormat(key, "si");
        return std::string(format) + " " + argument + " " + std::to_string(number);
    }
    char text[kTextBufferSize];
    PlatFormat(text, sizeof(text), format, argument.c_str(), number);
    return text;
}

int RandomPickIndex(int randValue, int count) {
    if (count <= 0)
        return -1;
    int index = static_cast<int>(randValue / 32767.0 * count);
    if (index >= count)
        index = count - 1;
    if (index < 0)
        index = 0;
    return index;
}

int DrawTossResult(int randValue) {
    const int n = RandomPickIndex(randValue, 11);   // 0..10
    return n > 5 ? 0 : 1;
}

unsigned int DisplayedScore(unsigned int score) {
    return score > kMaxDisplayedScore ? kMaxDisplayedScore : score;
}

int MatchWinnerSide(unsigned int scoreFirst, unsigned int scoreSecond) {
    return scoreFirst > scoreSecond ? 0 : 1;
}

int MeneScoringSide(unsigned int pointsFirst, unsigned int pointsSecond) {
    return pointsFirst > 0 ? 0 : pointsSecond > 0 ? 1 : -1;
}

std::string ComposeMatchResultText(bool lan, const std::string& winnerName, unsigned int winnerScore,
                                   unsigned int loserScore) {
    const std::string winner = std::to_string(DisplayedScore(winnerScore));
    const std::string loser = std::to_string(DisplayedScore(loserScore));
    if (lan)
        return winner + " " + LangText("TO") + " " + loser;
    return winnerName + "\n" + LangText("WIN") + " " + winner + " " + LangText("TO") + " " + loser;
}
