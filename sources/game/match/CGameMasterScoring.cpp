// The evaluation of a throw once its balls have stopped: the rules, the
// thrower's mental bonus or penalty, the crowd's reaction and the next ball.
#include "CGameMaster.h"

#include "CBall.h"
#include "CPlayer.h"
#include "LaunchSet.h"
#include "MatchState.h"
#include "Team.h"
#include "Terrain.h"

#include <CDebugRenderer.h>
#include <Platform.h>
#include <StrategyManager.h>
#include <TuningParameters.h>

#include <cstdio>

namespace {

enum { VENUE_MARSEILLE = 0, VENUE_BALTARD = 1, VENUE_REUNION = 2, VENUE_CIOTAT = 3, VENUE_TRAINING = 4 };

void Say(const char* text)
{
    DebugPrintText(text, true, false);
}

struct Snapshot {
    int32_t side;
    int32_t ownPoints, otherPoints;
    int32_t ownScore, otherScore;
    float ownBest, otherBest;
};

Snapshot Take(const MatchState& match, int32_t side)
{
    const MeneRecord* mene = match.mMene;
    const int32_t other = side == 0 ? 1 : 0;
    Snapshot s;
    s.side = side;
    s.ownPoints = static_cast<int32_t>(mene->mPoints[side]);
    s.otherPoints = static_cast<int32_t>(mene->mPoints[other]);
    const int32_t scores[2] = {static_cast<int32_t>(match.mScoreA), static_cast<int32_t>(match.mScoreB)};
    s.ownScore = scores[side];
    s.otherScore = scores[other];
    s.ownBest = mene->mBestDistance[side];
    s.otherBest = mene->mBestDistance[other];
    return s;
}

bool MeneOver(const MeneRecord* mene)
{
    if (!mene)
        return false;
    if (mene->mTargetBall && !IsTargetBallInPlay(mene))
        return true;
    const Team* a = mene->mTeams[0];
    const Team* b = mene->mTeams[1];
    return (!a || a->CountBallsLeft() == 0) && (!b || b->CountBallsLeft() == 0);
}

}  // namespace

void CGameMaster::EvaluateThrow(bool& valid, int& reaction)
{
    ThrowResult result;
    EvaluateThrow(result);
    valid = result.valid != 0;
    reaction = result.reaction;
}

ThrowResult& CGameMaster::EvaluateThrow(ThrowResult& result)
{
    result.valid = 0;
    result.reaction = REACTION_NONE;
    if (!mMatch || !mMatch->mMene)
        return result;

    // 1. Before the rules.
    const int32_t side = mMatch->mMene->mCurrentSide == 1 ? 1 : 0;
    Team* throwerTeam = GetTeam(side);
    const Snapshot before = Take(*mMatch, side);
    CPlayer* thrower = mCurrentPlayer;
    const int32_t mode = thrower ? thrower->mThrowMode : CPlayer::THROW_POINTING;
    const int32_t inPlayBefore = GetBallsInPlayCount();
    CBall* ball = mCurrentBall;
    mPreviousBall = mCurrentBall;

    // 2. The rules.
    result.valid = (ball && mMatch->AfterThrow(ball)) ? 1 : 0;
    ShowBestBalls();
    float mental = 0.0f;
    int32_t reaction = REACTION_NONE;
    const Terrain* terrain = GetTerrain();
    const int32_t venue = terrain ? terrain->mStageId : VENUE_MARSEILLE;
    const Snapshot after = Take(*mMatch, side);
    // Marseille (and any unknown venue) and La Ciotat have the keener crowds.
    const bool marseilleOrCiotat = venue != VENUE_BALTARD && venue != VENUE_REUNION && venue != VENUE_TRAINING;

    const bool targetThrow = !ball || ball->IsTarget();
    if (!targetThrow) {
        bool compareLead = true;
        // 4. Rolling and distance of a pointed ball.
        if (mode == CPlayer::THROW_POINTING) {
            if (mLaunchSet->mShootingAngle <= SEUIL_ANGLE_ROULAGE) {
                Say("roulette");
                mental += static_cast<float>(MALUS_MENTAL_ROULAGE);
            }
            const float d2 = mTargetBall ? ball->SquaredDistanceTo(*mTargetBall) : 0.0f;
            if (d2 < DIST_REUSSITE_POINTE * DIST_REUSSITE_POINTE) {
                Say("pres du cochonnet");
                reaction = marseilleOrCiotat ? REACTION_LOW_POSITIVE : REACTION_MEDIUM_POSITIVE;
                if (inPlayBefore == 0) {
                    mental += static_cast<float>(BONUS_MENTAL_PREMIERE_BOULE_PRES);
                    compareLead = false;
                } else {
                    mental += static_cast<float>(BONUS_MENTAL_AUTRE_BOULE_PRES);
                }
            } else if (d2 > DIST_ECHEC_POINTE * DIST_ECHEC_POINTE) {
                Say("loin du cochonnet");
                reaction = marseilleOrCiotat ? REACTION_LOW_NEGATIVE : REACTION_MEDIUM_NEGATIVE;
                if (inPlayBefore == 0) {
                    mental += static_cast<float>(MALUS_MENTAL_PREMIERE_BOULE_LOIN);
                    compareLead = false;
                } else {
                    mental += static_cast<float>(MALUS_MENTAL_AUTRE_BOULE_LOIN);
                }
            }
        }
        // 5. The mene lead.
        if (compareLead && inPlayBefore > 0) {
            const int32_t change =
                (after.ownPoints - after.otherPoints) - (before.ownPoints - before.otherPoints);
            if (change > 0) {
                Say("difference de score amelioree");
                mental += static_cast<float>(BONUS_MENTAL_SCORE_MENE_AUGMENTE);
                reaction = venue == VENUE_CIOTAT ? REACTION_LOW_POSITIVE : REACTION_MEDIUM_POSITIVE;
            } else if (change < 0) {
                Say("difference de score empiree");
                mental += static_cast<float>(MALUS_MENTAL_SCORE_MENE_DIMINUE);
                reaction = venue == VENUE_CIOTAT   ? REACTION_LOW_NEGATIVE
                           : venue == VENUE_REUNION ? REACTION_HIGH_NEGATIVE
                                                    : REACTION_MEDIUM_NEGATIVE;
            } else {
                Say("difference de score identique");
                mental += static_cast<float>(MALUS_MENTAL_SCORE_MENE_EGAL);
                if (mode == CPlayer::THROW_SHOOTING)
                    reaction = venue == VENUE_REUNION ? REACTION_MEDIUM_NEGATIVE : REACTION_LOW_NEGATIVE;
                // 6. Best distances after an unchanged lead.
                if (before.ownBest != -1.0f && after.ownBest != -1.0f) {
                    if (before.ownBest - after.ownBest > 0.01f) {
                        Say("meilleure boule approchee");
                        mental += static_cast<float>(BONUS_MENTAL_MEILLEURE_BOULE_APPROCHE);
                    } else if (after.ownBest - before.ownBest > 0.01f) {
                        Say("meilleure boule eloignee");
                        mental += static_cast<float>(MALUS_MENTAL_MEILLEURE_BOULE_ELOIGNE);
                    }
                }
                if (before.otherBest != -1.0f && after.otherBest != -1.0f) {
                    if (before.otherBest - after.otherBest > 0.01f) {
                        Say("meilleure boule adverse approchee");
                        reaction = REACTION_LOW_NEGATIVE;
                        mental += static_cast<float>(MALUS_MENTAL_MEILLEURE_BOULE_ADVERSE_APPROCHE);
                    } else if (after.otherBest - before.otherBest > 0.01f) {
                        Say("meilleure boule adverse eloignee");
                        reaction = REACTION_LOW_POSITIVE;
                        mental += static_cast<float>(BONUS_MENTAL_MEILLEURE_BOULE_ADVERSE_ELOIGNE);
                    }
                }
            }
        }
    }

    // 7. The end of the mene.
    const bool over = MeneOver(mMatch->mMene);
    if (over) {
        if (after.ownScore > before.ownScore) {
            Say("mene gagnee");
            mental += static_cast<float>(BONUS_MENTAL_GAIN_MENE);
        } else if (after.otherScore > before.otherScore) {
            Say("mene perdue");
            mental += static_cast<float>(MALUS_MENTAL_PERTE_MENE);
        } else {
            Say("mene nulle");
        }
    }

    // 8. Stress: a positive sum lowers it.
    if (thrower)
        thrower->mStress += static_cast<int32_t>(-mental);
    char line[96];
    std::snprintf(line, sizeof(line), "bonus/malus mental : %f", mental);
    Say(line);
    result.reaction = reaction;

    // 9. The next ball.
    const int32_t target = mMatch->mTargetScore;
    if (static_cast<int32_t>(mMatch->mScoreA) < target && static_cast<int32_t>(mMatch->mScoreB) < target && !over &&
        result.valid) {
        const int32_t next = mMatch->mMene->mCurrentSide == 1 ? 1 : 0;
        const Team* nextTeam = GetTeam(next);
        const int32_t index = NextBallIndex(GetBallsPerSide(), next, nextTeam ? nextTeam->CountBallsLeft() : 0);
        if (CBall* nextBall = index > 0 ? GetBall(static_cast<uint32_t>(index)) : nullptr) {
            SetBallHighlight(mCurrentBall, false);
            mPreviousBall = mCurrentBall;
            mCurrentBall = nextBall;
            SetBallHighlight(mCurrentBall, true);
        } else {
            PlatLog("Game Master: side %d has no ball %d to throw next", next, index);
        }
    }

    // 10.
    mLaunchSet->mStep = 0;
    if (throwerTeam && throwerTeam->mComputer && mStrategy)
        mStrategy->Reset();
    return result;
}
