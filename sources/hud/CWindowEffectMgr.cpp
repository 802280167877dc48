#include "CWindowEffectMgr.h"

#include <CGUIMgr.h>
#include <HalTimer.h>

#include <CEGUI/Window.h>

int CWindowEffectMgr::sSlotCount = 0;
CWindowEffect* CWindowEffectMgr::sSlots = nullptr;
// Links the slots only: never deletes them.
KEMLinkedList<CWindowEffect> CWindowEffectMgr::sActive(false);

void CWindowEffectMgr::Create() {
    if (sSlots)
        return;
    sSlots = new CWindowEffect[kSlotCount];
    sSlotCount = kSlotCount;
}

void CWindowEffectMgr::Free() {
    sActive.UnlinkAll();
    delete[] sSlots;
    sSlots = nullptr;
    sSlotCount = 0;
}

const CWindowEffect* CWindowEffectMgr::GetSlot(int index) {
    if (!sSlots || index < 0 || index >= sSlotCount)
        return nullptr;
    return &sSlots[index];
}

float CWindowEffectMgr::BlinkAlpha(unsigned int gameTimeMs) {
    return static_cast<float>(1.0 - (gameTimeMs % 1000u) / 1000.0 * 0.5);
}

void CWindowEffectMgr::Release(CWindowEffect& effect) {
    effect.mWindowName.clear();
    effect.mState = -1;
    sActive.Remove(&effect);
}

bool CWindowEffectMgr::StartEffect(const std::string& windowName) {
    if (!sSlots || sSlotCount < 1 || windowName.empty())
        return false;
    // A window that already blinks keeps its one slot: repeated starts (a
    // screen's handler run on every click) would otherwise fill the pool and
    // stop every blink for good. Its saved alpha stays the one from before
    // the blink, so a stop still restores the window's own alpha.
    for (int i = 0; i < sSlotCount; ++i)
        if (sSlots[i].mState != -1 && sSlots[i].mWindowName == windowName) {
            sSlots[i].mState = 0;
            return true;
        }
    CWindowEffect* slot = nullptr;
    for (int i = 0; i < sSlotCount && !slot; ++i)
        if (sSlots[i].mState == -1)
            slot = &sSlots[i];
    if (!slot)
        return false;
    slot->mWindowName = windowName;
    slot->mState = 0;
    sActive.Append(slot);
    CEGUI::Window* window = gGUIMgr.GetWindow(windowName);
    slot->mSavedAlpha = window ? window->getAlpha() : 1.0f;
    return true;
}

bool CWindowEffectMgr::StopEffect(const std::string& windowName) {
    if (!sSlots || sSlotCount < 1 || windowName.empty())
        return false;
    for (int i = 0; i < sSlotCount; ++i) {
        CWindowEffect& effect = sSlots[i];
        if (effect.mState == -1 || effect.mWindowName != windowName)
            continue;
        if (CEGUI::Window* window = gGUIMgr.GetWindow(windowName))
            window->setAlpha(effect.mSavedAlpha);
        Release(effect);
        return true;
    }
    return false;
}

void CWindowEffectMgr::Update() {
    if (!sSlots)
        return;
    CEGUI::Window* root = gGUIMgr.GetWindow("Root");
    const float alpha = BlinkAlpha(gTimer.GetTimeMs());
    // The next link is read first: the effect may leave the list.
    for (CWindowEffect* effect = sActive.GetHead(); effect;) {
        CWindowEffect* next = effect->mNext;
        if (effect->mState != -1) {
            CEGUI::Window* window = root ? gGUIMgr.GetWindow(effect->mWindowName) : nullptr;
            if (!window) {
                Release(*effect);
            } else if (effect->mState == 0) {
                window->setAlpha(alpha);
                window->invalidate();
            }
        }
        effect = next;
    }
}
