#include "CPlayerChoice.h"

#include "AIDebugText.h"
#include "AIParameters.h"

#include <CBall.h>
#include <CPlayer.h>
#include <CaracDB.h>
#include <MatchState.h>
#include <Team.h>
#include <TuningParameters.h>

#include <vector>

CPlayerChoice::CPlayerChoice(const BaseStrategy& strategy, MatchState* matchState, const AIParameters* parameters)
    : CAITask(0), mMatchState(matchState), mParameters(parameters), mStrategy(strategy) {}

CPlayerChoice::~CPlayerChoice() = default;

AIRoles CPlayerChoice::SortRoles(const int32_t shooting[3], const int32_t pointing[3]) {
    AIRoles roles;
    roles.middle = 0;
    int32_t bestShooting = shooting[0];
    int32_t bestPointing = pointing[0];
    for (int i = 1; i < 3; ++i) {
        if (shooting[i] > bestShooting) {
            if (roles.shooter >= 0) {
                roles.pointer = roles.middle;
                roles.middle = roles.shooter;
            }
            roles.shooter = i;
            bestShooting = shooting[i];
        } else if (pointing[i] > bestPointing) {
            if (roles.pointer >= 0) {
                roles.shooter = roles.middle;
                roles.middle = roles.pointer;
            }
            roles.pointer = i;
            bestPointing = pointing[i];
        } else {
            if (roles.shooter < 0)
                roles.shooter = roles.middle;
            else
                roles.pointer = roles.middle;
            roles.middle = i;
        }
    }
    return roles;
}

void CPlayerChoice::Step() {
    const MeneRecord* mene = mMatchState ? mMatchState->mMene : nullptr;
    const int32_t side = mene && mene->mCurrentSide == 1 ? 1 : 0;
    Team* team = mene ? mene->mTeams[side] : nullptr;
    CPlayer* current = team ? team->GetCurrentPlayer() : nullptr;
    const bool shooting = mStrategy.kind == BaseStrategy::KIND_SHOOT;
    const int32_t kind = shooting ? CPlayer::THROW_SHOOTING : CPlayer::THROW_POINTING;

    CPlayer* chosen = nullptr;
    if (team && !team->mPlayers.empty()) {
        if (mMatchState->mGameType <= 1) {
            chosen = current;
        } else {
            const Ogre::Vector3 release = current ? current->GetReleasePoint(kind) : Ogre::Vector3::ZERO;
            const Ogre::Vector3 ball = mStrategy.ball ? mStrategy.ball->GetWorldPosition() : Ogre::Vector3::ZERO;
            const float impactDistance = release.distance(ball);
            if (mMatchState->mGameType == 2 || team->mPlayers.size() < 3)
                chosen = team->GetBestPlayer(impactDistance, kind, true);
            else
                chosen = ChooseAmongThree(team->mPlayers, impactDistance, shooting);
        }
    }
    if (!chosen) {
        // Nothing to choose from: end here rather than wait for the budget
        // (the strategy manager reports the turn without a thrower).
        mFinished = true;
        return;
    }
    AIDebugText("-----------> Joueur choisi : " + chosen->GetName());
    mChosenPlayer = chosen;
}

CPlayer* CPlayerChoice::ChooseAmongThree(const std::vector<CPlayer*>& players, float impactDistance,
                                         bool shooting) const {
    int32_t shootingRatings[3];
    int32_t pointingRatings[3];
    for (int i = 0; i < 3; ++i) {
        shootingRatings[i] = players[i] ? players[i]->GetThrowRating(impactDistance, CPlayer::THROW_SHOOTING) : 0;
        pointingRatings[i] = players[i] ? players[i]->GetThrowRating(impactDistance, CPlayer::THROW_POINTING) : 0;
    }
    const AIRoles roles = SortRoles(shootingRatings, pointingRatings);
    CPlayer* pointer = players[static_cast<size_t>(roles.pointer)];
    CPlayer* middle = players[static_cast<size_t>(roles.middle)];
    CPlayer* shooter = players[static_cast<size_t>(roles.shooter)];
    if (!pointer || !middle || !shooter)
        return middle ? middle : pointer ? pointer : shooter;
    AIDebugText("Meilleur pointeur : " + pointer->GetName());
    AIDebugText("Meilleur milieu : " + middle->GetName());
    AIDebugText("Meilleur tireur : " + shooter->GetName());

    const AIParameters* p = mParameters;
    const auto weight = [p](float AIParameters::*key) { return p ? p->*key : 0.0f; };
    float middleScore = 0.0f;
    float otherScore = 0.0f;
    const auto rule = [](float& score, const char* text, float w) {
        score += w;
        AIDebugRule(text, w);
    };

    if (shooting) {
        if (middle->mBallsLeft <= 0) {
            AIDebugText("milieu n a plus de boules");
            return shooter->mBallsLeft > 0 ? shooter : pointer;
        }
        if (shooter->mBallsLeft <= 0)
            return middle;
        if (shooter->mBallsLeft == 1) {
            if (middle->mBallsLeft == 1)
                rule(otherScore, "milieu 1 boule et tireur 1 boule -> tireur", weight(&AIParameters::wpcss_both_one_ball));
            else
                rule(middleScore, "milieu >1 boule et tireur 1 boule -> milieu",
                     weight(&AIParameters::wpcms_middle_more_than_one_ball));
        }
        if (impactDistance > 7.0f)
            rule(otherScore, "distance impact > 7 m -> tireur", weight(&AIParameters::wpcss_more_than_7_m));
        if (middle->GetProfile(CPlayer::THROW_SHOOTING)->mMental - middle->mStress < SEUIL_MENTAL_STRESS)
            rule(otherScore, "mental milieu < 20 -> tireur", weight(&AIParameters::wpcss_stressed_middle));
        return middleScore > otherScore ? middle : shooter;
    }

    if (middle->mBallsLeft <= 0) {
        AIDebugText("milieu n a plus de boules");
        if (pointer->mBallsLeft > 0)
            return pointer;
        AIDebugText("pointeur n a plus de boules");
        return shooter;
    }
    if (pointer->mBallsLeft <= 0)
        return middle;
    if (pointer->mBallsLeft == 1) {
        if (middle->mBallsLeft == 1)
            rule(otherScore, "milieu 1 boule et pointeur 1 boule -> pointeur", weight(&AIParameters::wpcpp_both_one_ball));
        else
            rule(middleScore, "milieu >1 boule et pointeur 1 boule -> milieu",
                 weight(&AIParameters::wpcmp_middle_more_than_one_ball));
    }
    if (impactDistance - ROULAGE_MOYEN > 6.0f) {
        rule(otherScore, "distance impact >6 m -> pointeur", weight(&AIParameters::wpcpp_more_than_6_m));
        const MeneRecord* mene = mMatchState->mMene;
        const int32_t opponent = mene->mCurrentSide == 1 ? 0 : 1;
        const float best = mene->mBestDistance[opponent];
        if (best != -1.0f && best > 0.09f)
            rule(middleScore, "distance impact >6 m et meilleure boule adverse > 30 cm -> milieu",
                 weight(&AIParameters::wpcpm_more_than_6_m_best_opponent_more_than_30_cm));
        if (middle->GetProfile(CPlayer::THROW_POINTING)->mPhysique - middle->mFatigue < SEUIL_PHYSIQUE_FATIGUE)
            rule(otherScore, "physique milieu< 20 -> pointeur", weight(&AIParameters::wpcpp_exhausted_middle));
    }
    return middleScore > otherScore ? middle : pointer;
}
