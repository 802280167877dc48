// The match's overlays and their materials as the game ships them, parsed by
// OGRE without a display: each overlay the states show exists with its
// elements, and no texture unit of their materials draws from a picture that
// is not shipped (OGRE's warning stripes).
#include "OgreHeadless.h"

#include <COverlayHolder.h>

#include <OgreMaterialManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreTechnique.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayContainer.h>
#include <Overlay/OgreOverlayElement.h>
#include <Overlay/OgreOverlayManager.h>
#include <Overlay/OgreOverlaySystem.h>

#include <functional>
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

// Every material the overlay scripts ship (on their elements or for the HUD
// to switch to) draws a shipped texture through every texture unit, as
// shipped and after each tint the HUD and the menus apply: a unit without
// one draws the engine's yellow and black stripes.
TEST_F(MatchOverlays, EveryOverlayMaterialDrawsAShippedTextureUnderEveryTint) {
    Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
    Ogre::OverlayElement* probe = overlays.createOverlayElement("Panel", "MaterialProbe");
    const Ogre::ColourValue colour(0.0f, 0.01f, 1.0f, 1.0f);
    const std::vector<std::pair<const char*, std::function<void()>>> tints = {
        {"as shipped", [] {}},
        {"tinted", [&] { SetOverlayTint("MaterialProbe", colour, 1.0f); }},
        {"blended", [&] { SetOverlayBlendFactor("MaterialProbe", colour); }},
        {"untinted", [] { ResetOverlayColourOp("MaterialProbe"); }},
    };
    auto& groups = Ogre::ResourceGroupManager::getSingleton();
    int checked = 0;
    Ogre::ResourceManager::ResourceMapIterator materials = Ogre::MaterialManager::getSingleton().getResourceIterator();
    while (materials.hasMoreElements()) {
        const Ogre::ResourcePtr resource = materials.getNext();
        if (resource->getGroup() != kGroup)
            continue;
        const Ogre::MaterialPtr material = Ogre::static_pointer_cast<Ogre::Material>(resource);
        probe->setMaterial(material);
        ++checked;
        for (const auto& tint : tints) {
            tint.second();
            for (Ogre::Technique* technique : material->getTechniques())
                for (Ogre::Pass* pass : technique->getPasses())
                    for (Ogre::TextureUnitState* unit : pass->getTextureUnitStates()) {
                        const std::string& picture = unit->getTextureName();
                        EXPECT_FALSE(picture.empty()) << material->getName() << " " << tint.first
                                                      << ": a texture unit without a texture";
                        if (!picture.empty()) {
                            EXPECT_TRUE(groups.resourceExistsInAnyGroup(picture))
                                << material->getName() << " uses the missing picture " << picture;
                        }
                    }
        }
    }
    EXPECT_GT(checked, 0) << "no overlay material was loaded";
    overlays.destroyOverlayElement(probe);
}

}  // namespace
