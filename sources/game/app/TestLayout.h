// The end-to-end tests' view of what a frame shows: beside each screenshot the
// test channel writes "<file>.layout", one line per visible GUI window and per
// visible overlay element, so that a test can read a frame's pixels where a
// button, a bar or a text is drawn. Tab-separated, pixel coordinates:
//   window  <name> <type> <parent> <x0> <y0> <x1> <y1> <tx0> <ty0> <tx1> <ty1>
//           <font> <text width> <font height> <wraps 0/1> <disabled 0/1> <text>
//   overlay <overlay> <z-order> <name> <parent> <x0> <y0> <x1> <y1> <material>
//           <untextured 0/1> <caption>
//   alpha   <window name> <alpha the window is drawn with, its parents' included>
//   blink   <window name>   (a window the blink effect runs on)
//   camera  <the current camera's projection times view matrix, 16 numbers, row by row>
//   node    <name> <visible 0/1> <x> <y> <z> <scale y>   (world place of the match's
//           balls, target ball and markers)
// (tx0..ty1: the area the window's text is drawn in; untextured: a texture unit
// of the element's material draws from a texture it does not have.)
#pragma once

#include <string>

// Writes the file; false (and nothing written) when there is no GUI yet.
bool WriteTestLayout(const std::string& path);
