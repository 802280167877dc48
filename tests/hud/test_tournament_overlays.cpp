// The tournament screens' overlays as the game ships them, on OGRE without a
// display: every overlay and element the screens show with its pictures, an
// award picture for every award object, the podium's flags by region or
// country and its award pictures by place.
#include "HudTestUtil.h"
#include "OgreHeadless.h"

#include <CHUDAffrontements.h>
#include <CHUDCredits.h>
#include <CHUDMgr.h>
#include <CHUDQualification.h>
#include <CHUDTournamentResult.h>
#include <CHUDVictory.h>
#include <COverlayHolder.h>
#include <CTournament.h>
#include <DecorTable.h>
#include <Team.h>
#include <TeamDB.h>

#include <OgreMaterial.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreTechnique.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayContainer.h>
#include <Overlay/OgreOverlayElement.h>
#include <Overlay/OgreOverlayManager.h>
#include <Overlay/OgreOverlaySystem.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

const char kGroup[] = "TournamentMedia";

// A finished tournament with its ranking, as the award rule reads it.
class FinishedTournament : public CTournament {
public:
    std::vector<Team*> mRanking;
    int32_t mFormat = 0;
    bool mFinished = true;
    void SetMatchResult(MatchSides&, MatchScores&) override {}
    bool IsFinished() override { return mFinished; }
    void Advance() override {}
    void GetTeams(std::vector<Team*>& teams) override { teams = mRanking; }
    void GetCurrentMatches(TournamentMatchList&) override {}
    void GetPhaseMatches(TournamentMatchList&, int) override {}
    void GetPhases(TournamentPhaseList&) override {}
    void GetInfo(TournamentInfo& info) override { info.mFormat = mFormat; }
    bool IsNewStep() override { return false; }
};

class TournamentOverlays : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        sOverlaySystem = new Ogre::OverlaySystem();
        sMediaError = LoadStagedOverlays(kGroup);
    }
    static void TearDownTestSuite() {
        Ogre::ResourceGroupManager::getSingleton().destroyResourceGroup(kGroup);
        delete sOverlaySystem;
        sOverlaySystem = nullptr;
    }
    void SetUp() override {
        ASSERT_EQ(sMediaError, "");
        TeamDB::Init();
    }
    void TearDown() override {
        g_pCurrentTournament = nullptr;
        g_bTournamentCareer = 0;
        HideAllOverlays();
    }

    static std::string MaterialOf(const std::string& element) {
        Ogre::OverlayElement* e = FindOverlayElement(element);
        return e ? e->getMaterialName() : std::string("<no element " + element + ">");
    }
    // The picture of the element's material's first texture unit.
    static std::string PictureOf(const std::string& element) {
        Ogre::OverlayElement* e = FindOverlayElement(element);
        if (!e || !e->getMaterial())
            return "<no material>";
        Ogre::Pass* pass = e->getMaterial()->getTechnique(0)->getPass(0);
        return pass->getNumTextureUnitStates() ? pass->getTextureUnitState(0)->getTextureName() : "<no unit>";
    }
    static bool Exists(const std::string& picture) {
        return Ogre::ResourceGroupManager::getSingleton().resourceExistsInAnyGroup(picture);
    }

    static inline Ogre::OverlaySystem* sOverlaySystem = nullptr;
    static inline std::string sMediaError;
};

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

TEST_F(TournamentOverlays, EveryScreenOverlayAndElementIsShippedWithItsPictures) {
    const struct {
        const char* overlay;
        std::vector<std::string> elements;
    } overlays[] = {
        {"CHUDAffrontementsStepOne", {}},
        {"CHUDAffrontementsStepTwo", {}},
        {"CHUDAffrontementsStep16Finale", {}},
        {"Qualifications", {}},
        {"QualificationsResults", {}},
        {"Tournament", {}},
        {"CHUDVictory", {"FirstTeam", "SecondTeam", "ThirdTeam", "FirstAward", "SecondAward", "ThirdAward"}},
        {"CHUDCredits", {}},
    };
    Ogre::OverlayManager& manager = Ogre::OverlayManager::getSingleton();
    for (const auto& entry : overlays) {
        SCOPED_TRACE(entry.overlay);
        Ogre::Overlay* overlay = manager.getByName(entry.overlay);
        ASSERT_NE(overlay, nullptr);
        std::vector<Ogre::OverlayElement*> elements;
        for (Ogre::OverlayContainer* root : overlay->get2DElements())
            CollectElements(root, elements);
        std::set<std::string> names;
        for (Ogre::OverlayElement* element : elements) {
            names.insert(element->getName());
            const std::string material = element->getMaterialName();
            ASSERT_TRUE(Ogre::MaterialManager::getSingleton().getByName(material)) << material;
            // The blank flag (no team on that place) is see-through on purpose.
            if (material == "MENU/Country/flag")
                continue;
            const std::string picture = PictureOf(element->getName());
            EXPECT_TRUE(Exists(picture)) << element->getName() << ": " << material << " uses " << picture;
        }
        for (const std::string& name : entry.elements)
            EXPECT_EQ(names.count(name), 1u) << name;
    }
}

TEST_F(TournamentOverlays, EveryAwardObjectHasItsPicture) {
    InitDecorTable();
    for (const DecorEntry& entry : g_DecorTable)
        EXPECT_TRUE(Exists(entry.mName + ".tga")) << entry.mName;
    EXPECT_TRUE(Exists(CHUDVictory::kNoAward));
}

// The podium's flags: by display name among the regions or the countries;
// a display name of another language finds the flag by the team's id; a team
// with neither keeps the blank flag; a missing place is hidden.
TEST_F(TournamentOverlays, ThePodiumShowsEachPlacesFlag) {
    Team bretagne("Bretagne"), ile("Ile de France"), algerie("Algerie"), algeria("Algeria"), nowhere("Atlantide");
    bretagne.mRegionId = TeamDB::GetRegionId("Bretagne");
    ile.mRegionId = TeamDB::GetRegionId("Ile de France");
    algerie.mCountryId = algeria.mCountryId = TeamDB::GetCountryId("Algerie");
    algerie.mNational = algeria.mNational = true;
    {
        CHUDVictory screen;
        ASSERT_TRUE(FindOverlayElement("ThirdTeam")->isVisible());
        screen.ShowPodium(&bretagne, &ile, nullptr);
        EXPECT_EQ(MaterialOf("FirstTeam"), "MENU/Country/flag/Bretagne");
        EXPECT_EQ(MaterialOf("SecondTeam"), "MENU/Country/flag/Ile-de-France");
        EXPECT_FALSE(FindOverlayElement("ThirdTeam")->isVisible());
    }
    {
        CHUDVictory screen;
        for (const char* place : {"FirstTeam", "SecondTeam", "ThirdTeam"})
            ShowOverlayElement(place);
        SetOverlayMaterial("ThirdTeam", "MENU/Country/flag");
        screen.ShowPodiumOtherList(&algerie, &algeria, &nowhere);
        EXPECT_EQ(MaterialOf("FirstTeam"), "MENU/Country/flag/Algerie");
        EXPECT_EQ(MaterialOf("SecondTeam"), "MENU/Country/flag/Algerie");
        EXPECT_EQ(MaterialOf("ThirdTeam"), "MENU/Country/flag");
    }
}

// The award pictures by place and kind of tournament; a null team leaves its
// picture as it was, a team without an award shows none.
TEST_F(TournamentOverlays, ThePodiumShowsTheAwardOfEachPlace) {
    Team first("Algerie"), second("Allemagne"), third("Argentine");
    for (Team* team : {&first, &second, &third})
        team->mNational = true;
    FinishedTournament tournament;
    tournament.mRanking = {&first, &second, &third};
    g_pCurrentTournament = &tournament;
    CHUDVictory screen;
    screen.ShowAwards(&first, &second, &third);
    EXPECT_EQ(PictureOf("FirstAward"), "OB_R_CUA_01.tga");
    EXPECT_EQ(PictureOf("SecondAward"), "OB_R_CUA_02.tga");
    EXPECT_EQ(PictureOf("ThirdAward"), "OB_R_CUA_03.tga");
    Ogre::Pass* pass = FindOverlayElement("FirstAward")->getMaterial()->getTechnique(0)->getPass(0);
    EXPECT_EQ(pass->getSourceBlendFactor(), Ogre::SBF_SOURCE_ALPHA);
    EXPECT_EQ(pass->getDestBlendFactor(), Ogre::SBF_ONE_MINUS_SOURCE_ALPHA);

    tournament.mFormat = 1;
    screen.ShowAwards(&first, nullptr, nullptr);
    EXPECT_EQ(PictureOf("FirstAward"), "OB_R_TAB_01.tga");
    EXPECT_EQ(PictureOf("SecondAward"), "OB_R_CUA_02.tga") << "a null team leaves its picture";

    tournament.mFinished = false;   // no award while the tournament runs
    screen.ShowAwards(&first, &second, &third);
    for (const char* award : {"FirstAward", "SecondAward", "ThirdAward"})
        EXPECT_EQ(PictureOf(award), CHUDVictory::kNoAward) << award;
}

// The tournament information opens on the loading screen, which lies over
// the screens' backgrounds: every screen takes it away, also the last sixteen
// that open a cup.
TEST_F(TournamentOverlays, EveryScreenTakesTheLoadingScreenAway) {
    CHUDMgr::InitOverlayStates();
    Ogre::Overlay* loading = Ogre::OverlayManager::getSingleton().getByName("HUD/LoadScreen");
    ASSERT_NE(loading, nullptr);
    const std::vector<std::pair<const char*, std::function<void()>>> screens = {
        {"pools", [] { CHUDAffrontementsStepOne s; }},
        {"matches", [] { CHUDAffrontementsStepTwo s; }},
        {"last sixteen", [] { CHUDAffrontementsStep16Finale s; }},
        {"qualification", [] { CHUDQualification s; }},
        {"qualification results", [] { CHUDQualificationResult s; }},
        {"result tree", [] { CHUDTournamentResult s; }},
        {"podium", [] { CHUDVictory s; }},
        {"credits", [] { CHUDCredits s; }},
    };
    for (const auto& screen : screens) {
        SCOPED_TRACE(screen.first);
        CHUDMgr::ShowLoadingScreen(true);
        ASSERT_TRUE(loading->isVisible());
        screen.second();
        EXPECT_FALSE(loading->isVisible());
    }
    CHUDMgr::Destroy();
}
