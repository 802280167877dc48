#include "TournamentScreenAdapters.h"

#include <CHUDAffrontements.h>
#include <CHUDCredits.h>
#include <CHUDQualification.h>
#include <CHUDTournamentResult.h>
#include <CHUDVictory.h>
#include <TournamentLines.h>
#include <TournamentScreens.h>

#include <memory>

namespace {

PairingTeam ToHud(const TournamentTeamLine& line) {
    PairingTeam team;
    team.mName = line.mName;
    for (int k = 0; k < 3; ++k)
        team.mPlayers[k] = line.mPlayers[k];
    team.mComputer = line.mComputer != 0;
    team.mScore = line.mScore;
    return team;
}

PairingLines ToHud(const TournamentPairing& pairing) {
    PairingLines lines;
    for (int m = 0; m < 2; ++m) {
        lines.mMatch[m].mFirst = ToHud(pairing.mTeams[2 * m]);
        lines.mMatch[m].mSecond = ToHud(pairing.mTeams[2 * m + 1]);
        lines.mMatch[m].mFirstWon = pairing.mFirstWon[m] != 0;
    }
    return lines;
}

TeamLine ToHudLine(const TournamentTeamLine& line) {
    TeamLine team;
    team.mPlayerCount = line.mPlayerCount;
    team.mName = line.mName;
    for (int k = 0; k < 3; ++k)
        team.mPlayers[k] = line.mPlayers[k];
    team.mScore = line.mScore;
    team.mComputer = line.mComputer != 0;
    return team;
}

class BracketScreen : public CTournamentScreen {
public:
    explicit BracketScreen(CHUDAffrontements* screen) : mScreen(screen) {}
    bool IsValidated() override { return mScreen->mValidated; }
    void ShowGroup(const TournamentPairing& lines, int group) override { mScreen->ShowMatch(ToHud(lines), group); }
    void SetTeamLine(int position, const TournamentTeamLine& line) override {
        mScreen->SetTeamLine(position, ToHudLine(line));
    }

private:
    std::unique_ptr<CHUDAffrontements> mScreen;
};

// Held as its own type: the qualification screens are deleted through it.
template <class Screen>
class QualificationScreen : public CTournamentScreen {
public:
    bool IsValidated() override { return mScreen.mValidated; }
    void ShowGroup(const TournamentPairing& lines, int pool) override { mScreen.Fill(pool, ToHud(lines)); }

private:
    Screen mScreen;
};

class ResultScreen : public CTournamentScreen {
public:
    bool IsValidated() override { return mScreen.mValidated; }
    void SetTeamLine(int position, const TournamentTeamLine& line) override {
        mScreen.SetTeamLine(position, ToHudLine(line));
    }

private:
    CHUDTournamentResult mScreen;
};

class VictoryScreen : public CTournamentScreen {
public:
    bool IsValidated() override { return mScreen.mValidated; }
    void ShowPodium(Team* first, Team* second, Team* third, bool national) override {
        if (national)
            mScreen.ShowPodiumOtherList(first, second, third);
        else
            mScreen.ShowPodium(first, second, third);
        mScreen.ShowAwards(first, second, third);
    }

private:
    CHUDVictory mScreen;
};

class CreditsScreen : public CTournamentScreen {
public:
    bool IsValidated() override { return mScreen.mFinished; }
    void Update() override { mScreen.Update(); }

private:
    CHUDCredits mScreen;
};

}  // namespace

CTournamentScreen* BuildHudTournamentScreen(int slot) {
    switch (slot) {
    case TS_QUALIFICATION: return new QualificationScreen<CHUDQualification>();
    case TS_QUALIFICATION_RESULT: return new QualificationScreen<CHUDQualificationResult>();
    case TS_STEP_ONE: return new BracketScreen(new CHUDAffrontementsStepOne());
    case TS_STEP_TWO: return new BracketScreen(new CHUDAffrontementsStepTwo());
    case TS_STEP16: return new BracketScreen(new CHUDAffrontementsStep16Finale());
    case TS_RESULT: return new ResultScreen();
    case TS_VICTORY: return new VictoryScreen();
    case TS_CREDITS: return new CreditsScreen();
    default: return nullptr;
    }
}
