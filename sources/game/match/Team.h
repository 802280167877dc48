// One side's record: its name and origin (a region or a country), its
// players, its computer-opponent levels by difficulty, and the per-match
// counters of the rules. Teams are made by the team table and kept for the
// whole run; they point to players the player table owns.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CPlayer;

class Team {
public:
    explicit Team(const std::string& name);
    Team(const Team&) = delete;
    Team& operator=(const Team&) = delete;

    // Sum of the players' balls left.
    int32_t CountBallsLeft() const;
    // The current index becomes the player's position; unchanged when the
    // player is not one of this team's.
    void SetCurrentPlayer(const CPlayer* player);
    // The player with the highest throw rating for the distance and kind,
    // among all players or only those with balls left; the first wins ties.
    // Null when there is nobody to choose.
    CPlayer* GetBestPlayer(float distance, int32_t kind, bool onlyWithBalls) const;
    // The player at the current index; null when the index is out of range.
    CPlayer* GetCurrentPlayer() const;
    // keepCurrent false: the current player when it still has balls.
    // Otherwise the first pointer with balls, else the last middle player
    // with balls, else the first shooter with balls; it becomes current.
    // Null when nobody has balls.
    CPlayer* GetNextPlayerWithBalls(bool keepCurrent);
    // 3 balls each, 2 each in a team of exactly three.
    void DealBalls();
    // Fatigue and stress back to 0 for every player.
    void ResetThrowCounters();
    // The computer-opponent level of the current difficulty (0 easy,
    // 1 medium, anything else hard).
    int32_t GetAILevel() const;

    std::vector<CPlayer*> mPlayers;   // not owned
    std::string mName;
    bool mComputer = false;
    int32_t mFailedTargetThrows = 0;
    int32_t mCurrentPlayer = 0;
    // Per difficulty (easy, medium, hard): strength factor, computer level.
    int32_t mDifficulty[3][2] = {{0, 0}, {0, 0}, {0, 0}};
    int32_t mRegionId = 0;
    int32_t mCountryId = 0;
    bool mNational = false;
};

// The display name of the team's region, or of its country when national;
// empty when the id has no name.
std::string GetTeamDisplayName(const Team* team);
// The team's name as every screen writes it: the localized text of its name
// (the display name above names pictures and clothes, and differs for one
// region); empty for no team.
std::string GetTeamScreenName(const Team* team);
