// One process-wide name generator for every 3D-engine object and for unnamed
// physics materials: OGRE needs unique names and several layers create objects.
#pragma once

#include <string>

// prefix + the counter's current value in decimal + suffix; then the counter
// moves on. The counter starts at 0 and is shared by every caller, so numbers
// follow the global creation order.
std::string makeUniqueName(const std::string& prefix, const std::string& suffix = "");
