#include "CMenuOptionsGameMode.h"

#include "MenuBind.h"
#include "MenuServices.h"

#include <LaunchOptions.h>
#include <CGUIMgr.h>
#include <CSoundMgr.h>
#include <GameDifficulty.h>
#include <GraphicSettings.h>
#include <Platform.h>

#include <CEGUI/Exceptions.h>
#include <CEGUI/Window.h>

#include <algorithm>
#include <cstdio>

const char CMenuOptionsGameMode::kLayout[] = "CMenuOptions.layout";
const char CMenuOptionsGameMode::kSoundVolumeSetting[] = "sound_vol";
const char CMenuOptionsGameMode::kMusicVolumeSetting[] = "music_vol";
const char CMenuOptionsGameMode::kDifficultySetting[] = "difficulty_level";

namespace {

const char kSettings[] = "SETTINGS";
const char kBackground[] = "CMenuOptions";
const char kSmallFont[] = "lucida-6";
const char kLargeFont[] = "lucida-12";
const char kTextureQualitySetting[] = "texture_quality";
const char kShadowsSetting[] = "shadows";

const char* const kDifficultyButtons[3] = {"BtnEasy", "BtnNormal", "BtnHard"};

// A font that is not loaded leaves the window's font as it is.
void SetWindowFont(const char* window, const char* font) {
    CEGUI::Window* w = gGUIMgr.GetWindow(window);
    if (!w)
        return;
    try {
        w->setFont(font);
    } catch (const CEGUI::Exception& e) {
        PlatLog("CMenuOptionsGameMode: font \"%s\" for \"%s\": %s", font, window, e.what());
    }
}

void ShowVolume(const char* window, int volume) {
    char text[16];
    std::snprintf(text, sizeof text, "%i", volume);
    SetWindowText(window, text);
}

int ClampVolume(int volume) {
    return std::min(std::max(volume, int(CMenuOptionsGameMode::VOLUME_MIN)), int(CMenuOptionsGameMode::VOLUME_MAX));
}

}  // namespace

CMenuOptionsGameMode::CMenuOptionsGameMode(int previousModeValue) : CGameMode(previousModeValue, 0) {
    StartMenuMusic();
    if (!gGUIMgr.LoadLayout(kLayout))
        PlatLog("CMenuOptionsGameMode() => layout \"%s\" missing: the options screen has no buttons", kLayout);
    gGUIMgr.ShowOverlay(kBackground);

    static const char* const kTexts[][2] = {
        {"FrameName", "OPTIONS"},
        {"FrameTextOptions", "OPTION_SETTINGS"},
        {"TextVolAmb", "NOISE"},
        {"TextVolMus", "MUSIC"},
        {"TextSound", "SOUND"},
        {"TextGame", "DIFICULTY"},
        {"TextOmbres", "SHADOW"},
        {"TextAffichage", "AFF"},
        {"BtnEasy", "EASY"},
        {"BtnNormal", "NORMAL"},
        {"BtnHard", "HARD"},
        {"BtnShadowOn", "ON"},
        {"BtnShadowOff", "OFF"},
        {"BtnValid", "CTN"},
        {"BtnBack", "BK"},
        {"TextTextures", "TEXTURE_QUALITY"},
        {"BtnTexturesHigh", "TEXTURE_QUALITY_HIGH"},
        {"BtnTexturesLow", "TEXTURE_QUALITY_LOW"},
    };
    for (const auto& row : kTexts)
        SetWindowText(row[0], GetText(row[1]));

    using M = CMenuOptionsGameMode;
    BindMenuButton<M>("BtnValid", nullptr, &M::OnBtnValid, this);
    BindMenuButton<M>("BtnBack", nullptr, &M::OnBtnBack, this);
    BindMenuButton<M>("BtnAmbMoins", nullptr, &M::OnBtnAmbMinus, this);
    BindMenuButton<M>("BtnAmbPlus", nullptr, &M::OnBtnAmbPlus, this);
    BindMenuButton<M>("BtnMusicMoins", nullptr, &M::OnBtnMusicMinus, this);
    BindMenuButton<M>("BtnMusicPlus", nullptr, &M::OnBtnMusicPlus, this);
    BindMenuButton<M>("BtnEasy", nullptr, &M::OnBtnEasy, this);
    BindMenuButton<M>("BtnNormal", nullptr, &M::OnBtnNormal, this);
    BindMenuButton<M>("BtnHard", nullptr, &M::OnBtnHard, this);
    BindMenuButton<M>("BtnShadowOn", nullptr, &M::OnBtnShadowOn, this);
    BindMenuButton<M>("BtnShadowOff", nullptr, &M::OnBtnShadowOff, this);
    BindMenuButton<M>("BtnTexturesHigh", nullptr, &M::OnBtnTexturesHigh, this);
    BindMenuButton<M>("BtnTexturesLow", nullptr, &M::OnBtnTexturesLow, this);

    mShadowsOn = ShadowsSetting != 0;
    ShowVolume("VolMus", gSoundMgr.GetMusicVolume());
    ShowVolume("VolAmb", gSoundMgr.GetSoundVolume());
    RefreshChoiceFonts();
}

CMenuOptionsGameMode::~CMenuOptionsGameMode() { DestroyGUI(); }

void CMenuOptionsGameMode::DestroyGUI() {
    gGUIMgr.DestroyAllWindows();
    gGUIMgr.HideOverlay();
}

bool CMenuOptionsGameMode::Init() {
    if (CEGUI::Window* easy = gGUIMgr.GetWindow("BtnEasy"))
        easy->setEnabled(false);
    if (CEGUI::Window* hard = gGUIMgr.GetWindow("BtnHard"))
        hard->setEnabled(false);
    return true;
}

void CMenuOptionsGameMode::RefreshChoiceFonts() {
    for (const char* button : kDifficultyButtons)
        SetWindowFont(button, kSmallFont);
    if (g_CurrentDifficulty >= 0 && g_CurrentDifficulty <= 2)
        SetWindowFont(kDifficultyButtons[g_CurrentDifficulty], kLargeFont);
    SetWindowFont("BtnShadowOn", mShadowsOn ? kLargeFont : kSmallFont);
    SetWindowFont("BtnShadowOff", mShadowsOn ? kSmallFont : kLargeFont);
    SetWindowFont("BtnTexturesHigh", TextureQualitySetting == 1 ? kLargeFont : kSmallFont);
    SetWindowFont("BtnTexturesLow", TextureQualitySetting == 1 ? kSmallFont : kLargeFont);
}

void CMenuOptionsGameMode::SetSoundVolume(int volume) {
    volume = ClampVolume(volume);
    gSoundMgr.SetSoundVolume(volume);
    ShowVolume("VolAmb", volume);
    MenuWriteInt(kSettings, kSoundVolumeSetting, volume);
}

void CMenuOptionsGameMode::SetMusicVolume(int volume) {
    volume = ClampVolume(volume);
    gSoundMgr.SetMusicVolume(volume);
    ShowVolume("VolMus", volume);
    MenuWriteInt(kSettings, kMusicVolumeSetting, volume);
}

void CMenuOptionsGameMode::SetDifficulty(int level) {
    g_SelectedDifficulty = level;
    g_CurrentDifficulty = level;
    MenuWriteInt(kSettings, kDifficultySetting, level);
    RefreshChoiceFonts();
}

void CMenuOptionsGameMode::SetShadows(int on) {
    mShadowsOn = on != 0;
    ShadowsSetting = on != 0 ? 1 : 0;
    ApplyShadowSetting();
    MenuWriteString(kSettings, kShadowsSetting, g_ShadowTexts[ShadowsSetting]);
    RefreshChoiceFonts();
}

void CMenuOptionsGameMode::SetTextureQuality(int quality) {
    if (TextureQualitySetting != quality) {
        TextureQualitySetting = quality;
        AddTextureResourceLocation();
        MenuWriteString(kSettings, kTextureQualitySetting, g_TextureQualityTexts[quality]);
    }
    RefreshChoiceFonts();
}

bool CMenuOptionsGameMode::OnBtnValid(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    Finish(HomeMenuModeId());
    return true;
}

bool CMenuOptionsGameMode::OnBtnBack(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(1);
    Finish(HomeMenuModeId());
    return true;
}

bool CMenuOptionsGameMode::OnBtnAmbMinus(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    SetSoundVolume(gSoundMgr.GetSoundVolume() - 1);
    return true;
}

bool CMenuOptionsGameMode::OnBtnAmbPlus(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    SetSoundVolume(gSoundMgr.GetSoundVolume() + 1);
    return true;
}

bool CMenuOptionsGameMode::OnBtnMusicMinus(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    SetMusicVolume(gSoundMgr.GetMusicVolume() - 1);
    return true;
}

bool CMenuOptionsGameMode::OnBtnMusicPlus(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    SetMusicVolume(gSoundMgr.GetMusicVolume() + 1);
    return true;
}

bool CMenuOptionsGameMode::OnBtnEasy(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    SetDifficulty(0);
    return true;
}

bool CMenuOptionsGameMode::OnBtnNormal(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    SetDifficulty(1);
    return true;
}

bool CMenuOptionsGameMode::OnBtnHard(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    SetDifficulty(2);
    return true;
}

bool CMenuOptionsGameMode::OnBtnShadowOn(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    SetShadows(1);
    return true;
}

bool CMenuOptionsGameMode::OnBtnShadowOff(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    SetShadows(0);
    return true;
}

bool CMenuOptionsGameMode::OnBtnTexturesHigh(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    SetTextureQuality(1);
    return true;
}

bool CMenuOptionsGameMode::OnBtnTexturesLow(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    SetTextureQuality(0);
    return true;
}
