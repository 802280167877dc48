#include "GraphicSettings.h"

#include <CEnvironment.h>
#include <CSceneMgr.h>
#include <Platform.h>

#include <Ogre.h>

int TextureQualitySetting = 1;
int ShadowsSetting = 1;
std::string g_CurrentTextureLocation;

const char* const g_TextureQualityTexts[2] = {"low", "high"};
const char* const g_ShadowTexts[2] = {"off", "on"};
const char TEXTURE_FOLDER[] = "../../mediaDemo/Textures/";

namespace {
const char kSettingsSection[] = "SETTINGS";
const char kTextureQualityName[] = "texture_quality";
const char kShadowsName[] = "shadows";
const char kSceneManagerName[] = "KEM_SM";

bool EqualsNoCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        char ca = (*a >= 'A' && *a <= 'Z') ? char(*a - 'A' + 'a') : *a;
        char cb = (*b >= 'A' && *b <= 'Z') ? char(*b - 'A' + 'a') : *b;
        if (ca != cb)
            return false;
        if (ca == '\0')
            return true;
    }
}

int ReadSetting(const char* name, int current, const char* const texts[2]) {
    CEnvironmentVariable* variable = gSceneMgr.GetEnvironment().GetVariable(kSettingsSection, name, true);
    return FindStringNoCase(variable ? variable->GetString() : nullptr, current, texts);
}

void WriteSetting(const char* name, int value, const char* const texts[2]) {
    CEnvironmentVariable* variable = gSceneMgr.GetEnvironment().GetVariable(kSettingsSection, name, true);
    if (variable)
        variable->SetString(texts[value == 0 ? 0 : 1]);
}
}  // namespace

int FindStringNoCase(const char* text, int current, const char* const texts[2]) {
    if (!text)
        return current;
    for (int i = 0; i < 2; ++i)
        if (EqualsNoCase(text, texts[i]))
            return i;
    return current;
}

bool ApplyGraphicSettings() {
    TextureQualitySetting = ReadSetting(kTextureQualityName, TextureQualitySetting, g_TextureQualityTexts);
    ShadowsSetting = ReadSetting(kShadowsName, ShadowsSetting, g_ShadowTexts);
    AddTextureResourceLocation();
    ApplyShadowSetting();
    return true;
}

void StoreGraphicSettings() {
    WriteSetting(kTextureQualityName, TextureQualitySetting, g_TextureQualityTexts);
    WriteSetting(kShadowsName, ShadowsSetting, g_ShadowTexts);
}

void AddTextureResourceLocation() {
    Ogre::ResourceGroupManager* groups = Ogre::ResourceGroupManager::getSingletonPtr();
    if (!groups) {
        PlatLog("AddTextureResourceLocation() => FAILED no resource system");
        return;
    }
    const std::string& group = Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME;
    try {
        if (!g_CurrentTextureLocation.empty())
            groups->removeResourceLocation(g_CurrentTextureLocation, group);
        g_CurrentTextureLocation =
            std::string(TEXTURE_FOLDER) + g_TextureQualityTexts[TextureQualitySetting == 0 ? 0 : 1];
        groups->addResourceLocation(g_CurrentTextureLocation, "FileSystem", group, false);

        // The textures on screen come from the old folder until reloaded.
        Ogre::TextureManager* textures = Ogre::TextureManager::getSingletonPtr();
        if (!textures)
            return;
        for (const auto& entry : textures->getResourceIterator()) {
            const Ogre::ResourcePtr& texture = entry.second;
            if (texture->isLoaded() && !texture->isManuallyLoaded())
                texture->reload();
        }
    } catch (const Ogre::Exception& e) {
        PlatLog("[KEM core] OGRE EXCEPTION AddTextureResourceLocation(%s): %s", g_CurrentTextureLocation.c_str(),
                e.getFullDescription().c_str());
    }
}

void ApplyShadowSetting() {
    Ogre::Root* root = Ogre::Root::getSingletonPtr();
    if (!root || !root->hasSceneManager(kSceneManagerName)) {
        PlatLog("ApplyShadowSetting() => FAILED no scene manager \"%s\"", kSceneManagerName);
        return;
    }
    // The shadow set-up asks the render system what it can do.
    if (!root->getRenderSystem()) {
        PlatLog("ApplyShadowSetting() => FAILED no render system");
        return;
    }
    Ogre::SceneManager* scene = root->getSceneManager(kSceneManagerName);
    if (ShadowsSetting == 1) {
        scene->setShadowTechnique(Ogre::SHADOWTYPE_STENCIL_MODULATIVE);
        scene->setShadowFarDistance(1000.0f);
        scene->setShadowColour(Ogre::ColourValue(0.75f, 0.75f, 0.7f, 1.0f));
    } else {
        scene->setShadowTechnique(Ogre::SHADOWTYPE_NONE);
    }
}
