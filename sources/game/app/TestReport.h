// The test channel of the end-to-end tests: report lines the game appends to
// <dir>/report.txt when TAVIRELO_TEST_CONTROL=<dir> is set, and the other
// test-only settings read from the environment. Normal play sets none of
// them: every call here is then a no-op or says "not set".
#pragma once

// True when the report channel is open (the variable is set).
bool TestReportEnabled();
// One line, printf style, newline added, flushed at once. No-op when disabled.
void TestReport(const char* format, ...) __attribute__((format(printf, 1, 2)));

// TAVIRELO_TEST_TOSS: the pre-drawn toss, 0 (first side begins) or 1; -1
// when it is not set or holds anything else.
int TestToss();

// TAVIRELO_TEST_TARGET: a shorter target score (1 to 13) for the matches of
// a tournament; `normal` when it is not set or out of range.
int TestTargetScore(int normal);
// TAVIRELO_TEST_AUTOPLAY=1: the computer throws for the gamers' teams in the
// matches of a tournament (their teams stay the gamers' in the tournament).
bool TestAutoplay();
// TAVIRELO_TEST_SEED: the run's fixed seed; false when not set.
bool TestFixedSeed(unsigned& seed);

// TAVIRELO_TEST_LAN_NAME: the name the LAN lobby gives its player and its
// hosted game instead of the computer's name; null when not set or empty.
const char* TestLanName();

// TAVIRELO_TEST_TRAINING_THROW="<level>[,<angle>]": the trainee's throws are
// set up as the computer sets up its own (aim at the exercise, gauge presets)
// with that error level (-1 none, 0 to 10) and angle button (1 to 3, 2 when
// left out). The level is kTestThrowOff when the variable is not set or
// malformed.
const int kTestThrowOff = -2;
int TestTrainingThrowLevel();
int TestTrainingThrowAngle();

// The report file's path ("" when disabled); the control loop reads its
// commands beside it.
const char* TestControlDir();
