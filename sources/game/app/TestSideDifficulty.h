// The test channel's side difficulties: a figure may pit one difficulty
// against another in a match between two computer sides of one machine.
// Inert unless TAVIRELO_TEST_SIDE_DIFFICULTY is set.
#pragma once

// The difficulty (0..2) the side's decisions and throws are played at, when
// TAVIRELO_TEST_SIDE_DIFFICULTY gives one per side ("0,2": side A easy, side
// B hard); -1 otherwise, and for any other side.
int TestSideDifficulty(int side);
