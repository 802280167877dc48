// The menus' media as the game ships it (the staged tree): every window the
// menu code looks up is in its layout, every layout has the "Root" window the
// blink manager needs and blinks through the real manager, the fonts, window
// types and cursor the code and layouts name exist; and on OGRE without a
// display, every overlay, element and material the menus name is shipped,
// with its pictures.
#include "MenuTestUtil.h"

#include <CMenuGameModeQuickMatch.h>
#include <CWindowEffectMgr.h>
#include <MenuServices.h>
#include <HalTimer.h>

#include <CEGUI/FontManager.h>
#include <CEGUI/ImageManager.h>
#include <CEGUI/WindowManager.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Numbered(const std::string& prefix, int from, int to, const std::string& suffix = "") {
    std::vector<std::string> names;
    for (int n = from; n <= to; ++n)
        names.push_back(prefix + std::to_string(n) + suffix);
    return names;
}

struct LayoutWindows {
    const char* layout;
    std::vector<std::string> windows;
};

// The windows each menu's code looks up, by layout.
std::vector<LayoutWindows> MenuLayouts() {
    auto join = [](std::vector<std::string> a, const std::vector<std::string>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    return {
        {"tavirelo_menu0.layout",
         {"FrameBegin", "FrameQuit", "FrameCarrChampCoupe", "FrameText", "BtnQuit", "BtnReturn", "btn_quickMatch",
          "btn_entrainement", "btn_competition", "btn_option", "btn_quitter", "btn_quitter2", "btn_carriere",
          "btn_champoinnat", "btn_coupe", "btn_menu"}},
        {"CMenuOptions.layout",
         {"FrameName", "FrameTextOptions", "TextVolAmb", "TextVolMus", "TextSound", "TextGame", "TextOmbres",
          "TextAffichage", "BtnEasy", "BtnNormal", "BtnHard", "BtnShadowOn", "BtnShadowOff", "BtnValid", "BtnBack",
          "TextTextures", "BtnTexturesHigh", "BtnTexturesLow", "BtnAmbMoins", "BtnAmbPlus", "BtnMusicMoins",
          "BtnMusicPlus", "VolAmb", "VolMus"}},
        {"CMenuLANSelect.layout",
         {"MenuText", "FrameLAN", "FrameLANText", "TextInfos", "TextChosen", "BtnLAN", "BtnLocal", "BtnBack",
          "BtnValid"}},
        {"CMenuChooseNbPlayers.layout",
         join(join(join({"FrameName", "MenuText", "EditName", "TextInfoEnterName", "BtnBack", "BtnValid"},
                        Numbered("BtnP", 1, 6)),
                   Numbered("BtnP", 1, 6, "Mod")),
              Numbered("TxtP", 1, 6))},
        {"CMenuSelectGameType.layout",
         {"MenuText", "FrameName", "TextInfosButtons", "BtnTriplette", "BtnDoublette", "BtnFaceToFace", "BtnValid",
          "BtnBack"}},
        {"CMenuSelectCareerType.layout",
         {"MenuText", "FrameName", "TextInfosButtons", "BtnFrancefaceToFace", "BtnFranceDoublette",
          "BtnFranceTriplette", "BtnWorldChamp", "BtnValid", "BtnBack"}},
        {"CMenuSelectTrainingType.layout",
         {"MenuText", "FrameName", "TextInfosButtons", "BtnPoint1", "BtnPoint2", "BtnShoot1", "BtnShoot2", "BtnValid",
          "BtnBack"}},
        {"CMenuTrainingDescription.layout",
         {"MenuText", "FrameName", "TextInfosButtons", "TrainDesc", "BtnValid", "BtnBack"}},
        {"CMenuSelectChampType.layout",
         {"MenuText", "FrameName", "TextInfos", "BtnFrance", "BtnWorld", "BtnValid", "BtnBack"}},
        {"CMenuSelectCountry.layout",
         {"MenuText", "FrameName", "TextInfos", "TextCountryName", "RegionListBox", "BtnContinue", "BtnValid",
          "BtnBack"}},
        {"CMenuFillTeams.layout",
         join(join(join(join({"MenuText", "FrameWindowName", "TextError", "BtnLeft", "BtnRight", "BtnValid",
                              "BtnBack"},
                             Numbered("BtnP", 1, 6)),
                        Numbered("BtnA", 1, 6, "Left")),
                   Numbered("BtnA", 1, 6, "Right")),
              {})},
        {"CMenuSelectActor.layout",
         join(join({"FrameName", "FrameText", "BtnValid", "BtnBack", "BtnPrevMesh", "BtnNextMesh", "TextActor",
                    "TextCarac", "TextSel", "TextPowerBars", "CurPlayer", "RegionText"},
                   Numbered("BtnActor", 1, 3)),
              Numbered("TxtActor", 1, 3))},
        {"CMenuSelectStage.layout", {"MenuText", "FrameName", "BtnPrev", "BtnNext", "BtnValid", "BtnBack"}},
        {"CMenuLobbyingGameMode_LAN1.layout",
         {"BtnCreate", "BtnJoin", "BtnRefresh", "BtnBack", "BtnValid", "GamesList", "GameJoinName", "FrameName",
          "MenuText", "LAN1", "LAN2"}},
        {"CMenuLobbyingGameMode_LAN2.layout",
         join({"ComboBoxTeam", "ComboBoxNbPlayers", "ComboBoxRegional", "ComboBoxLocation", "ComboBoxRegionList",
               "ComboBoxCountryList", "ComboBoxPointeur", "ComboBoxTireur", "ComboBoxMilieu", "MenuText",
               "FramePlayersName", "BtnBack", "BtnChatSend", "BtnStart", "FrameName", "PlayerName", "ChatTextEntry",
               "ChatList", "FrameLAN", "LAN1", "LAN2"},
              Numbered("FramePlayersName", 1, 6))},
        {"CMenuSave.layout",
         join({"FrameName", "FrameSaveText", "FrameSaveList", "FrameConfSuppr", "BtnValid", "BtnBack", "BtnConfSuppr",
               "BtnBackSuppr", "BtnCreate", "BtnErase"},
              Numbered("Slot", 1, 6))},
    };
}

class MenuMedia : public MenuTest {};

}  // namespace

TEST_F(MenuMedia, EveryWindowTheMenusLookUpIsInItsLayout) {
    for (const LayoutWindows& entry : MenuLayouts()) {
        SCOPED_TRACE(entry.layout);
        ASSERT_TRUE(gGUIMgr.LoadLayout(entry.layout)) << "unknown window type or font, or a broken file";
        EXPECT_NE(Window("Root"), nullptr);
        for (const std::string& name : entry.windows)
            EXPECT_NE(gGUIMgr.GetWindow(name), nullptr) << name;
    }
}

TEST_F(MenuMedia, BlinksLiveOnEveryMenuLayout) {
    CWindowEffectMgr::Create();
    for (const LayoutWindows& entry : MenuLayouts()) {
        SCOPED_TRACE(entry.layout);
        ASSERT_TRUE(gGUIMgr.LoadLayout(entry.layout));
        const std::string& window = entry.windows.front();
        ASSERT_TRUE(CWindowEffectMgr::StartEffect(window));
        for (uint32_t t : {250u, 500u}) {
            gTimer.mGameTime = t;
            CWindowEffectMgr::Update();
        }
        EXPECT_EQ(CWindowEffectMgr::GetActiveList().GetCount(), 1) << "the blink died on " << window;
        EXPECT_FLOAT_EQ(gGUIMgr.GetWindow(window)->getAlpha(), 0.75f);
        EXPECT_TRUE(CWindowEffectMgr::StopEffect(window));
    }
    CWindowEffectMgr::Free();
    gTimer.mGameTime = 0;
}

TEST_F(MenuMedia, FontsWindowTypesAndCursorTheGameNames) {
    for (const char* font : {"Dewsbury-10", "Dewsbury-60", "lucida-8", "lucida-10", "lucida-12"})
        EXPECT_TRUE(CEGUI::FontManager::getSingleton().isDefined(font)) << font;
    CEGUI::WindowManager& windows = CEGUI::WindowManager::getSingleton();
    CEGUI::Window* line = nullptr;
    EXPECT_NO_THROW(line = windows.createWindow("Tavirelo_GUI/StaticText", "CreditsLine"));
    if (line) {
        line->setFont("Dewsbury-60");
        line->setText("Tavirelo");
        windows.destroyWindow(line);
    }
    EXPECT_TRUE(CEGUI::ImageManager::getSingleton().isDefined("Tavirelo_GUI/MouseArrow"));
    gGUIMgr.SetDefaultCursor("Tavirelo_GUI");
}

// The number-of-players screen restarts the blinks of its rows on every
// click: however many clicks, the pool keeps room for the next screens.
TEST_F(MenuMedia, ClicksOnTheNumberOfPlayersScreenDoNotFillTheBlinkPool) {
    ASSERT_NE(MenuHudHooks().startWindowEffect, nullptr) << "the HUD hands its blinks to the menus";
    CWindowEffectMgr::Create();
    {
        CMenuGameModeQuickMatch flow(2);
        ASSERT_TRUE(flow.Init());
        flow.Next();
        ASSERT_NE(Window("BtnP6"), nullptr);
        for (int click = 0; click < 20; ++click)
            Click(click % 2 ? "BtnP6" : "BtnP5");
        gTimer.mGameTime = 500;
        CWindowEffectMgr::Update();
        // The count button, the six player buttons and "BtnValid" at most.
        EXPECT_LE(CWindowEffectMgr::GetActiveList().GetCount(), 8);
        EXPECT_FLOAT_EQ(Window("BtnP6")->getAlpha(), 0.75f) << "the chosen count blinks";
        EXPECT_TRUE(CWindowEffectMgr::StartEffect("MenuText"));
    }
    CWindowEffectMgr::Free();
    gTimer.mGameTime = 0;
}
