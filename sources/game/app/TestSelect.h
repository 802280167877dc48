// The end-to-end tests' "select <window> <n>" command: a choice in a list the
// way a player's pick makes it, without aiming the pointer at a drop-down
// item. A combobox takes its item whose id is n and fires "selection
// accepted" as a pick in its drop list does; a listbox selects its n-th item
// (0 the first), which fires "selection changed". A hidden or disabled
// window refuses, as it would refuse a click.
#pragma once

#include <string>

// Runs the command ("<window> <n>") and reports "selected <window> <n>" or
// "error select <window>: <why>". True when the choice was made.
bool TestSelect(const std::string& argument);
