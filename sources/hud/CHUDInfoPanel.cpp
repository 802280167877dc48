#include "CHUDMgr.h"
#include "CHUDPanels.h"
#include "CHudGameSource.h"
#include "HudTextFit.h"

#include <CGUIMgr.h>
#include <CLangDB.h>
#include <CNetMgr.h>
#include <COverlayHolder.h>
#include <ControlerTable.h>
#include <Platform.h>
#include <Team.h>
#include <TeamDB.h>

#include <CEGUI/Window.h>

#include <cstring>

namespace {

const char kBlankFlag[] = "MENU/Country/flag";
const char kTeamNameFont[] = "lucida-10";

void SetWindowText(const char* name, const std::string& text) {
    if (CEGUI::Window* window = gGUIMgr.GetWindow(name))
        window->setText(text);
}

void SetScoreText(int32_t left, int32_t right) {
    char text[64];
    PlatFormat(text, sizeof(text), "%i / %i", left, right);
    SetWindowText("textScore", text);
}

std::string BallElementName(int side, int k) {
    char name[32];
    PlatFormat(name, sizeof(name), "HUD_INFOS/ball%d%d", side + 1, k);
    return name;
}

}  // namespace

void CHUDMgr::RefreshMatchInfos(CHUDInfoPanel& panel) {
    if (!panel.mGameMaster)
        return;
    switch (panel.mGameMaster->GetKind()) {
    case CHudGameSource::KIND_MATCH:
        SetTeamFlag(panel, 0);
        SetTeamFlag(panel, 1);
        SetCurrentPlayer(panel);
        SetRemainingBalls(0, panel);
        SetRemainingBalls(1, panel);
        SetTeamNames(panel);
        break;
    case CHudGameSource::KIND_TRAINING:
        SetScore(panel);
        break;
    default:
        break;
    }
}

void CHUDMgr::HideMatchInfos() {
    for (const char* name : {"HUDInfosTeam1Name", "HUDInfosTeam2Name", "CurrentGamer", "textScore"})
        gGUIMgr.Show(name, false);
    SetOverlayMaterial("HUD_INFOS/flagTeam1", kBlankFlag);
    SetOverlayMaterial("HUD_INFOS/flagTeam2", kBlankFlag);
    for (int side = 0; side < 2; ++side)
        for (int k = 1; k <= 6; ++k)
            SetOverlayMaterial(BallElementName(side, k), kBlankFlag);
}

void CHUDMgr::SetTeamFlag(CHUDInfoPanel& panel, int side) {
    if (!panel.mGameMaster)
        return;
    const Team* team = panel.mGameMaster->GetTeam(side);
    if (!team)
        return;
    // The flag pictures carry the resource names ("Ile-de-France").
    const std::string& name = team->mNational
                                  ? TeamDB::GetCountryName(TeamDB::GetSecondCountryNames(), team->mCountryId)
                                  : TeamDB::GetRegionName(TeamDB::GetSecondRegionNames(), team->mRegionId);
    if (name.empty())
        return;
    char element[32];
    PlatFormat(element, sizeof(element), "HUD_INFOS/flagTeam%d", side + 1);
    SetOverlayMaterial(element, std::string(kBlankFlag) + "/" + name);
}

void CHUDMgr::SetCurrentPlayer(CHUDInfoPanel& panel) {
    if (!panel.mGameMaster)
        return;
    SetScoreText(panel.mGameMaster->GetScore(0), panel.mGameMaster->GetScore(1));
    const int32_t side = panel.mGameMaster->GetSideToPlay();
    // Local matches fill the controllers table too: only a LAN match names the
    // machine's player.
    if (g_NetMgr.IsConnected() && (side == 0 || side == 1)) {
        const ControlerEntry& entry = GetCurrentControlerForTeam(side);
        // The name arrives from the network: never read past its buffer.
        SetCurrentGamerText(std::string(entry.mName, strnlen(entry.mName, sizeof(entry.mName))));
    } else {
        SetCurrentGamerText(GetText("PLAYER"));
    }
}

void CHUDMgr::SetCurrentGamerText(const std::string& text) { SetWindowText("CurrentGamer", text); }

void CHUDMgr::SetRemainingBalls(int side, CHUDInfoPanel& panel) {
    if (!panel.mGameMaster)
        return;
    const Team* team = panel.mGameMaster->GetTeam(side);
    const int32_t balls = team ? team->CountBallsLeft() : 0;
    for (int k = 1; k <= 6; ++k)
        SetOverlayMaterial(BallElementName(side, k), k <= balls ? "GameInfos/remainBall" : kBlankFlag);
}

void CHUDMgr::SetTeamNames(CHUDInfoPanel& panel) {
    if (!panel.mGameMaster)
        return;
    const char* windows[2] = {"HUDInfosTeam1Name", "HUDInfosTeam2Name"};
    for (int side = 0; side < 2; ++side)
        if (const Team* team = panel.mGameMaster->GetTeam(side)) {
            SetWindowText(windows[side], GetText(team->mName.c_str()));
            // A long region name must not run into the score.
            FitWindowFont(gGUIMgr.GetWindow(windows[side]), kTeamNameFont);
        }
}

void CHUDMgr::SetScore(CHUDInfoPanel& panel) {
    if (!panel.mGameMaster)
        return;
    SetScoreText(panel.mGameMaster->GetSuccessfulThrows(), panel.mGameMaster->GetThrowsMade());
}
