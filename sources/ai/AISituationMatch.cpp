// The situation taken from the match state's current mene.
#include "AISituation.h"

#include <CBall.h>
#include <CGameElement.h>
#include <MatchState.h>
#include <Platform.h>
#include <Team.h>

namespace {

void AddBallsInPlay(const std::vector<CBall*>& balls, std::vector<AISituationInput::Ball>& out) {
    for (CBall* ball : balls)
        if (ball && ball->mState == CBall::STATE_LAUNCHED)
            out.push_back({ball, ball->GetWorldPosition()});
}

}  // namespace

AISituation::AISituation(const AIParameters* parameters, MatchState* matchState)
    : mParameters(parameters), mMatchState(matchState) {
    Compute(InputFromMatch(matchState));
}

AISituationInput AISituation::InputFromMatch(const MatchState* match) {
    AISituationInput input;
    const MeneRecord* mene = match ? match->mMene : nullptr;
    if (!mene) {
        PlatLog("AISituation::InputFromMatch() => no mene in progress");
        return input;
    }
    input.targetBall = mene->mTargetBall;
    if (input.targetBall)
        input.targetPosition = input.targetBall->GetWorldPosition();
    const CGameElement* circle = mene->mCircle ? mene->mCircle : match->mCircle;
    if (circle)
        input.circlePosition = circle->GetWorldPosition();

    const int32_t side = mene->mCurrentSide == 1 ? 1 : 0;
    const int32_t other = 1 - side;
    const Team* mine = match->GetTeam(side);
    const Team* theirs = match->GetTeam(other);
    input.myScore = static_cast<int32_t>(side == 0 ? match->mScoreA : match->mScoreB);
    input.opponentScore = static_cast<int32_t>(side == 0 ? match->mScoreB : match->mScoreA);
    input.myBallsLeft = mine ? mine->CountBallsLeft() : 0;
    input.opponentBallsLeft = theirs ? theirs->CountBallsLeft() : 0;
    input.targetScore = match->mTargetScore;
    input.currentPlayer = mine ? mine->GetCurrentPlayer() : nullptr;
    AddBallsInPlay(mene->mBalls[side], input.myBalls);
    AddBallsInPlay(mene->mBalls[other], input.opponentBalls);
    return input;
}
