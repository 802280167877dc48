// Blinking GUI windows: screens start a blink on a window by name and stop it
// later by the same name; the main loop updates every blink once per frame.
#pragma once

#include <KEMList.h>

#include <string>

// One blink effect: a slot of the manager's fixed pool.
class CWindowEffect {
public:
    CWindowEffect() = default;
    CWindowEffect(const CWindowEffect&) = delete;
    CWindowEffect& operator=(const CWindowEffect&) = delete;

    std::string mWindowName;    // empty while the slot is free
    int mState = -1;            // -1 free, 0 blinking
    float mSavedAlpha = 1.0f;   // the window's own alpha, written back on stop
    CWindowEffect* mPrev = nullptr;
    CWindowEffect* mNext = nullptr;
};

class CWindowEffectMgr {
public:
    enum { kSlotCount = 32 };

    // The pool of 32 free slots (once, at start-up; a second call keeps the
    // pool it has).
    static void Create();
    // Releases the pool: from then on nothing starts, stops or updates.
    static void Free();

    // Takes the lowest free slot for the window; a window that already blinks
    // keeps its slot (the blink restarts, no second slot is taken). False with
    // no pool, an empty name, or when every slot is in use. A window that does not exist (yet) is no error:
    // its saved alpha is 1 and the next Update frees the slot.
    static bool StartEffect(const std::string& windowName);
    // Frees the lowest-indexed slot blinking that window and gives the window
    // back the alpha it had when that blink started. False when none.
    static bool StopEffect(const std::string& windowName);
    // Once per frame: a 1 s sawtooth of alpha (1.0 down to 0.5) on game time;
    // effects whose window (or the "Root" window) is gone are freed.
    static void Update();

    // For tests and diagnostics.
    static int GetSlotCount() { return sSlotCount; }
    static const CWindowEffect* GetSlot(int index);
    static const KEMLinkedList<CWindowEffect>& GetActiveList() { return sActive; }
    // The blink's alpha at a game time in milliseconds.
    static float BlinkAlpha(unsigned int gameTimeMs);

private:
    static void Release(CWindowEffect& effect);

    static int sSlotCount;
    static CWindowEffect* sSlots;
    static KEMLinkedList<CWindowEffect> sActive;
};
