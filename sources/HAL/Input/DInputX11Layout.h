// The keyboard layout of the X server, kept apart from SDL: Xlib's macros
// (None, Success, Status) clash with ordinary names.
#pragma once

#include <cstdint>

// A character a translation may store: one 16-bit code point; Delete and
// control points outside 16 bits give none. 0 for none.
uint16_t DInputStorableChar(uint32_t codePoint);

// Fills the three tables (plain, Shift, Alt Gr) by DirectInput key code from
// the X server's current layout and group, Caps Lock ignored. False when no
// X display can be opened (the tables are left as they were).
bool DInputBuildX11CharTables(uint16_t tables[3][256]);
