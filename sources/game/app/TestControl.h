// The game-mode loop's side of the end-to-end tests' control channel (see
// TestReport.h). Everything here is inert unless its TAVIRELO_TEST_*
// environment variable is set.
#pragma once

#include <cstdint>

// Before the first mode: the fixed seed, the match settings file and the
// pre-drawn toss go into the settings store, the fixed step into the timer.
// Returns the first mode's id: TAVIRELO_TEST_START_MODE, else defaultMode.
int TestStartUp(int defaultMode);

// The fixed step in ms (0: the game runs on the real clock).
uint32_t TestFixedStepMs();

// Frame start: the virtual clock moves on by one fixed step.
void TestFrameStart();
// After the frame's window messages: new commands, a click in progress, the
// balls' positions.
void TestFrameServices();

// After the frame's picture is drawn: the screenshots asked for this frame,
// each with the window layout of that same picture.
void TestFrameRendered();

// The loop entered a mode (after its Init).
void TestModeEntered(int modeId);

// Parses one "name=value" or "SECTION.name=value" line of a match file into
// section, name and value; false for a blank, comment or malformed line.
// The section defaults to "QUICKMATCHPARAMS".
bool ParseTestSetting(const char* line, char (&section)[32], char (&name)[32], char (&value)[256]);
