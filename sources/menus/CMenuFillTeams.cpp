#include "CMenuFillTeams.h"

#include "CMenuGameMode.h"
#include "MenuBind.h"
#include "MenuServices.h"
#include "MenuTextFormat.h"

#include <CGUIMgr.h>
#include <CLangDB.h>
#include <COverlayHolder.h>
#include <Platform.h>
#include <TeamDB.h>

#include <CEGUI/FontManager.h>
#include <CEGUI/InputEvent.h>
#include <CEGUI/Window.h>

#include <string>

const char CMenuFillTeams::kLayout[] = "CMenuFillTeams.layout";

namespace {
const char kOverlay[] = "CMenuFillTeams";
const char kNameFont[] = "lucida-8";

std::string Row(const char* prefix, int n, const char* suffix = "") {
    return prefix + std::to_string(n) + suffix;
}

void Blink(const std::string& window, bool on) {
    auto effect = on ? MenuHudHooks().startWindowEffect : MenuHudHooks().stopWindowEffect;
    if (effect)
        effect(window);
}

void ShowWindow(const std::string& name, bool show) {
    if (CEGUI::Window* w = gGUIMgr.GetWindow(name.c_str()))
        w->setVisible(show);
}

void ShowElement(const std::string& name, bool show) {
    if (show)
        ShowOverlayElement(name);
    else
        HideOverlayElement(name);
}

// The row (and for arrows the side letter) from the name of the window that
// raised the event: "BtnP" + n, "BtnA" + n + "Left" / "Right". 0 when the
// name does not fit.
int RowOf(const CEGUI::EventArgs& args, size_t prefixLength, char* side = nullptr) {
    const auto* we = dynamic_cast<const CEGUI::WindowEventArgs*>(&args);
    if (!we || !we->window)
        return 0;
    std::string name = we->window->getName().c_str();
    if (name.size() <= prefixLength)
        return 0;
    char digit = name[prefixLength];
    if (side)
        *side = name.size() > prefixLength + 1 ? name[prefixLength + 1] : '\0';
    if (digit < '1' || digit > '0' + CMenuFillTeams::MAX_ROWS)
        return 0;
    return digit - '0';
}
}  // namespace

void CMenuFillTeams::OnEnter(int) {
    if (!gGUIMgr.LoadLayout(kLayout))
        PlatLog("CMenuFillTeams::OnEnter() => layout \"%s\" missing: the screen has no buttons", kLayout);
    gGUIMgr.ShowOverlay(kOverlay);
    ClearFlags();
    mSelectedPlayer = 0;
    mPlayerCount = mMenuGameMode ? mMenuGameMode->GetNbPlayers() : 0;
    mTeamACount = mTeamBCount = 0;
    const int perTeam = mMenuGameMode ? mMenuGameMode->GetGameType() : 0;

    using M = CMenuFillTeams;
    for (int n = 1; n <= MAX_ROWS; ++n) {
        const std::string name = Row("BtnP", n);
        const std::string arrows[2] = {Row("BtnA", n, "Left"), Row("BtnA", n, "Right")};
        BindMenuButton<M>(name.c_str(), nullptr, &M::OnBtnPlayer, this);
        mSide[n - 1] = SIDE_NONE;
        if (n - 1 < mPlayerCount && mMenuGameMode) {
            if (CEGUI::Window* w = gGUIMgr.GetWindow(name.c_str())) {
                w->show();
                if (CEGUI::FontManager::getSingleton().isDefined(kNameFont))
                    w->setFont(kNameFont);
                w->setText(mMenuGameMode->GetPlayerName(n - 1));
            }
            Blink(name, true);
            ShowMarker(n, n - 1 < perTeam ? SIDE_A : SIDE_B);
            if (n - 1 < perTeam)
                ++mTeamACount;
            else
                ++mTeamBCount;
            mMenuGameMode->SetPlayerTeam(n - 1, mSide[n - 1]);
            ShowOverlayElement(Row("Teams/a", n, "_L"));
            ShowOverlayElement(Row("Teams/a", n, "_R"));
            for (const std::string& arrow : arrows) {
                if (CEGUI::Window* w = gGUIMgr.GetWindow(arrow.c_str())) {
                    w->show();
                    w->subscribeEvent(CEGUI::Window::EventMouseClick, CEGUI::Event::Subscriber(&M::OnBtnArrow, this));
                    w->subscribeEvent(CEGUI::Window::EventMouseButtonUp, CEGUI::Event::Subscriber(&M::OnArrowUp, this));
                    w->subscribeEvent(CEGUI::Window::EventMouseButtonDown,
                                      CEGUI::Event::Subscriber(&M::OnArrowDown, this));
                }
            }
        } else {
            ShowWindow(name, false);
            ShowWindow(arrows[0], false);
            ShowWindow(arrows[1], false);
            for (const char* element : {"_L", "_R"}) {
                HideOverlayElement(Row("Teams/p", n, element));
                HideOverlayElement(Row("Teams/a", n, element));
            }
        }
    }

    BindMenuButton<M>(kValidButton, nullptr, &M::OnBtnValid, this);
    BindMenuButton<M>("BtnBack", nullptr, &M::OnBtnBack, this);
    SetWindowText("BtnBack", GetText("BK"));
    SetWindowText(kValidButton, GetText("CTN"));
    SetWindowText("TextError", GetText("FILL_INFOS"));
    SetWindowText("MenuText", mMenuGameMode ? GetText(mMenuGameMode->GetName().c_str()) : "");
    SetWindowText("FrameWindowName", GetText("FILL_TEAMS_FRAME_NAME"));

    ShowTeamBanner(0, "Teams/region1", "BtnLeft");
    ShowTeamBanner(1, "Teams/region2", "BtnRight");

    if (CEGUI::Window* valid = gGUIMgr.GetWindow(kValidButton))
        valid->setEnabled(true);
}

void CMenuFillTeams::ShowTeamBanner(int team, const char* flagElement, const char* button) {
    if (!mMenuGameMode)
        return;
    if (mMenuGameMode->GetTeamOrigin() == 1) {
        int id = mMenuGameMode->GetTeamRegion(team);
        SetOverlayMaterial(flagElement,
                           "MENU/Country/flag/" + TeamDB::GetRegionName(TeamDB::GetSecondRegionNames(), id));
        SetWindowText(button, TeamDB::GetRegionName(TeamDB::GetRegionNames(), id));
    } else {
        int id = mMenuGameMode->GetTeamCountry(team);
        SetOverlayMaterial(flagElement,
                           "MENU/Country/flag/" + TeamDB::GetCountryName(TeamDB::GetSecondCountryNames(), id));
        SetWindowText(button, GetText(TeamDB::GetCountryName(TeamDB::GetCountryNames(), id).c_str()));
    }
}

void CMenuFillTeams::ShowMarker(int player, int side) {
    ShowElement(Row("Teams/p", player, "_L"), side == SIDE_A);
    ShowElement(Row("Teams/p", player, "_R"), side == SIDE_B);
    mSide[player - 1] = side;
}

void CMenuFillTeams::MovePlayerLeft(int player) {
    if (player < 1 || player > MAX_ROWS)
        return;
    SetWindowText("TextError", "");
    if (mSide[player - 1] != SIDE_A) {
        ++mTeamACount;
        --mTeamBCount;
    }
    ShowMarker(player, SIDE_A);
    if (mMenuGameMode)
        mMenuGameMode->SetPlayerTeam(player - 1, SIDE_A);
}

void CMenuFillTeams::MovePlayerRight(int player) {
    if (player < 1 || player > MAX_ROWS)
        return;
    SetWindowText("TextError", "");
    if (mSide[player - 1] != SIDE_B) {
        --mTeamACount;
        ++mTeamBCount;
    }
    ShowMarker(player, SIDE_B);
    if (mMenuGameMode)
        mMenuGameMode->SetPlayerTeam(player - 1, SIDE_B);
}

void CMenuFillTeams::SelectRow(int player) {
    mSelectedPlayer = player;
    for (int n = 1; n <= MAX_ROWS; ++n)
        Blink(Row("BtnP", n), n == player);
}

void CMenuFillTeams::ApplyValidRule() {
    const int perTeam = mMenuGameMode ? mMenuGameMode->GetGameType() : 0;
    if (CEGUI::Window* valid = gGUIMgr.GetWindow(kValidButton))
        valid->setEnabled(mTeamACount <= perTeam && mTeamBCount <= perTeam);
}

bool CMenuFillTeams::OnBtnPlayer(const CEGUI::EventArgs& args) {
    gGUIMgr.PlayMenuSound(0);
    int n = RowOf(args, 4);
    // Only rows in use hold a player to move.
    if (n < 1 || n > mPlayerCount)
        return true;
    SelectRow(n);
    if (mMenuGameMode && mMenuGameMode->GetPlayerTeam(n - 1) == SIDE_A)
        MovePlayerRight(n);
    else
        MovePlayerLeft(n);
    ApplyValidRule();
    return true;
}

bool CMenuFillTeams::OnBtnArrow(const CEGUI::EventArgs& args) {
    char side = '\0';
    int n = RowOf(args, 4, &side);
    if (n < 1 || n > mPlayerCount)
        return true;
    SelectRow(n);
    if (side == 'R')
        MovePlayerRight(n);
    else if (side == 'L')
        MovePlayerLeft(n);
    ApplyValidRule();
    return true;
}

static bool ArrowPicture(const CEGUI::EventArgs& args, bool down, int& selected) {
    char side = '\0';
    int n = RowOf(args, 4, &side);
    if (n < 1 || (side != 'L' && side != 'R'))
        return true;
    selected = n;
    std::string material = std::string("HUD/Radar/Fleche_") + (side == 'L' ? "G" : "D") + (down ? "_S" : "");
    SetOverlayMaterial(Row("Teams/a", n, side == 'L' ? "_L" : "_R"), material);
    return true;
}

bool CMenuFillTeams::OnArrowDown(const CEGUI::EventArgs& args) { return ArrowPicture(args, true, mSelectedPlayer); }
bool CMenuFillTeams::OnArrowUp(const CEGUI::EventArgs& args) { return ArrowPicture(args, false, mSelectedPlayer); }

bool CMenuFillTeams::OnBtnValid(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    int fullTeam = mTeamACount > MAX_HUMANS_PER_TEAM ? 1 : (mTeamBCount > MAX_HUMANS_PER_TEAM ? 2 : 0);
    if (fullTeam != 0) {
        SetWindowText("TextError", MenuFormatInt(GetText("NB_PL_ERR"), fullTeam));
        return true;
    }
    if (mMenuGameMode) {
        mMenuGameMode->SetTeamAAi(mTeamACount <= 0);
        mMenuGameMode->SetTeamBAi(mTeamBCount <= 0);
    }
    mValidated = 1;
    return true;
}
