// The head-up display's tournament screens behind the tournament-information
// state's screen interface.
#pragma once

class CTournamentScreen;

// The screen of a slot (TournamentScreenSlot); null for an unknown slot.
CTournamentScreen* BuildHudTournamentScreen(int slot);
