// The first screen of the career, championship and cup flows: the six save
// slots of the flow's tournament kind. A free slot starts a new tournament
// (the flow goes on to its set-up), a used one resumes the stored tournament
// at once; a used slot can be erased after a confirmation.
#pragma once

#include "CMenu.h"

class CMenuSave : public CMenu {
public:
    enum { SLOT_COUNT = 6 };

    void OnEnter(int previousStateId) override;
    void Update() override;
    void OnLeave(int) override {}

    // Writes the six slot buttons and number labels; binds the slot buttons
    // once per visit.
    void FillSlotList();
    // The selected slot's number turns red, the others black.
    void HighlightSlot(int slot);

    bool OnSlotSelected(const CEGUI::EventArgs& args);
    bool OnBtnValid(const CEGUI::EventArgs& args);
    bool OnBtnCreate(const CEGUI::EventArgs& args);
    bool OnBtnErase(const CEGUI::EventArgs& args);
    bool OnBtnConfirmErase(const CEGUI::EventArgs& args);
    bool OnBtnCancelErase(const CEGUI::EventArgs& args);

    // -1 when none, else 1..6.
    int GetCurrentSlot() const { return mCurrentSlot; }
    // 0 career, 1 championship, 2 cup.
    int GetSaveTypeIndex() const { return mSaveTypeIndex; }
    bool IsStartRequested() const { return mStart != 0; }
    // A slot outside 1..6, or of a kind above 2, counts as free.
    bool IsSlotFree(int slot) const;

    static const char kLayout[];   // "CMenuSave.layout"

private:
    int mCurrentSlot = -1;
    unsigned char mStart = 0;
    unsigned char mSlotsBound = 0;
    int mSaveTypeIndex = 0;
};
