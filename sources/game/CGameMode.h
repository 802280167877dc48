// The base of every game mode. The application
// object owns the current mode and deletes it through this virtual destructor.
// Init, Update, Exit and the mode fields come with the game modes.
#pragma once

class CGameMode {
public:
    CGameMode() = default;
    virtual ~CGameMode();
    CGameMode(const CGameMode&) = delete;
    CGameMode& operator=(const CGameMode&) = delete;
};
