#include "CMenuChooseCountry.h"

#include "CMenuGameMode.h"
#include "MenuBind.h"
#include "MenuServices.h"
#include "MenuTextFormat.h"

#include <CDebugRenderer.h>
#include <CGUIMgr.h>
#include <CLangDB.h>
#include <GuiPlainText.h>
#include <COverlayHolder.h>
#include <Platform.h>
#include <Team.h>
#include <TeamDB.h>

#include <CEGUI/FontManager.h>
#include <CEGUI/ImageManager.h>
#include <CEGUI/widgets/Listbox.h>
#include <CEGUI/widgets/ListboxTextItem.h>

const char CMenuChooseCountry::kLayout[] = "CMenuSelectCountry.layout";
const char CMenuChooseCountry::kList[] = "RegionListBox";

namespace {
const char kOverlay[] = "CMenuChooseCountry";
const char kMap[] = "Country/map";
const char kFlag[] = "Country/flag";
const char kCountryName[] = "TextCountryName";
const char kListFont[] = "lucida-8";
// The chosen item lies on the skin's selection brush, tinted gold.
const char kSelectionBrush[] = "TaharezLook/MultiListSelectionBrush";
const CEGUI::argb_t kChosenBrush = 0xFFC08A1C;
const int kEntryCount = 16;

CEGUI::Listbox* List() {
    return dynamic_cast<CEGUI::Listbox*>(gGUIMgr.GetWindow(CMenuChooseCountry::kList));
}

void Blink(const char* window, bool on) {
    auto effect = on ? MenuHudHooks().startWindowEffect : MenuHudHooks().stopWindowEffect;
    if (effect)
        effect(window);
}
}  // namespace

void CMenuChooseCountry::OnEnter(int) {
    mTeamCount = mMenuGameMode ? mMenuGameMode->GetNbTeams() : 0;
    mCurrentIndex = 0;
    mOrigin = mMenuGameMode ? mMenuGameMode->GetTeamOrigin() : 1;
    ClearFlags();
    mCurrentTeamNumber = 1;
    mChosenRegionIds.clear();
    mChosenCountryIds.clear();
    mSelectedName.clear();
    mSelectedItem = nullptr;

    DebugPrintText("COUNTRY SELECTION : PRESS \"N\" TO CONTINUE", false, false);
    if (!gGUIMgr.LoadLayout(kLayout))
        PlatLog("CMenuChooseCountry::OnEnter() => layout \"%s\" missing: the screen has no list", kLayout);
    SetWindowText(kCountryName, "");
    ShowMapAndFlag();

    for (int i = 0; i < MAX_CHOSEN; ++i) {
        mChosenNames[i].clear();
        if (mMenuGameMode) {
            mMenuGameMode->SetTeamCountry(i, 0);
            mMenuGameMode->SetTeamRegion(i, 0);
        }
    }

    SetWindowText("MenuText", mMenuGameMode ? GetText(mMenuGameMode->GetName().c_str()) : "");
    SetWindowText("FrameName", GetText(mOrigin == 1 ? "REGION_FRAME_NAME" : "COUNTRY_FRAME_NAME"));
    ShowTeamPrompt();

    if (CEGUI::Listbox* list = List()) {
        list->setSortingEnabled(true);
        list->setMultiselectEnabled(false);
    }

    using M = CMenuChooseCountry;
    SetWindowText(kValidButton, GetText("CTN"));
    BindMenuButton<M>(kValidButton, nullptr, &M::OnBtnValid, this);
    BindMenuButton<M>("BtnContinue", nullptr, &M::OnBtnContinue, this);
    BindMenuButton<M>("BtnBack", nullptr, &M::OnBtnBack, this);
    if (CEGUI::Window* w = gGUIMgr.GetWindow("BtnContinue"))
        w->hide();
    SetWindowText("BtnBack", GetText("BK"));
    SetWindowText("BtnContinue", GetText("CTN"));
    if (CEGUI::Window* w = gGUIMgr.GetWindow(kValidButton))
        w->setEnabled(false);

    if (mOrigin == 1)
        FillRegionList();
    else
        FillNationList();

    Blink(kCountryName, true);
    mSelectedItem = nullptr;
}

void CMenuChooseCountry::ShowMapAndFlag() {
    gGUIMgr.ShowOverlay(kOverlay);
    SetOverlayMaterial(kMap, mOrigin == 1 ? "MENU/Country/mapF" : "MENU/Country/mapW");
    SetOverlayMaterial(kFlag, "MENU/Country/flag");
    SetOverlayElementWidth(kMap, mOrigin == 1 ? 0.209f : 0.3135f);
    SetOverlayElementLeft(kMap, mOrigin == 1 ? 0.568f : 0.45f);
}

void CMenuChooseCountry::ShowTeamPrompt() {
    int kind = mMenuGameMode ? mMenuGameMode->GetTournamentType() : 0;
    std::string label = GetText(kind == CMenuGameMode::TOURNAMENT_CHAMPIONSHIP || kind == CMenuGameMode::TOURNAMENT_CUP
                                    ? "PLAYER" : "TEAM");
    int origin = mMenuGameMode ? mMenuGameMode->GetTeamOrigin() : mOrigin;
    std::string format = GetText(origin == 1 ? "CHOOSE_COUNTRY" : "CHOOSE_NATION");
    SetWindowText("TextInfos", MenuFormatStringInt(format, label, mCurrentTeamNumber));
}

void CMenuChooseCountry::AddListItem(const std::string& text, int id) {
    CEGUI::Listbox* list = List();
    if (!list)
        return;
    auto* item = new CEGUI::ListboxTextItem(text, static_cast<CEGUI::uint>(id), nullptr, false, true);
    GuiPlainItem(*item);
    if (CEGUI::FontManager::getSingleton().isDefined(kListFont))
        item->setFont(kListFont);
    // The chosen region or nation stands out in the list, as on the map.
    item->setSelectionColours(CEGUI::Colour(kChosenBrush));
    if (CEGUI::ImageManager::getSingleton().isDefined(kSelectionBrush))
        item->setSelectionBrushImage(kSelectionBrush);
    list->addItem(item);
}

void CMenuChooseCountry::FillRegionList() {
    for (int id = 1; id <= kEntryCount; ++id) {
        const std::string& name = TeamDB::GetRegionName(TeamDB::GetRegionNames(), id);
        const Team* team = TeamDB::GetRegionalTeam(TeamDB::GetRegionId(name));
        // Without a team record the region's own name stands in.
        AddListItem(GetText(team ? team->mName.c_str() : name.c_str()), id);
    }
    if (CEGUI::Listbox* list = List())
        list->subscribeEvent(CEGUI::Window::EventMouseClick,
                             CEGUI::Event::Subscriber(&CMenuChooseCountry::OnRegionSelected, this));
}

void CMenuChooseCountry::FillNationList() {
    for (int id = 1; id <= kEntryCount; ++id)
        AddListItem(GetText(TeamDB::GetCountryName(TeamDB::GetCountryNames(), id).c_str()), id);
    if (CEGUI::Listbox* list = List())
        list->subscribeEvent(CEGUI::Window::EventMouseClick,
                             CEGUI::Event::Subscriber(&CMenuChooseCountry::OnNationSelected, this));
}

bool CMenuChooseCountry::OnRegionSelected(const CEGUI::EventArgs&) { return OnItemSelected(true); }
bool CMenuChooseCountry::OnNationSelected(const CEGUI::EventArgs&) { return OnItemSelected(false); }

bool CMenuChooseCountry::OnItemSelected(bool region) {
    gGUIMgr.PlayMenuSound(0);
    CEGUI::Listbox* list = List();
    CEGUI::ListboxItem* item = list ? list->getFirstSelectedItem() : nullptr;
    if (!item)
        return true;
    int id = static_cast<int>(item->getID());
    std::string display = region ? TeamDB::GetRegionName(TeamDB::GetRegionNames(), id)
                                 : TeamDB::GetCountryName(TeamDB::GetCountryNames(), id);
    std::string resource = region ? TeamDB::GetRegionName(TeamDB::GetSecondRegionNames(), id)
                                  : TeamDB::GetCountryName(TeamDB::GetSecondCountryNames(), id);
    SetWindowText(kCountryName, item->getText().c_str());
    mSelectedItem = item;
    mSelectedName = display;
    if (mMenuGameMode) {
        mMenuGameMode->SetTeamCountry(mCurrentTeamNumber - 1, region ? int{TeamDB::FRANCE_COUNTRY_ID} : id);
        mMenuGameMode->SetTeamRegion(mCurrentTeamNumber - 1, region ? id : 0);
    }
    SetOverlayMaterial(kMap, "MENU/Country/map/" + resource);
    SetOverlayMaterial(kFlag, "MENU/Country/flag/" + resource);
    CEGUI::Window* valid = gGUIMgr.GetWindow(kValidButton);
    if (valid && valid->isVisible())
        valid->setEnabled(true);
    return true;
}

bool CMenuChooseCountry::CountNameMatches(const std::string& name, int limit) const {
    int count = 0;
    for (const std::string& chosen : mChosenNames)
        if (chosen == name)
            ++count;
    return count > limit;
}

void CMenuChooseCountry::RemoveChosenItem() {
    int kind = mMenuGameMode ? mMenuGameMode->GetTournamentType() : 0;
    bool remove = false;
    if (kind == CMenuGameMode::TOURNAMENT_QUICK_MATCH) {
        remove = true;
    } else if (kind == CMenuGameMode::TOURNAMENT_CUP) {
        switch (mMenuGameMode->GetGameType()) {
        case 1: remove = true; break;
        case 2: remove = CountNameMatches(mSelectedName, 1); break;
        case 3: remove = CountNameMatches(mSelectedName, 2); break;
        default: break;
        }
    }
    CEGUI::Listbox* list = List();
    if (!remove || !list || !mSelectedItem || !list->isListboxItemInList(mSelectedItem))
        return;
    list->removeItem(mSelectedItem);
    mSelectedItem = nullptr;
}

void CMenuChooseCountry::Store() {
    int id = 0;
    if (mOrigin == 1) {
        SetOverlayMaterial(kMap, "MENU/Country/mapF");
        SetOverlayMaterial(kFlag, "MENU/Country/flag");
        id = mMenuGameMode ? mMenuGameMode->GetTeamRegion(mCurrentTeamNumber - 1) : 0;
        mChosenRegionIds.push_back(id);
    } else {
        SetOverlayMaterial(kMap, "MENU/Country/mapW");
        id = mMenuGameMode ? mMenuGameMode->GetTeamCountry(mCurrentTeamNumber - 1) : 0;
        mChosenCountryIds.push_back(id);
    }
    if (mMenuGameMode)
        mMenuGameMode->SetPlayerTeam(mCurrentIndex, id);
}

bool CMenuChooseCountry::OnBtnValid(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    if (mSelectedName.empty())
        return true;
    SetWindowText(kCountryName, "");
    if (mCurrentTeamNumber < mTeamCount) {
        SetWindowText(kValidButton, GetText("CTN"));
        // Team numbers past the six names kept go unrecorded rather than
        // written beyond the array.
        if (mCurrentTeamNumber >= 1 && mCurrentTeamNumber <= MAX_CHOSEN)
            mChosenNames[mCurrentTeamNumber - 1] = mSelectedName;
        RemoveChosenItem();
        Store();
        if (CEGUI::Window* valid = gGUIMgr.GetWindow(kValidButton))
            valid->setEnabled(false);
        ++mCurrentIndex;
        ++mCurrentTeamNumber;
        // The next team starts with nothing selected.
        mSelectedName.clear();
        mSelectedItem = nullptr;
        ShowMapAndFlag();
    } else {
        Store();
        gGUIMgr.PlayMenuSound(0);
        mValidated = 1;
    }
    ShowTeamPrompt();
    return true;
}

void CMenuChooseCountry::OnLeave(int nextStateId) {
    Blink(kCountryName, false);
    LeaveCommon(nextStateId);
}
