#include "CBootGameMode.h"

#include <CGraphicEnvMgr.h>
#include <CInputMgr.h>
#include <COverlayHolder.h>
#include <HalTimer.h>
#include <LaunchOptions.h>
#include <Platform.h>
#include <StartupValues.h>

#include <OgreColourValue.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayManager.h>

namespace {

const char kScreen1Overlay[] = "MENU_BootScreen1";
const char kScreen1Element[] = "bootscreen1";
const char kScreen2Overlay[] = "MENU_BootScreen2";
const char kScreen2Element[] = "bootscreen2";

const float kFadeInPerSecond = 0.5f;
const float kFadeOutPerSecond = 0.6666667f;

int64_t NowSeconds() { return int64_t(gTimer.GetTimeSeconds()); }

}  // namespace

CBootGameMode::CBootGameMode(int previousModeValue) : CGameMode(previousModeValue, GAME_MODE_BOOT) {}

CBootGameMode::~CBootGameMode() = default;

bool CBootGameMode::Init() {
    gGraphicEnvMgr.SetAmbientLight(Ogre::Vector3(0.6f, 0.6f, 0.55f));
    mScreen1Done = 0;
    mScreen2Done = 0;
    mBrightness = 0.0f;
    mScreenStart = NowSeconds();
    return true;
}

void CBootGameMode::Update() {
    if (!mScreen1Done) {
        if (FadeOverlay(kScreen1Overlay, kScreen1Element)) {
            mBrightness = 0.0f;
            mScreenStart = NowSeconds();
            mScreen1Done = 1;
        }
    }
    // The second screen starts in the frame the first one ends.
    if (mScreen1Done && !mScreen2Done) {
        if (FadeOverlay(kScreen2Overlay, kScreen2Element))
            mScreen2Done = 1;
    }
    if (mScreen1Done && mScreen2Done)
        Finish(BootNextModeId());
    if (CInputMgr::Level(gInputMgr.GetChannel(kEscapeChannel)) != 0)
        Finish(BootNextModeId());
}

bool CBootGameMode::FadeOverlay(const std::string& overlay, const std::string& element) {
    const int64_t elapsed = NowSeconds() - mScreenStart;
    // The overlay stays up until the loop hides every overlay at the mode change.
    if (double(elapsed) >= 6.4)
        return true;
    const float delta = gTimer.GetDeltaSeconds();
    if (elapsed < 2) {
        mBrightness += delta * kFadeInPerSecond;
        if (mBrightness > 1.0f)
            mBrightness = 1.0f;
    }
    if (elapsed > 2 && elapsed < 4)
        mBrightness = 1.0f;
    if (elapsed > 4) {
        mBrightness -= delta * kFadeOutPerSecond;
        if (mBrightness < 0.0f)
            mBrightness = 0.0f;
    }

    // The boot screens' fade colour: the brightness in red, green and blue.
    g_BootFadeColour[0] = g_BootFadeColour[1] = g_BootFadeColour[2] = mBrightness;
    const Ogre::ColourValue colour(g_BootFadeColour[0], g_BootFadeColour[1], g_BootFadeColour[2],
                                   g_BootFadeColour[3]);
    SetOverlayTint(element, colour, 1.0f);

    Ogre::OverlayManager* overlays = Ogre::OverlayManager::getSingletonPtr();
    Ogre::Overlay* shown = overlays ? overlays->getByName(overlay) : nullptr;
    if (shown) {
        shown->show();
    } else if (!mMissingReported) {
        PlatLog("CBootGameMode::FadeOverlay() => no overlay \"%s\": the boot screen stays black", overlay.c_str());
        mMissingReported = true;
    }
    return false;
}
