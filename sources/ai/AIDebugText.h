// The computer opponent's reasoning in the debug text output: one line per
// rule that applies (its text, " : " and its weight).
#pragma once

#include <string>

void AIDebugRule(const std::string& text, float weight);
void AIDebugText(const std::string& text);
