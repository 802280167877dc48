// State 8: between the matches of a championship, cup or career. Shows the
// queue of tournament screens for the step the tournament stands at, lets the
// tournament simulate what it can, saves it into the current slot, then
// starts the next played match, shows the end-of-tournament frame, or hands
// a finished career stage back to the career menus.
#pragma once

#include "CQMGMState.h"

#include <CTournament.h>
#include <TournamentScreens.h>

#include <string>
#include <vector>

class CQMGMTournamentInfoState : public CQMGMState {
public:
    // Screen kinds of the queue.
    enum Kind {
        KIND_NONE = 0,
        KIND_QUALIFICATION = 1,
        KIND_QUALIFICATION_RESULT = 2,
        KIND_STEP_ONE_A = 3,
        KIND_STEP_TWO_A = 4,
        KIND_STEP_ONE_B = 5,
        KIND_STEP_ONE_C = 6,
        KIND_STEP_TWO_B = 7,
        KIND_FINALS_HELD = 8,
        KIND_FINALS = 9,
        KIND_RESULT = 10,
        KIND_VICTORY = 11,
        KIND_CREDITS = 12,
    };

    ~CQMGMTournamentInfoState() override;

    void OnEnter(int previousStateId) override;
    void Update() override;
    void OnLeave(int nextStateId) override;

    // Set by the match mode's replay button while this state is current.
    void SetRetry() { mRetry = 1; }

    // The kinds to show for a progress record (the first kinds before the
    // closing ones). `credits`: the career's last stage won by the gamer.
    static std::vector<int> QueueFor(const TournamentInfo& info, bool newStep, bool referee, int previousStep,
                                     bool finished, bool credits);

    void BuildInfoQueue();
    bool ShowNextInfo();
    void ReleaseInfo();
    void ShowEndTournament();
    void EraseSaveAndRestart();
    // Both teams computer-controlled: draws the result and reports it.
    void SimulateMatch(Team* first, Team* second);
    void FillPairingLines(TournamentPairing& lines, const TournamentMatch& match, int index);
    std::string FindTeamName(const Team* team, int k);

    const std::vector<int>& GetQueue() const { return mQueue; }
    int GetCurrentSlot() const { return mSlot; }
    bool IsEnded() const { return mEnded; }

private:
    // Builders of the kinds.
    void ShowPairs(const TournamentMatchList& matches, int slot, int kind, bool oneMatchPerGroup);
    void ShowQualification(bool result);
    // Each pool's first and its team out, and its play-off for second place.
    void ShowPoolResults();
    void ShowFinals(int kind);
    void ShowTournamentResult();
    void ShowVictory();
    // One group of a pairing screen: its team lines reported, then shown.
    void ShowGroup(int slot, const TournamentPairing& lines, int group, int teams);
    // Creates the slot's screen (null without a builder) and makes it current.
    CTournamentScreen* OpenScreen(int slot, int kind);
    TournamentTeamLine MakeTeamLine(const Team* team, int32_t score);
    // The place of a pool's second while its play-off waits.
    TournamentTeamLine PlayOffLine(int pool);
    void DrawLine(int slot, int position, const TournamentTeamLine& line);
    // Queue run dry: save, then the next match, the next step or the end.
    void ChooseWhatFollows();
    bool CareerCredits();

    CTournamentScreen* mScreen = nullptr;
    bool mDone = false;
    unsigned char mRetry = 0;
    int mSlot = 0;
    std::vector<int> mQueue;
    int mPreviousStep = 0;
    bool mEnded = false;
    bool mVictoryQueued = false;
    // The queue's screens already moved the tournament on by one step.
    bool mAdvanced = false;
};
