// The menus' overlays and materials as the game ships them, parsed by OGRE
// without a display: every overlay and element the menus show, every
// material the code or the overlays name, and every picture those materials
// use. A texture unit without a picture would draw OGRE's warning stripes
// wherever a menu tints it.
#include "OgreHeadless.h"

#include <CMenuChooseStage.h>
#include <TeamDB.h>

#include <OgreMaterialManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreTechnique.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayContainer.h>
#include <Overlay/OgreOverlayManager.h>
#include <Overlay/OgreOverlaySystem.h>

#include <set>
#include <string>
#include <vector>

namespace {

const char kGroup[] = "MenuMedia";

class MenuOverlays : public ::testing::Test {
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

    // Every picture of the material's texture units is shipped; false (with
    // a failure) when the material is missing.
    static void ExpectMaterialWithPictures(const std::string& name) {
        Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().getByName(name);
        ASSERT_TRUE(material) << "material " << name;
        for (Ogre::Technique* technique : material->getTechniques())
            for (Ogre::Pass* pass : technique->getPasses())
                for (Ogre::TextureUnitState* unit : pass->getTextureUnitStates()) {
                    const std::string picture = unit->getTextureName();
                    if (picture.empty())
                        continue;
                    EXPECT_TRUE(Ogre::ResourceGroupManager::getSingleton().resourceExistsInAnyGroup(picture))
                        << name << " uses the missing picture " << picture;
                }
    }
    static bool HasPicture(const std::string& name) {
        Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().getByName(name);
        if (!material || !material->getTechnique(0) || !material->getTechnique(0)->getPass(0))
            return false;
        Ogre::Pass* pass = material->getTechnique(0)->getPass(0);
        return pass->getNumTextureUnitStates() > 0 && !pass->getTextureUnitState(0)->getTextureName().empty();
    }

    static inline Ogre::OverlaySystem* sOverlaySystem = nullptr;
};

// The elements of an overlay, its containers' children included.
void CollectElements(Ogre::OverlayContainer* container, std::vector<Ogre::OverlayElement*>& out) {
    out.push_back(container);
    for (auto& child : container->getChildren()) {
        if (child.second->isContainer())
            CollectElements(static_cast<Ogre::OverlayContainer*>(child.second), out);
        else
            out.push_back(child.second);
    }
}

}  // namespace

TEST_F(MenuOverlays, EveryMenuOverlayAndElementIsShippedWithItsPictures) {
    const struct {
        const char* overlay;
        std::vector<std::string> elements;
    } overlays[] = {
        {"TitleScreen", {}}, {"TitleScreenDemo", {}}, {"CMenuQuit", {}}, {"CMenuOptions", {}},
        {"CMenuChooseLan", {}}, {"CMenuChooseNbPlayers", {}}, {"CMenuChooseGameType", {}},
        {"CMenuChooseCareerType", {}}, {"CMenuChooseTrainingType", {}}, {"CMenuSave", {}},
        {"CMenuTrainingDescription", {}}, {"CMenuChooseChamp", {"FranceWorldMap"}},
        {"CMenuChooseCountry", {"Country/map", "Country/flag"}},
        {"CMenuFillTeams", {"Teams/region1", "Teams/region2", "Teams/p1_L", "Teams/p6_R", "Teams/a1_L", "Teams/a6_R"}},
        {"CMenuChooseStage", {"StageLocation"}},
        {"CMenuChooseActor", {}},
        {"CMenuChooseActor/Caracs",
         {"MainActorPowerBar0", "MainActorPowerBar5", "ActorPowerBar00", "ActorPowerBar01", "ActorPowerBar30",
          "ActorPowerBar31"}},
    };
    Ogre::OverlayManager& manager = Ogre::OverlayManager::getSingleton();
    for (const auto& entry : overlays) {
        SCOPED_TRACE(entry.overlay);
        Ogre::Overlay* overlay = manager.getByName(entry.overlay);
        ASSERT_NE(overlay, nullptr);
        std::vector<Ogre::OverlayElement*> elements;
        for (Ogre::OverlayContainer* root : overlay->get2DElements())
            CollectElements(root, elements);
        EXPECT_FALSE(elements.empty());
        std::set<std::string> names;
        for (Ogre::OverlayElement* element : elements) {
            names.insert(element->getName());
            ExpectMaterialWithPictures(element->getMaterialName());
            // The blank flag (no team chosen yet) is see-through on purpose.
            if (element->getMaterialName() != "MENU/Country/flag") {
                EXPECT_TRUE(HasPicture(element->getMaterialName()))
                << element->getName() << ": " << element->getMaterialName() << " has no picture";
            }
        }
        for (const std::string& name : entry.elements)
            EXPECT_EQ(names.count(name), 1u) << name;
    }
}

TEST_F(MenuOverlays, EveryMaterialTheMenuCodeNamesIsShipped) {
    std::vector<std::string> materials = {"MENU/Country/mapF", "MENU/Country/mapW", "MENU/Country/flag",
                                          "Championnat/MapFrance", "Championnat/MapWorld", "HUD/Radar/Fleche_G",
                                          "HUD/Radar/Fleche_D", "HUD/Radar/Fleche_G_S", "HUD/Radar/Fleche_D_S"};
    for (int stage = 0; stage < CMenuChooseStage::NB_STAGES; ++stage)
        materials.push_back(CMenuChooseStage::StageMaterial(stage));
    // Every region and country the choice lists offer: its map and its flag.
    for (const TeamNameMap* names : {&TeamDB::GetSecondRegionNames(), &TeamDB::GetSecondCountryNames()})
        for (const auto& entry : *names) {
            if (entry.second == 0)
                continue;   // "-": no region
            materials.push_back("MENU/Country/map/" + entry.first);
            materials.push_back("MENU/Country/flag/" + entry.first);
        }
    for (const std::string& name : materials) {
        SCOPED_TRACE(name);
        ExpectMaterialWithPictures(name);
    }
    // The blank flag is see-through on purpose; every other one is a picture.
    for (const std::string& name : materials)
        if (name != "MENU/Country/flag") {
            EXPECT_TRUE(HasPicture(name)) << name;
        }
}
