// The application's start-up and shutdown, and the engine's start-up hook.
#include "CLangDB.h"
#include "CMainApp.h"
#include "DecorTable.h"
#include "GameDifficulty.h"
#include "GraphicSettings.h"
#include "MainWindow.h"
#include "PlayerDB.h"
#include "SaveSlots.h"
#include "TeamDB.h"

#include <CEnvironment.h>
#include <CGUIMgr.h>
#include <CInputMgr.h>
#include <CKEMFrameWork.h>
#include <CKEMSceneGraph.h>
#include <CKEMSceneSound.h>
#include <CKEMScript.h>
#include <CNetMgr.h>
#include <CParticleMgr.h>
#include <CPhysicMgr.h>
#include <CSceneMgr.h>
#include <CSoundMgr.h>
#include <CWrapOgreCore.h>
#include <DInput.h>
#include <HalNet.h>
#include <Platform.h>

#include <OgreLog.h>
#include <OgreLogManager.h>

#include <cmath>
#include <exception>
#include <string>

namespace {

const char kConfigurationFile[] = "Configuration.cfg";
const char kSettingsSection[] = "SETTINGS";
const char kGameSection[] = "GAME";
const char kMenuMusic[] = "ZK_MEN_01.wav";
const char kGuiScheme[] = "Tavirelo_GUI.scheme";
const char kCursorImageset[] = "Tavirelo_GUI";
const char kMenuSoundsFile[] = "../../mediaDemo/Config/MenuSounds.cfg";
const char kDefaultFont[] = "lucida-10";

// Settings of "SETTINGS" and their defaults.
const char kLanguageSetting[] = "cur_lang";
const char kSoundVolumeSetting[] = "sound_vol";
const char kMusicVolumeSetting[] = "music_vol";
const char kDifficultySetting[] = "difficulty_level";
const int kDefaultLanguage = 1;
const int kDefaultVolume = 10;
const int kVolumeLimit = 11;   // volumes run 0..10
const int kDefaultDifficulty = 1;

CEnvironmentVariable* Setting(const char* name) {
    return gSceneMgr.GetEnvironment().GetVariable(kSettingsSection, name, true);
}

// An int, or a float truncated toward zero. False for anything else, and for
// a float no int can hold (the file is the user's: it may hold anything).
bool IntegerValue(const CEnvironmentVariable* variable, int& value) {
    if (!variable)
        return false;
    if (variable->GetType() == CEnvironmentVariable::TYPE_INT) {
        value = variable->GetInt();
        return true;
    }
    if (variable->GetType() == CEnvironmentVariable::TYPE_FLOAT) {
        const double f = std::trunc(double(variable->GetFloat()));
        if (!(f >= -2147483648.0 && f <= 2147483647.0))
            return false;
        value = int(f);
        return true;
    }
    return false;
}

// 0..10; anything else is replaced by 10 in the store.
int ReadVolume(const char* name) {
    CEnvironmentVariable* variable = Setting(name);
    int volume = 0;
    if (!IntegerValue(variable, volume) || volume < 0 || volume >= kVolumeLimit) {
        volume = kDefaultVolume;
        if (variable)
            variable->SetInt(volume);
    }
    return volume;
}

void WriteInt(const char* name, int value) {
    if (CEnvironmentVariable* variable = Setting(name))
        variable->SetInt(value);
}

// The menu sounds are sound nodes under the scene root, played as effects at
// the listener's side.
CKEMSceneNode* CreateMenuSoundNode(const std::string& file, float gain) {
    CKEMSceneNode* root = CKEMSceneGraph::GetRootNode();
    if (!root || file.empty())
        return nullptr;
    CKEMSceneSound* node = new CKEMSceneSound(root);
    node->SetFade(0);
    node->SetFx(true);
    node->SetAmbient(false);
    node->setResource(file);
    node->setName(file);
    node->SetGain(gain);
    return node;
}

void PlayMenuSoundNode(CKEMSceneNode* node) {
    if (CKEMSceneSound* sound = dynamic_cast<CKEMSceneSound*>(node))
        sound->play();
}

// The GUI's characters of a key: table 0 plain, 1 shifted, 2 with Alt Gr.
uint32_t KeyToChar(uint32_t key, int table) { return DInputKeyToChar(key, table == 1, table == 2); }

}  // namespace

bool LoadConfiguration() {
    if (Ogre::LogManager* logs = Ogre::LogManager::getSingletonPtr())
        if (Ogre::Log* log = logs->getDefaultLog())
            log->setLogDetail(Ogre::LL_LOW);
    gSceneMgr.GetEnvironment().Load(kConfigurationFile);
    return ApplyGraphicSettings();
}

bool CMainApp::Init() {
    mInitialised = false;

    // The framework's physics system and world come from the physics manager.
    CPhysicMgr::Install();
    gKEMFrameWork.Init();
    CWrapOgreCore::SetStartupHook(&LoadConfiguration);
    gKEMFrameWork.CreateRenderWindow(MainWindowId(mWindow));   // runs LoadConfiguration

    gKEMFrameWork.RegisterFrameListener();
    CKEMSceneGraph::CreateRootNode();
    CKEMSceneGraph::CreateDefaultCamera();
    gPhysicMgr.CreateWorld();
    gInputMgr.Init();
    gSceneMgr.Start();

    if (!gSoundMgr.Init())
        PlatLog("CMainApp::Init() => no sound device: the game runs silent");
    // Effects gain, overwritten by the sound volume below; world positions
    // reach the sound layer in hundredths.
    gSoundMgr.GetPool().SetSoundGain(100.0f);
    gSoundMgr.GetPool().SetWorldScale(100.0f);

    // The menu music, at the listener in the music category; the main menu
    // starts it.
    if (HAL_Sound_CSource* music = gSoundMgr.LoadMusic(kMenuMusic)) {
        music->mFlags |= HAL_Sound_CSource::FLAG_AT_LISTENER;
        music->mCategory = HAL_Sound_CSource::CATEGORY_MUSIC;
        music->SetGain(1.0f);
        music->SetLoop(true);
        music->SetName(kMenuMusic);
    } else if (gSoundMgr.IsInitialised()) {
        // Without a device the sound manager has said so already.
        PlatLog("CMainApp::Init() => menu music \"%s\" missing or unreadable: the menus play without it",
                kMenuMusic);
    }

    gParticleMgr.Init();
    CKEMScript::InstallHooks();

    ReadLanguageSetting();

    // The language's characters become the fonts' glyphs.
    CLangDB& languages = CLangDB::Instance();
    languages.Load();
    gGUIMgr.SetGlyphSet(languages.GetCharacters());
    NetTrace("Current Language is: %s", GetText("CURRENT_LANG"));

    CGUIMgr::MenuSoundHooks() = CGUIMenuSoundHooks{&CreateMenuSoundNode, &PlayMenuSoundNode};
    SystemFrameListener::KeySink().keyToChar = &KeyToChar;
    gGUIMgr.Init();
    gGUIMgr.LoadScheme(kGuiScheme);
    gGUIMgr.SetDefaultCursor(kCursorImageset);
    gGUIMgr.LoadMenuSounds(kMenuSoundsFile);
    gGUIMgr.SetDefaultFont(kDefaultFont);

    const CMainAppHooks& hooks = Hooks();
    if (hooks.initReplay)
        hooks.initReplay();
    g_NetMgr.Init();

    gSoundMgr.SetSoundVolume(ReadVolume(kSoundVolumeSetting));
    gSoundMgr.SetMusicVolume(ReadVolume(kMusicVolumeSetting));

    CEnvironmentVariable* difficulty = Setting(kDifficultySetting);
    int level = 0;
    if (!IntegerValue(difficulty, level)) {
        level = kDefaultDifficulty;
        if (difficulty)
            difficulty->SetInt(level);
    }
    g_SelectedDifficulty = g_CurrentDifficulty = (level == 0 || level == 1) ? level : 2;

    if (hooks.createWindowEffects)
        hooks.createWindowEffects();
    InitDecorTable();
    BuildSaveSlotList();
    PlayerDB::Load();
    TeamDB::Load();

    mInitialised = true;
    return true;
}

// The language: an int or float other than 0, else 1.
void CMainApp::ReadLanguageSetting() {
    CEnvironmentVariable* language = Setting(kLanguageSetting);
    int index = 0;
    if (!IntegerValue(language, index) || index == 0) {
        index = kDefaultLanguage;
        if (language)
            language->SetInt(index);
    }
    CLangDB::Instance().SetCurrentLanguage(static_cast<unsigned int>(index));
}

void CMainApp::WriteSettings() {
    WriteInt(kSoundVolumeSetting, gSoundMgr.GetSoundVolume());
    WriteInt(kMusicVolumeSetting, gSoundMgr.GetMusicVolume());
    // The settings keep the options menu's choice, not a resumed save's.
    WriteInt(kDifficultySetting, g_SelectedDifficulty);
    WriteInt(kLanguageSetting, static_cast<int>(CLangDB::Instance().GetCurrentLanguage()));
    StoreGraphicSettings();
}

void CMainApp::Shutdown() {
    // A mode still held (the loop was left by an exception) goes first, while
    // the engine it uses is still up.
    if (mCurrentGameMode) {
        try {
            DeleteCurrentGameMode();
        } catch (const std::exception& e) {
            PlatLog("CMainApp::Shutdown() => the last game mode failed to go: %s", e.what());
        }
    }

    if (mInitialised) {
        WriteSettings();
        if (gSceneMgr.GetEnvironment().Save(kConfigurationFile, kSettingsSection, kGameSection, nullptr) != 0)
            PlatLog("CMainApp::Shutdown() => \"%s\" could not be saved", kConfigurationFile);
    } else {
        PlatLog("CMainApp::Shutdown() => start-up did not complete: \"%s\" is left as it was", kConfigurationFile);
    }

    const CMainAppHooks& hooks = Hooks();
    if (hooks.freeReplay)
        hooks.freeReplay();
    if (hooks.freeWindowEffects)
        hooks.freeWindowEffects();

    if (hooks.destroyHud)
        hooks.destroyHud();
    gGUIMgr.Term();
    gSoundMgr.Term();
    gParticleMgr.Term();
    CKEMSceneGraph::DestroyRootNode();
    gPhysicMgr.Clear();
    CKEMSceneGraph::DestroyDefaultCamera();
    gKEMFrameWork.Term();
    CWrapOgreCore::SetStartupHook(nullptr);
    gSceneMgr.Stop();
    CLangDB::Instance().Clear();

    g_NetMgr.Shutdown();
    mInitialised = false;
}
