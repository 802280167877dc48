// The small rules of the match screens that are worth keeping apart from the
// windows they fill: language-table formats checked against their arguments
// before use, random picks kept inside their list, the displayed score cap,
// the winner of a finished match and the head-or-tail draw.
#pragma once

#include <string>

// True when the format's conversions (after "%%" escapes) are exactly those
// of `kinds`, in order: 's' a string, 'i' an int (%d or %i), with optional
// flags, width and precision only.
bool MatchFormatMatches(const char* format, const char* kinds);

// The language text of `key` formatted with its arguments, bounded. A text
// whose conversions do not match the arguments is not used as a format: the
// key's text is shown followed by the arguments (and the fault logged once
// per key).
std::string FormatMatchText(const char* key, int number);
std::string FormatMatchText(const char* key, const std::string& text);
std::string FormatMatchText(const char* key, const std::string& text, int number);

// An index into a list of `count` entries from one rand() value (0..32767):
// (int)(r / 32767.0 x count), kept at count - 1 at most (r = 32767 would
// name no entry). -1 for an empty list.
int RandomPickIndex(int randValue, int count);

// The head-or-tail draw from one rand() value: n = (int)(r / 32767.0 x 11)
// kept at 10 at most, 0 ("Pile.") when n > 5, else 1 ("Face."). The uneven
// split (1 for 17,873 of the 32,768 values) is the game's own toss.
int DrawTossResult(int randValue);

// Scores are shown as at most 13.
unsigned int DisplayedScore(unsigned int score);

// 0 when the first side's score is greater, otherwise 1 (equal scores go to
// the second side).
int MatchWinnerSide(unsigned int scoreFirst, unsigned int scoreSecond);

// The side that scored a mene's points: 0 or 1, or -1 when neither did (a
// mene can end with the target ball out of play and no point).
int MeneScoringSide(unsigned int pointsFirst, unsigned int pointsSecond);

// The end-of-match and awards result text. On a connected LAN machine:
// "<winner score> <TO> <loser score>"; otherwise
// "<winner name>\n<WIN> <winner score> <TO> <loser score>". Scores capped.
std::string ComposeMatchResultText(bool lan, const std::string& winnerName, unsigned int winnerScore,
                                   unsigned int loserScore);
