// The match's overlays and their materials as the game ships them, parsed by
// OGRE without a display: each overlay the states show exists with its
// elements, and no texture unit of their materials draws from a picture that
// is not shipped (OGRE's warning stripes).
#include "OgreHeadless.h"

#include <OgreMaterialManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreTechnique.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayContainer.h>
#include <Overlay/OgreOverlayElement.h>
#include <Overlay/OgreOverlayManager.h>
#include <Overlay/OgreOverlaySystem.h>

#include <string>
#include <vector>

namespace {

const char kGroup[] = "MatchMedia";

class MatchOverlays : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        sOverlaySystem = new Ogre::OverlaySystem();
        auto& groups = Ogre::ResourceGroupManager::getSingleton();
        groups.addResourceLocation(std::string(KEM_STAGE_DIR) + "/mediaDemo/Overlays", "FileSystem", kGroup);
        groups.initialiseResourceGroup(kGroup);
    }
    static void TearDownTestSuite() {
        Ogre::ResourceGroupManager::getSingleton().destroyResourceGroup(kGroup);
        delete sOverlaySystem;
        sOverlaySystem = nullptr;
    }
    static inline Ogre::OverlaySystem* sOverlaySystem = nullptr;
};

bool SamplesTexture(const Ogre::LayerBlendModeEx& mode) {
    const bool usesSource1 = mode.operation != Ogre::LBX_SOURCE2;
    const bool usesSource2 = mode.operation != Ogre::LBX_SOURCE1;
    return (usesSource1 && mode.source1 == Ogre::LBS_TEXTURE) || (usesSource2 && mode.source2 == Ogre::LBS_TEXTURE);
}

void ExpectDrawable(const Ogre::OverlayElement* element) {
    const Ogre::MaterialPtr& material = element->getMaterial();
    ASSERT_TRUE(material) << element->getName() << " has no material";
    for (Ogre::Technique* technique : material->getTechniques())
        for (Ogre::Pass* pass : technique->getPasses())
            for (Ogre::TextureUnitState* unit : pass->getTextureUnitStates()) {
                const std::string& picture = unit->getTextureName();
                if (!picture.empty()) {
                    EXPECT_TRUE(Ogre::ResourceGroupManager::getSingleton().resourceExistsInAnyGroup(picture))
                        << material->getName() << " uses the missing picture " << picture;
                } else {
                    EXPECT_FALSE(SamplesTexture(unit->getColourBlendMode()))
                        << material->getName() << ": colour from a unit without a picture";
                    EXPECT_FALSE(SamplesTexture(unit->getAlphaBlendMode()))
                        << material->getName() << ": alpha from a unit without a picture";
                }
            }
}

TEST_F(MatchOverlays, EachOverlayTheMatchShowsIsShippedAndDrawable) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> overlays = {
        {"QuickMatchInfo", {}},
        {"QuickMatchHeadTail", {}},
        {"CHUDIntroState", {"PresFlag1", "PresFlag2"}},
        {"CHUDEndMatch", {}},
        {"CHUDEndTournament", {}},
        {"HUD/hud_lancer_result", {"Hud_lancer_result_quit"}},
    };
    Ogre::OverlayManager& manager = Ogre::OverlayManager::getSingleton();
    // The continue button's hover swaps these two.
    for (const char* material : {"HUD/QuitFreeCamButton", "HUD/QuitFreeCamButton_S"})
        EXPECT_TRUE(Ogre::MaterialManager::getSingleton().getByName(material)) << material;
    for (const auto& entry : overlays) {
        Ogre::Overlay* overlay = manager.getByName(entry.first);
        ASSERT_NE(overlay, nullptr) << entry.first;
        EXPECT_FALSE(overlay->get2DElements().empty()) << entry.first << " is empty";
        for (const Ogre::OverlayContainer* element : overlay->get2DElements())
            ExpectDrawable(element);
        for (const std::string& name : entry.second)
            EXPECT_NE(overlay->getChild(name), nullptr) << name << " is not in " << entry.first;
    }
}

}  // namespace
