// What the menus use of the head-up display: its overlay groups, the loading
// screen and the blink of window effects. The HUD installs these; until it
// does, each entry is null and the menus skip it.
#pragma once

#include <string>

struct CMenuHudHooks {
    // Rebuilds the HUD's overlay groups (the main and demo menus on start).
    void (*initOverlayStates)() = nullptr;
    // Shows or hides the loading screen.
    void (*showLoadingScreen)(bool show) = nullptr;
    // Starts / stops the blink of the named GUI window.
    void (*startWindowEffect)(const std::string& window) = nullptr;
    void (*stopWindowEffect)(const std::string& window) = nullptr;
};

CMenuHudHooks& MenuHudHooks();

class CEnvironmentVariable;

// A variable of the global settings store, created untyped when missing.
CEnvironmentVariable* MenuVariable(const char* section, const char* name);
// An int as is, a float truncated toward zero, anything else 0.
int MenuReadInt(const char* section, const char* name);
// Frees a text value first, then stores the int.
void MenuWriteInt(const char* section, const char* name, int value);
void MenuWriteString(const char* section, const char* name, const char* text);

// Deletes every variable of the global settings store except those of the
// sections the application saves to the user's settings file ("SETTINGS",
// "GAME"): the parameters of any earlier set-up or match go, the user's own
// values stay.
void ClearMenuParameters();

// Starts the looping menu music when it exists and is not playing.
void StartMenuMusic();

// The GUI window's text, when the window exists.
void SetWindowText(const std::string& window, const std::string& text);

// A menu's blinking button is the choice made (or the way on): its word
// turns gold while it blinks, so that at the blink's faint end it never
// reads as a disabled button; back to white when the blink stops.
void MarkChosenButton(const std::string& window, bool chosen);
