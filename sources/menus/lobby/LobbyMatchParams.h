// The match parameters a LAN host hands over at the start: one packed
// environment section, which must be "QUICKMATCHPARAMS" and read whole.
#pragma once

class CEnvironment;
class CObjnet;

// Reads the packed section into env when it is the match parameters section
// and every variable of it reads, its floats finite and within the int range;
// false otherwise (a peer must not write the user's settings or any other
// section, nor hand the match numbers it cannot use). The packed object is left rewound.
// What a refused section would have written may partly stand in env: read
// into a scratch environment first.
bool ReadLobbyMatchParams(CObjnet& packed, CEnvironment& env);
