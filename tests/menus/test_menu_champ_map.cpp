// The championship-type screen's map on OGRE without a display: the France
// picture is two thirds as wide as the world one, and leaving restores the
// world width for the next visit.
#include "MenuTestUtil.h"
#include "OgreHeadless.h"

#include <CMenuChooseChampType.h>
#include <CMenuGameMode.h>

#include <OgreMaterialManager.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayContainer.h>
#include <Overlay/OgreOverlayManager.h>
#include <Overlay/OgreOverlaySystem.h>

#include <string>

namespace {

class MapFlow : public CMenuGameMode {
public:
    MapFlow() : CMenuGameMode(-1) { mTournamentType = TOURNAMENT_CHAMPIONSHIP; }
    bool Init() override { return true; }
    void Update() override {}
    bool Exit() override { return true; }
    CGameMode* GetSelf() override { return this; }
    void Next() override {}
    void Back() override {}
    CKEMStateMachine* GetStateMachine() override { return nullptr; }
    int GetStep() override { return 0; }
    void SetStep(int) override {}
    int GetNbPlayers() override { return 1; }
    void SetNbPlayers(int) override {}
    void SetPlayerName(int, const std::string&) override {}
    const std::string& GetPlayerName(int) override { return mName; }
    void SetPlayerTeam(int, int) override {}
    int GetPlayerTeam(int) override { return 0; }
    void SetGameType(int) override {}
    int GetGameType() override { return 1; }
    void SetTeamAAi(bool) override {}
    bool IsTeamAAi() override { return false; }
    void SetTeamBAi(bool) override {}
    bool IsTeamBAi() override { return true; }
    int GetNbPlayersPerTeam() override { return 1; }
};

class ChampMap : public MenuTest {
protected:
    static void SetUpTestSuite() { sOverlaySystem = new Ogre::OverlaySystem(); }
    static void TearDownTestSuite() {
        delete sOverlaySystem;
        sOverlaySystem = nullptr;
    }
    void SetUp() override {
        MenuTest::SetUp();
        Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
        Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
        for (const char* name : {"Championnat/MapFrance", "Championnat/MapWorld"})
            materials.create(name, "General");
        Ogre::Overlay* overlay = overlays.create("CMenuChooseChamp");
        mMap = static_cast<Ogre::OverlayContainer*>(
            overlays.createOverlayElement("Panel", CMenuChooseChampType::kMapElement));
        mMap->setMetricsMode(Ogre::GMM_RELATIVE);
        mMap->setWidth(0.6f);
        overlay->add2D(mMap);
    }
    void TearDown() override {
        Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
        overlays.destroyAll();
        overlays.destroyAllOverlayElements();
        for (const char* name : {"Championnat/MapFrance", "Championnat/MapWorld"})
            Ogre::MaterialManager::getSingleton().remove(name, "General");
        MenuTest::TearDown();
    }
    std::string Material() const { return mMap->getMaterialName(); }

    static inline Ogre::OverlaySystem* sOverlaySystem = nullptr;
    Ogre::OverlayContainer* mMap = nullptr;
};

}  // namespace

TEST_F(ChampMap, FranceIsTwoThirdsOfTheWorldAndLeavingRestoresTheWorldWidth) {
    MapFlow flow;
    CMenuChooseChampType screen;
    screen.SetMenuGameMode(&flow);
    screen.OnEnter(-1);
    EXPECT_FLOAT_EQ(screen.GetSavedMapWidth(), 0.6f);
    EXPECT_FLOAT_EQ(mMap->getWidth(), 0.4f);
    EXPECT_EQ(Material(), "Championnat/MapFrance");

    const struct {
        const char* button;
        float width;
        const char* material;
    } kClicks[] = {
        {"BtnWorld", 0.6f, "Championnat/MapWorld"},
        {"BtnWorld", 0.6f, "Championnat/MapWorld"},
        {"BtnFrance", 0.4f, "Championnat/MapFrance"},
        {"BtnFrance", 0.4f, "Championnat/MapFrance"},
    };
    for (const auto& click : kClicks) {
        SCOPED_TRACE(click.button);
        Click(click.button);
        EXPECT_FLOAT_EQ(mMap->getWidth(), click.width);
        EXPECT_EQ(Material(), click.material);
    }

    // Left on the France picture: the next visit reads the world width again.
    screen.OnLeave(-1);
    EXPECT_FLOAT_EQ(mMap->getWidth(), 0.6f);
    screen.OnEnter(-1);
    EXPECT_FLOAT_EQ(screen.GetSavedMapWidth(), 0.6f);
    EXPECT_FLOAT_EQ(mMap->getWidth(), 0.4f);
    screen.OnLeave(-1);
}
