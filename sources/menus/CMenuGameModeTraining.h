// The training menus (mode 10): choose an exercise, read its description,
// then the training game (mode 9) starts. None of the match choices apply
// here: the player, team and game-type answers are constants.
#pragma once

#include "CMenuChooseTrainingType.h"
#include "CMenuGameMode.h"
#include "CMenuTrainingChoice.h"
#include "CMenuTrainingDescription.h"

class CMenuGameModeTraining : public CMenuGameMode, public CMenuTrainingChoice {
public:
    enum { SCREEN_TRAINING_TYPE = 0, SCREEN_DESCRIPTION = 1, SCREEN_DUMMY = 2 };

    explicit CMenuGameModeTraining(int previousModeValue);

    // Always opens on the exercise choice: there is no resume after a
    // training game.
    bool Init() override;
    // Escape acts as Back, then the current screen.
    void Update() override;
    bool Exit() override { return true; }
    CGameMode* GetSelf() override { return this; }

    // Past the description: "TrainingType" of "TRAININGPARAMS" := the chosen
    // exercise, then the training game.
    void Next() override;
    // On the exercise choice: the main menu.
    void Back() override;
    CKEMStateMachine* GetStateMachine() override { return &mMachine; }
    int GetStep() override { return mStep; }
    void SetStep(int step) override { mStep = step; }

    int GetNbPlayers() override { return 1; }
    void SetNbPlayers(int) override {}
    void SetPlayerName(int, const std::string&) override {}
    const std::string& GetPlayerName(int) override;
    void SetPlayerTeam(int, int) override {}
    int GetPlayerTeam(int) override { return 0; }
    void SetGameType(int) override {}
    int GetGameType() override { return 0; }
    void SetTeamAAi(bool) override {}
    bool IsTeamAAi() override { return false; }
    void SetTeamBAi(bool) override {}
    bool IsTeamBAi() override { return false; }
    int GetNbPlayersPerTeam() override { return 1; }
    int GetTeamOrigin() override { return 0; }
    int GetTeamRegion(int) override { return 0; }
    int GetTeamCountry(int) override { return 0; }

private:
    CKEMStateMachine mMachine;
    CMenuChooseTrainingType mTypeScreen;
    CMenuTrainingDescription mDescriptionScreen;
    CMenuDummy mDummy;
    int mStep = SCREEN_TRAINING_TYPE;
};
