#include "AIDebugText.h"

#include <CDebugRenderer.h>

void AIDebugRule(const std::string& text, float weight) { DebugPrintf(text, weight, true); }

void AIDebugText(const std::string& text) { DebugPrintText(text, true, true); }
