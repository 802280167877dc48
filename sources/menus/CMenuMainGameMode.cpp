#include "CMenuMainGameMode.h"

#include "MenuBind.h"
#include "MenuServices.h"

#include <CEnvironment.h>
#include <CGUIMgr.h>
#include <CInputMgr.h>
#include <CNetMgr.h>
#include <COverlayHolder.h>
#include <CSceneMgr.h>
#include <GameDifficulty.h>
#include <Platform.h>

const char CMenuMainGameMode::kLayout[] = "tavirelo_menu0.layout";

namespace {
const char kQuickMatchParams[] = "QUICKMATCHPARAMS";
const char kFrameBegin[] = "FrameBegin";
const char kFrameQuit[] = "FrameQuit";
const char kFrameCompetition[] = "FrameCarrChampCoupe";
const char kTitleOverlay[] = "TitleScreen";
const char kQuitOverlay[] = "CMenuQuit";
const int kEscapeChannel = 1;

void ShowFirstPage() {
    gGUIMgr.Show(kFrameBegin, true);
    gGUIMgr.Show(kFrameQuit, false);
    gGUIMgr.Show(kFrameCompetition, false);
}
}  // namespace

CMenuMainGameMode::CMenuMainGameMode(int previousModeValue) : CGameMode(previousModeValue, 1) { StartMenuMusic(); }

void CMenuMainGameMode::BeginMenu() {
    g_CurrentDifficulty = g_SelectedDifficulty;
    if (MenuHudHooks().initOverlayStates)
        MenuHudHooks().initOverlayStates();
    if (!gGUIMgr.LoadLayout(kLayout))
        PlatLog("CMenuMainGameMode::Init() => layout \"%s\" missing: the menu has no buttons", kLayout);
    ClearMenuParameters();
}

void CMenuMainGameMode::EndMenuInit(const char* backgroundOverlay) {
    ShowFirstPage();
    gGUIMgr.ShowOverlay(backgroundOverlay);
    gInputMgr.SetKeyMapping(0, kEscapeChannel);
    MenuWriteInt(kQuickMatchParams, "PILE_OU_FACE", 0);
    g_NetMgr.CloseSession();
    MenuWriteInt(kQuickMatchParams, "FROM_PREVIOUS_GAME", 0);
    if (MenuHudHooks().showLoadingScreen)
        MenuHudHooks().showLoadingScreen(false);
}

bool CMenuMainGameMode::Init() {
    BeginMenu();
    using M = CMenuMainGameMode;
    BindMenuButton("btn_quickMatch", "QUICKMATCH", &M::OnBtnQuickMatch, this);
    BindMenuButton("btn_entrainement", "TRAINING", &M::OnBtnTraining, this);
    BindMenuButton("btn_competition", "COMPET", &M::OnBtnCompetition, this);
    BindMenuButton("btn_option", "OPTIONS", &M::OnBtnOptions, this);
    BindMenuButton("btn_quitter", "QUIT", &M::OnBtnQuit, this);
    BindMenuButton<M>("FrameText", "SURE_TO_QUIT", nullptr, this);
    BindMenuButton("BtnQuit", "YES", &M::OnBtnQuitConfirm, this);
    BindMenuButton("BtnReturn", "NO", &M::OnBtnReturn, this);
    BindMenuButton("btn_carriere", "CARRIERE", &M::OnBtnCareer, this);
    BindMenuButton("btn_champoinnat", "CHAMPIONNAT", &M::OnBtnChampionship, this);
    BindMenuButton("btn_coupe", "COUPE", &M::OnBtnCup, this);
    BindMenuButton("btn_menu", "ACCUEIL", &M::OnBtnMenu, this);
    BindMenuButton("btn_quitter2", "QUIT", &M::OnBtnQuit, this);
    EndMenuInit(kTitleOverlay);
    return true;
}

void CMenuMainGameMode::Update() {
    if (CInputMgr::IsPressed(gInputMgr.GetAction(0)))
        ShowQuitFrame();
}

bool CMenuMainGameMode::ExitMenu() {
    gGUIMgr.DestroyAllWindows();
    HideAllOverlays();
    return true;
}

void CMenuMainGameMode::GoToOptions(CGameMode& mode) {
    gGUIMgr.PlayMenuSound(0);
    mode.Finish(GAME_MODE_OPTIONS);
}

void CMenuMainGameMode::ShowQuitFrame() {
    gGUIMgr.Show(kFrameBegin, false);
    gGUIMgr.Show(kFrameQuit, true);
    gGUIMgr.Show(kFrameCompetition, false);
    gGUIMgr.HideOverlay();
    gGUIMgr.ShowOverlay(kQuitOverlay);
}

bool CMenuMainGameMode::OnBtnQuickMatch(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    Finish(GAME_MODE_QUICK_MATCH_MENUS);
    return true;
}

bool CMenuMainGameMode::OnBtnTraining(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    Finish(GAME_MODE_TRAINING_MENUS);
    return true;
}

bool CMenuMainGameMode::OnBtnCompetition(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    gGUIMgr.Show(kFrameBegin, false);
    gGUIMgr.Show(kFrameCompetition, true);
    return true;
}

bool CMenuMainGameMode::OnBtnOptions(const CEGUI::EventArgs&) {
    GoToOptions(*this);
    return true;
}

bool CMenuMainGameMode::OnBtnQuit(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    ShowQuitFrame();
    return true;
}

bool CMenuMainGameMode::OnBtnQuitConfirm(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    Finish(GAME_MODE_NONE);
    return true;
}

bool CMenuMainGameMode::OnBtnReturn(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(1);
    gGUIMgr.Show(kFrameBegin, true);
    gGUIMgr.Show(kFrameQuit, false);
    gGUIMgr.HideOverlay();
    gGUIMgr.ShowOverlay(kTitleOverlay);
    return true;
}

bool CMenuMainGameMode::OnBtnCareer(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    MenuWriteInt(kQuickMatchParams, "backFromMatch", 0);
    MenuWriteInt(kQuickMatchParams, "QuickMatch", 0);
    Finish(GAME_MODE_CAREER_MENUS);
    return true;
}

bool CMenuMainGameMode::OnBtnChampionship(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    Finish(GAME_MODE_CHAMPIONSHIP_MENUS);
    return true;
}

bool CMenuMainGameMode::OnBtnCup(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    Finish(GAME_MODE_CUP_MENUS);
    return true;
}

bool CMenuMainGameMode::OnBtnMenu(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(1);
    gGUIMgr.Show(kFrameBegin, true);
    gGUIMgr.Show(kFrameCompetition, false);
    return true;
}
