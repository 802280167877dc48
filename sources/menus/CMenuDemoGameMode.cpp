#include "CMenuDemoGameMode.h"

#include "CMenuMainGameMode.h"
#include "MenuBind.h"
#include "MenuServices.h"

#include <CGUIMgr.h>
#include <CInputMgr.h>
#include <CLangDB.h>
#include <COverlayHolder.h>
#include <HalTimer.h>
#include <Platform.h>

#include <CEGUI/Window.h>
#include <OgreColourValue.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayManager.h>

#include <cstdio>

namespace {

const char kQuickMatchParams[] = "QUICKMATCHPARAMS";
const char kGameParams[] = "GAMEPARAMS";
const char kTitleOverlay[] = "TitleScreenDemo";
const int kEscapeChannel = 1;
const int kFrenchColumn = 1;
const int64_t kEndScreenSeconds = 14;
const float kFadeInPerSecond = 0.5f;
const float kFadeOutPerSecond = 0.6666667f;
// The demo's fixed set-up.
const int kDemoGameType = 2;   // doublette
const int kDemoLocation = 3;
const int kDemoActors[2] = {1, 3};
// The menu's button places from the top, and the demo's buttons in them.
const char* const kDemoButtonOrder[] = {"btn_competition", "btn_quickMatch", "btn_option", "btn_quitter"};
const float kDemoButtonTops[] = {0.03f, 0.22f, 0.41f, 0.6f};

int64_t NowSeconds() { return int64_t(gTimer.GetTimeSeconds()); }

void WriteQmInt(const char* name, int value) { MenuWriteInt(kQuickMatchParams, name, value); }

// The rows of one human player: name, controller, side.
void WritePlayer(int player, const char* nameKey, int side) {
    char key[32];
    std::snprintf(key, sizeof key, "Player%iName", player);
    MenuWriteString(kQuickMatchParams, key, GetText(nameKey));
    std::snprintf(key, sizeof key, "CONTROLER_%i", player);
    WriteQmInt(key, 1);
    std::snprintf(key, sizeof key, "Player%iTeam", player);
    WriteQmInt(key, side);
}

// A side's team and its two actors.
void WriteSideTeam(int side, int team) {
    char key[32];
    std::snprintf(key, sizeof key, "Team_%i", side);
    WriteQmInt(key, team);
    for (int slot = 0; slot < 2; ++slot) {
        std::snprintf(key, sizeof key, "Team_%i_actor_%i", side, slot);
        WriteQmInt(key, kDemoActors[slot]);
    }
}

}  // namespace

CMenuDemoGameMode::CMenuDemoGameMode(int previousModeValue) : CGameMode(previousModeValue, GAME_MODE_DEMO_MENU) {
    StartMenuMusic();
}

bool CMenuDemoGameMode::Init() {
    CMenuMainGameMode::BeginMenu();
    using M = CMenuDemoGameMode;
    BindMenuButton("btn_competition", "DEMO_ONE_PLAYER", &M::StartOnePlayerMatch, this);
    BindMenuButton("btn_quickMatch", "DEMO_TWO_PLAYER", &M::StartTwoPlayerMatch, this);
    BindMenuButton("btn_option", "OPTIONS", &M::OnBtnOptions, this);
    // The demo has no training: its button goes rather than stand empty,
    // and the four live ones close up in the order a player reads them.
    gGUIMgr.Show("btn_entrainement", false);
    for (size_t slot = 0; slot < sizeof kDemoButtonOrder / sizeof *kDemoButtonOrder; ++slot)
        if (CEGUI::Window* button = gGUIMgr.GetWindow(kDemoButtonOrder[slot]))
            button->setPosition(CEGUI::UVector2(button->getPosition().d_x, CEGUI::UDim(kDemoButtonTops[slot], 0.0f)));
    BindMenuButton("btn_quitter", "QUIT", &M::OnBtnQuit, this);
    CMenuMainGameMode::EndMenuInit(kTitleOverlay);
    mQuitRequested = 0;
    mEndScreensRunning = 0;
    return true;
}

bool CMenuDemoGameMode::Exit() { return CMenuMainGameMode::ExitMenu(); }

void CMenuDemoGameMode::Update() {
    if (mQuitRequested) {
        mEndScreenIndex = 0;
        mBrightness = 0.0f;
        mEndScreenStart = NowSeconds();
        mQuitRequested = 0;
        mEndScreensRunning = 1;
    }
    if (mEndScreensRunning)
        ShowEndScreens();
    // The level alone: Escape held from before counts.
    if (CInputMgr::Level(gInputMgr.GetChannel(kEscapeChannel)) != 0 && mEndScreenIndex > 0)
        Finish(GAME_MODE_NONE);
}

const char* CMenuDemoGameMode::LanguageSuffix() {
    return CLangDB::Instance().GetCurrentLanguage() == kFrenchColumn ? "_FR" : "_EN";
}

void CMenuDemoGameMode::ShowEndScreens() {
    gGUIMgr.HideOverlay();
    gGUIMgr.DestroyAllWindows();
    if (mEndScreenIndex < 0 || mEndScreenIndex >= END_SCREEN_COUNT) {
        Finish(GAME_MODE_NONE);
        return;
    }
    char overlay[64];
    char element[64];
    std::snprintf(overlay, sizeof overlay, "DEMO_EndScreen%d%s", mEndScreenIndex + 1, LanguageSuffix());
    std::snprintf(element, sizeof element, "EndScreen%d%s", mEndScreenIndex + 1, LanguageSuffix());
    if (FadeEndScreen(overlay, element)) {
        mBrightness = 0.0f;
        ++mEndScreenIndex;
        mEndScreenStart = NowSeconds();
    }
}

bool CMenuDemoGameMode::FadeEndScreen(const std::string& overlay, const std::string& element) {
    const int64_t elapsed = NowSeconds() - mEndScreenStart;
    if (elapsed >= kEndScreenSeconds)
        return true;
    const float delta = gTimer.GetDeltaSeconds();
    if (elapsed < 2) {
        mBrightness += kFadeInPerSecond * delta;
        if (mBrightness > 1.0f)
            mBrightness = 1.0f;
    }
    if (elapsed > 2 && elapsed < 10)
        mBrightness = 1.0f;
    if (elapsed > 10) {
        mBrightness -= kFadeOutPerSecond * delta;
        if (mBrightness < 0.0f)
            mBrightness = 0.0f;
    }

    Ogre::OverlayManager* overlays = Ogre::OverlayManager::getSingletonPtr();
    Ogre::Overlay* shown = overlays ? overlays->getByName(overlay) : nullptr;
    if (!shown || !overlays->hasOverlayElement(element)) {
        // The screen stays black; the sequence still runs its course.
        if (!mMissingReported) {
            PlatLog("CMenuDemoGameMode::FadeEndScreen() => no overlay \"%s\" or element \"%s\"", overlay.c_str(),
                    element.c_str());
            mMissingReported = true;
        }
        return false;
    }
    SetOverlayTint(element, Ogre::ColourValue(mBrightness, mBrightness, mBrightness), 1.0f);
    shown->show();
    return false;
}

bool CMenuDemoGameMode::StartOnePlayerMatch(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    WriteQmInt("NbPlayers", 1);
    MenuWriteInt(kGameParams, "QuickMatch", 1);
    WritePlayer(1, "LAN_PLAYER1", 0);
    WriteQmInt("TeamA", 8);
    WriteQmInt("TeamB", 9);
    WriteQmInt("GameType", kDemoGameType);
    WriteQmInt("location", kDemoLocation);
    WriteQmInt("IsRegional", 0);
    WriteSideTeam(0, 8);
    Finish(GAME_MODE_QUICK_MATCH);
    return true;
}

bool CMenuDemoGameMode::StartTwoPlayerMatch(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    WriteQmInt("NbPlayers", 2);
    MenuWriteInt(kGameParams, "QuickMatch", 1);
    static const char* const kNameKeys[2] = {"LAN_PLAYER1", "LAN_PLAYER2"};
    for (int player = 1; player <= 2; ++player) {
        const int side = player - 1;
        WritePlayer(player, kNameKeys[side], side);
        WriteSideTeam(side, side == 0 ? 15 : 8);
    }
    WriteQmInt("TeamA", 15);
    WriteQmInt("TeamB", 8);
    WriteQmInt("GameType", kDemoGameType);
    WriteQmInt("location", kDemoLocation);
    WriteQmInt("IsRegional", 1);
    Finish(GAME_MODE_QUICK_MATCH);
    return true;
}

bool CMenuDemoGameMode::OnBtnOptions(const CEGUI::EventArgs&) {
    CMenuMainGameMode::GoToOptions(*this);
    return true;
}

bool CMenuDemoGameMode::OnBtnQuit(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    mQuitRequested = 1;
    return true;
}
