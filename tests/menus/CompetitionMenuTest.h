// Menu tests of the competitions: the shipped team and player tables once a
// suite (saves and line-ups name teams and their players), the language
// table, and no tournament in play before or after each test.
#pragma once

#include "MenuTestUtil.h"

#include <CLangDB.h>
#include <CTournament.h>
#include <PlayerDB.h>
#include <TeamDB.h>

#include <string>

class CompetitionMenuTest : public MenuTest {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(TeamDB::LoadFromFile(std::string(KEM_SOURCE_MEDIA) + "/Data/Equipes_DB.csv"));
        ASSERT_TRUE(PlayerDB::LoadFromFile(std::string(KEM_SOURCE_MEDIA) + "/Data/Joueurs_DB.csv"));
    }
    static void TearDownTestSuite() {
        PlayerDB::Release();
        TeamDB::Init();
    }
    void SetUp() override {
        MenuTest::SetUp();
        CLangDB::Instance().LoadFromFile(std::string(KEM_SOURCE_MEDIA) + "/Data/Lang_DB.csv");
        delete g_pCurrentTournament;
        g_pCurrentTournament = nullptr;
        g_bTournamentCareer = 0;
    }
    void TearDown() override {
        delete g_pCurrentTournament;
        g_pCurrentTournament = nullptr;
        MenuTest::TearDown();
    }
};
