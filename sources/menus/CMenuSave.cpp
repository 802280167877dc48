#include "CMenuSave.h"

#include "CMenuGameMode.h"
#include "MenuBind.h"
#include "MenuServices.h"

#include <CGUIMgr.h>
#include <CLangDB.h>
#include <CompetitionStart.h>
#include <Platform.h>
#include <SaveSlots.h>

#include <CEGUI/Exceptions.h>
#include <CEGUI/InputEvent.h>
#include <CEGUI/Window.h>

#include <cstdio>
#include <string>

const char CMenuSave::kLayout[] = "CMenuSave.layout";

namespace {

const char kOverlay[] = "CMenuSave";
const char kEmptySlotKey[] = "EMPTY_SAVE_SLOT_INFO";

std::string SlotWindow(int slot) { return "Slot" + std::to_string(slot); }
std::string NumberWindow(int slot) { return "nS" + std::to_string(slot); }

void EnableWindow(const char* name, bool enable) {
    if (CEGUI::Window* w = gGUIMgr.GetWindow(name))
        w->setEnabled(enable);
}

void ShowWindow(const char* name, bool show) {
    if (CEGUI::Window* w = gGUIMgr.GetWindow(name))
        w->setVisible(show);
}

// The slot table row of a flow kind; other kinds keep the row as it was.
int SaveTypeIndexOf(int tournamentType, int current) {
    switch (tournamentType) {
    case CMenuGameMode::TOURNAMENT_CAREER: return SAVE_KIND_CAREER;
    case CMenuGameMode::TOURNAMENT_CHAMPIONSHIP: return SAVE_KIND_CHAMPIONSHIP;
    case CMenuGameMode::TOURNAMENT_CUP: return SAVE_KIND_CUP;
    default: return current;
    }
}

// Null for a slot outside 1..6 or a kind outside the table.
SaveSlot* SlotRecord(int typeIndex, int slot) {
    if (typeIndex < 0 || typeIndex >= SAVE_SLOT_KIND_COUNT || slot < 1 || slot > SAVE_SLOTS_PER_KIND)
        return nullptr;
    return &g_SaveSlotTable[typeIndex * SAVE_SLOTS_PER_KIND + slot - 1];
}

void SetTextColour(const std::string& window, const char* argb) {
    CEGUI::Window* w = gGUIMgr.GetWindow(window);
    if (!w)
        return;
    const std::string colours = std::string("tl:") + argb + " tr:" + argb + " bl:" + argb + " br:" + argb;
    try {
        w->setProperty("TextColours", colours);
    } catch (const CEGUI::Exception& e) {
        PlatLog("CMenuSave: text colour of \"%s\": %s", window.c_str(), e.what());
    }
}

}  // namespace

bool CMenuSave::IsSlotFree(int slot) const {
    const SaveSlot* record = SlotRecord(mSaveTypeIndex, slot);
    return !record || record->mInfo == GetText(kEmptySlotKey);
}

void CMenuSave::OnEnter(int) {
    // The whole record of each save, not its header alone: a save the flow
    // refused (or would refuse) reads as unreadable, not as its old date.
    RefreshCompetitionSaveSlots();
    mSlotsBound = 0;
    mCurrentSlot = -1;
    ClearFlags();
    mStart = 0;
    if (mMenuGameMode)
        mSaveTypeIndex = SaveTypeIndexOf(mMenuGameMode->GetTournamentType(), mSaveTypeIndex);

    if (!gGUIMgr.LoadLayout(kLayout))
        PlatLog("CMenuSave::OnEnter() => layout \"%s\" missing: the save screen has no buttons", kLayout);
    gGUIMgr.ShowOverlay(kOverlay);

    SetWindowText("FrameName", mMenuGameMode ? mMenuGameMode->GetName() : std::string());
    SetWindowText("FrameSaveText", GetText("SAVE"));
    SetWindowText("FrameSaveList", GetText("LIST"));

    using M = CMenuSave;
    BindMenuButton<M>("BtnValid", nullptr, &M::OnBtnValid, this);
    BindMenuButton<CMenu>("BtnBack", nullptr, &CMenu::OnBtnBack, this);
    BindMenuButton<M>("BtnConfSuppr", nullptr, &M::OnBtnConfirmErase, this);
    BindMenuButton<M>("BtnBackSuppr", nullptr, &M::OnBtnCancelErase, this);
    BindMenuButton<M>("BtnCreate", nullptr, &M::OnBtnCreate, this);
    BindMenuButton<M>("BtnErase", nullptr, &M::OnBtnErase, this);

    static const char* const kTexts[][2] = {
        {"BtnBack", "BK"},         {"BtnValid", "CTN"},       {"BtnCreate", "CREATE"},
        {"BtnErase", "SUPPR"},     {"BtnConfSuppr", "YES"},   {"BtnBackSuppr", "NO"},
        {"textConfSuppr", "CONF_SUPPR"},
    };
    for (const auto& row : kTexts)
        SetWindowText(row[0], GetText(row[1]));

    ShowWindow("FrameConfSuppr", false);
    EnableWindow("BtnValid", false);
    EnableWindow("BtnErase", false);
    EnableWindow("BtnCreate", false);
    FillSlotList();
}

void CMenuSave::FillSlotList() {
    for (int slot = 1; slot <= SLOT_COUNT; ++slot) {
        const std::string name = SlotWindow(slot);
        if (CEGUI::Window* w = gGUIMgr.GetWindow(name)) {
            if (!mSlotsBound)
                w->subscribeEvent(CEGUI::Window::EventMouseClick,
                                  CEGUI::Event::Subscriber(&CMenuSave::OnSlotSelected, this));
            const SaveSlot* record = SlotRecord(mSaveTypeIndex, slot);
            w->setText(IsSlotFree(slot) ? std::string(GetText("EMPTY")) : record->mInfo);
        }
        SetWindowText(NumberWindow(slot), std::to_string(slot));
    }
    mSlotsBound = 1;
}

void CMenuSave::HighlightSlot(int slot) {
    for (int i = 1; i <= SLOT_COUNT; ++i)
        SetTextColour(NumberWindow(i), i == slot ? "FFFF0000" : "FF000000");
}

bool CMenuSave::OnSlotSelected(const CEGUI::EventArgs& args) {
    EnableWindow("BtnValid", false);
    gGUIMgr.PlayMenuSound(0);
    const auto* windowArgs = dynamic_cast<const CEGUI::WindowEventArgs*>(&args);
    const CEGUI::Window* clicked = windowArgs ? windowArgs->window : nullptr;
    const std::string name = clicked ? std::string(clicked->getName().c_str()) : std::string();
    // "Slot" and one digit; any other name selects nothing.
    const int slot = name.size() >= 5 ? name[4] - '0' : -1;
    if (slot < 1 || slot > SLOT_COUNT) {
        PlatLog("CMenuSave::OnSlotSelected() => \"%s\" is not a slot window", name.c_str());
        return true;
    }
    mCurrentSlot = slot;
    HighlightSlot(slot);
    const bool free = IsSlotFree(slot);
    EnableWindow("BtnCreate", free);
    EnableWindow("BtnErase", !free);
    if (!free)
        EnableWindow("BtnValid", true);
    return true;
}

bool CMenuSave::OnBtnCreate(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    if (mCurrentSlot == -1)
        return true;
    EnableWindow("BtnValid", true);
    SetWindowText(SlotWindow(mCurrentSlot), GetText("NEW_SAVE"));
    return true;
}

bool CMenuSave::OnBtnErase(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(3);
    if (mCurrentSlot == -1)
        return true;
    SetWindowText("textConfSuppr", GetText("CONF_SUPPR"));
    ShowWindow("FrameConfSuppr", true);
    return true;
}

bool CMenuSave::OnBtnCancelErase(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(1);
    ShowWindow("FrameConfSuppr", false);
    return true;
}

bool CMenuSave::OnBtnConfirmErase(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    if (SaveSlot* record = SlotRecord(mSaveTypeIndex, mCurrentSlot)) {
        record->mInfo = GetText(kEmptySlotKey);
        // The slot is free in the table even when the file stays.
        if (std::remove(PlatFixPath(record->mPath).c_str()) != 0)
            PlatLog("CMenuSave::OnBtnConfirmErase() => \"%s\" not deleted", record->mPath.c_str());
    }
    ShowWindow("FrameConfSuppr", false);
    FillSlotList();
    EnableWindow("BtnValid", false);
    EnableWindow("BtnErase", false);
    return true;
}

bool CMenuSave::OnBtnValid(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    if (mCurrentSlot == -1)
        return true;
    MenuWriteInt("SAVE", "save_slot", mCurrentSlot - 1);
    if (mMenuGameMode)
        MenuWriteInt("QUICKMATCHPARAMS", "tournamentType", mMenuGameMode->GetTournamentType());
    if (IsSlotFree(mCurrentSlot))
        mValidated = 1;
    else
        mStart = 1;
    return true;
}

void CMenuSave::Update() {
    UpdateValidBack(false);
    if (!mMenuGameMode)
        return;
    if (mStart) {
        gGUIMgr.DestroyAllWindows();
        mMenuGameMode->StartMatch();
    }
}
