#include "CHUDMgr.h"

#include "CWindowEffectMgr.h"

#include <CGUIMgr.h>
#include <CKEMFrameWork.h>
#include <COverlayHolder.h>
#include <HalTimer.h>

#include <Overlay/OgreOverlayManager.h>

#include <initializer_list>

COverlayList* CHUDMgr::sLaunchGroup = nullptr;
COverlayList* CHUDMgr::sZoomGroup = nullptr;
COverlayList* CHUDMgr::sLaunchResultGroup = nullptr;
COverlayList* CHUDMgr::sPauseGroup = nullptr;
COverlayList* CHUDMgr::sLoadingGroup = nullptr;
COverlayList* CHUDMgr::sAwardsGroup = nullptr;

float CHUDMgr::sPowerMin = 0.0f;
float CHUDMgr::sPowerMax = 0.0f;
float CHUDMgr::sPowerMarkerSpan = 0.536f;
float CHUDMgr::sBalanceInnerSpan = 0.144f;
float CHUDMgr::sBalanceGaugeScale = 0.0f;
float CHUDMgr::sBalanceAreaLeft = 0.0f;
float CHUDMgr::sBalanceMarkerHalfWidth = 0.0f;
float CHUDMgr::sLastBalanceShown = 0.0f;

namespace {

COverlayList* MakeGroup(const char* name, std::initializer_list<const char*> overlays) {
    COverlayList* group = new COverlayList(name);
    Ogre::OverlayManager* manager = Ogre::OverlayManager::getSingletonPtr();
    if (!manager)
        return group;
    for (const char* overlayName : overlays)
        if (Ogre::Overlay* overlay = manager->getByName(overlayName))
            group->Add(overlay);
    return group;
}

void ShowGroup(COverlayList* group, bool show) {
    if (!group)
        return;
    if (show)
        group->ShowAll();
    else
        group->HideAll();
}

void ShowWindows(std::initializer_list<const char*> names, bool show) {
    for (const char* name : names)
        gGUIMgr.Show(name, show);
}

bool HasRoot() { return gGUIMgr.GetWindow("Root") != nullptr; }

void DeleteGroup(COverlayList*& group) {
    delete group;
    group = nullptr;
}

void DeleteGroups() {
    DeleteGroup(CHUDMgr::sLaunchGroup);
    DeleteGroup(CHUDMgr::sZoomGroup);
    DeleteGroup(CHUDMgr::sLaunchResultGroup);
    DeleteGroup(CHUDMgr::sPauseGroup);
    DeleteGroup(CHUDMgr::sLoadingGroup);
    DeleteGroup(CHUDMgr::sAwardsGroup);
}

}  // namespace

void CHUDMgr::InitOverlayStates() {
    DeleteGroups();
    sLaunchGroup = MakeGroup("overlayLaunchState", {"HUD/Hud_lancer", "HUD/Hud_infos", "HUD/Hud_lancer_boutons",
                                                    "HUD/Hud_Radar", "HUD/Hud_player_infos"});
    sZoomGroup = MakeGroup("overlayZoomState", {"HUD/Hud_infos", "HUD/Hud_Radar"});
    sLaunchResultGroup = MakeGroup("overlayLaunchResultState", {"HUD/hud_lancer_result"});
    sPauseGroup = MakeGroup("overlayPause", {"Pause"});
    sLoadingGroup = MakeGroup("overlayLoadingState", {"HUD/LoadScreen"});
    sAwardsGroup = MakeGroup("overlayTitleScreenState", {});

    sBalanceGaugeScale = 0.165f;
    sBalanceAreaLeft = 0.834f;
    sBalanceMarkerHalfWidth = GetOverlayElementWidth("Hud_boule_equilibre") * 0.5f;
}

void CHUDMgr::Destroy() {
    DeleteGroups();
    gOverlayHolder.HideCurrent();
}

void CHUDMgr::ShowLaunchHUD(bool show) {
    HideAllOverlays();
    ShowGroup(sLaunchGroup, show);
    if (!HasRoot())
        return;
    ShowWindows({"FrameButtons", "FramePlayerName", "infosP1", "infosP2", "infosP3", "TextLeft", "TextRight",
                 "HUDInfosTeam1Name", "HUDInfosTeam2Name", "textScore", "CurrentGamer", "TextInfosPlayer"},
                show);
}

void CHUDMgr::ShowZoomHUD(bool show) {
    HideAllOverlays();
    ShowGroup(sZoomGroup, show);
    if (!HasRoot())
        return;
    ShowWindows({"HUDInfosTeam1Name", "HUDInfosTeam2Name", "textScore", "CurrentGamer"}, true);
    ShowWindows({"FrameButtons", "TextInfosPlayer"}, !show);
}

void CHUDMgr::ShowLaunchResultHUD(bool show) {
    HideAllOverlays();
    ShowGroup(sLaunchResultGroup, show);
    if (!HasRoot())
        return;
    if (show) {
        ShowWindows({"TextReplay", "BtnReplay", "TextContinue", "TextBtnReplay", "BtnQuitReplay"}, true);
        CWindowEffectMgr::StartEffect("TextReplay");
    } else {
        ShowWindows({"TextReplay", "BtnReplay", "BtnQuitReplay", "TextBtnReplay", "TextContinue"}, false);
        CWindowEffectMgr::StopEffect("TextReplay");
    }
}

void CHUDMgr::ShowLoadingScreen(bool show) {
    if (show) {
        HideAllOverlays();
        ShowGroup(sLoadingGroup, true);
        gKEMFrameWork.RenderFrame(gTimer.GetDeltaMs());
    } else {
        ShowGroup(sLoadingGroup, false);
    }
    HideOverlayElement("LoadingButtons");
}
