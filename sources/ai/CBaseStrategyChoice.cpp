#include "CBaseStrategyChoice.h"

#include "AIDebugText.h"
#include "AIParameters.h"
#include "AISituation.h"

#include <sstream>

namespace {

// The nearest ball of either side, if any.
bool Nearest(const AISituation& s, AIBallRecord& out) {
    if (s.GetBallCount() == 0)
        return false;
    out = s.GetBall(0);
    return true;
}

bool ZoneIs(int zone, int a, int b = -1) { return zone == a || zone == b; }

}  // namespace

CBaseStrategyChoice::CBaseStrategyChoice(int32_t timeBudgetMs, const AISituation* situation,
                                         const AIParameters* parameters, float noiseAmplitude)
    : CWeightedChoice<BaseStrategy>(timeBudgetMs, 0.0f, 1, noiseAmplitude), mSituation(situation),
      mParameters(parameters) {}

CBaseStrategyChoice::~CBaseStrategyChoice() = default;

void CBaseStrategyChoice::AddCandidate(CBall* ball, int32_t kind, const char* name) {
    BaseStrategy strategy;
    strategy.ball = ball;
    strategy.kind = kind;
    strategy.name = name;
    mCandidates->push_back(strategy);
}

void CBaseStrategyChoice::Start(uint32_t nowMs) {
    CAITask::Start(nowMs);
    mCandidates.reset(new CandidateArray());
    mPointingBaseWeight = 0.0f;
    if (!mSituation || !mParameters)
        return;
    const AISituation& s = *mSituation;
    CBall* bestOpponent = s.GetBestOpponentBall();
    CBall* myBest = s.GetMyBestBall();

    AddCandidate(s.GetTargetBall(), BaseStrategy::KIND_APPROACH, "Approche cochonnet");
    if (bestOpponent)
        AddCandidate(bestOpponent, BaseStrategy::KIND_SHOOT, "Tirer meilleure boule adverse");
    if (bestOpponent && !s.HasBallInFront(bestOpponent, 3.0f))
        AddCandidate(bestOpponent, BaseStrategy::KIND_STICK, "Coller la meilleure boule adverse");
    else
        AIDebugText("La meilleure boule adverse n est pas collable");
    if (bestOpponent && !s.HasBallInFront(bestOpponent, 2.0f))
        AddCandidate(bestOpponent, BaseStrategy::KIND_PUSH, "Pousser meilleure boule adverse");
    else
        AIDebugText("La meilleure boule adverse n est pas poussable");
    if (myBest && !s.HasBallInFront(myBest, 3.0f))
        AddCandidate(myBest, BaseStrategy::KIND_STICK, "Coller ma meilleure boule");
    else
        AIDebugText("Ma meilleure boule n est pas collable");

    bool pushable = false;
    for (uint32_t rank = 0; rank < s.GetMyBallCount(); ++rank) {
        const size_t index = static_cast<size_t>(s.GetMyBallIndex(rank));
        const AIBallRecord ball = s.GetBall(index);
        if (ball.angleClass == 0 && ZoneIs(ball.zone, 1, 2) && !s.HasBallInFront(index, 2.0f) &&
            !s.HasBallBehind(index, 0.5f)) {
            AddCandidate(ball.ball, BaseStrategy::KIND_PUSH, "Pousser une de mes boules");
            pushable = true;
            break;
        }
    }
    if (!pushable)
        AIDebugText("Aucune de mes boules n est poussable");

    ComputePointingBaseWeight();
}

void CBaseStrategyChoice::ComputePointingBaseWeight() {
    const AISituation& s = *mSituation;
    const AIParameters& p = *mParameters;
    float weight = 0.0f;
    if (s.GetOpponentHoldingCount() == 0) {
        weight += p.wgp_opponent_score_0;
        AIDebugRule("Nombre de boule adverse qui tient  0", p.wgp_opponent_score_0);
    } else if (s.GetMyBallIndex(0) == 1) {
        // The opponent holds with exactly one ball and my best comes next.
        if (s.GetMyBallIndex(1) != 2 && s.GetBall(1).zone == 3) {
            weight += p.wgp_my_best_after_opp_best_1_z4;
            AIDebugRule("Nombre de mes boules après la boule adverse qui tient =1 en z4",
                        p.wgp_my_best_after_opp_best_1_z4);
        }
    } else {
        weight += p.wgp_my_best_after_opp_best_0;
        AIDebugRule("Nombre de mes boules après la boule adverse qui tient =0", p.wgp_my_best_after_opp_best_0);
    }
    if (s.GetMyBallsLeft() - s.GetOpponentBallsLeft() <= -p.gp_remaining_ball_diff_treshold) {
        weight += p.wgp_remaining_ball_diff;
        AIDebugRule("Ecart nombre de boule en main favorable au pointage", p.wgp_remaining_ball_diff);
    }
    mPointingBaseWeight = weight;
}

float CBaseStrategyChoice::Evaluate(BaseStrategy c) {
    const float noise = CWeightedChoice<BaseStrategy>::Evaluate(c);
    float score = noise;
    {
        std::ostringstream label;
        label << "Erreur inexperience (max " << mNoiseAmplitude << ")";
        AIDebugRule(label.str(), noise);
    }
    if (!mSituation || !mParameters)
        return score;
    const AISituation& s = *mSituation;
    const AIParameters& p = *mParameters;

    if (c.kind == BaseStrategy::KIND_SHOOT) {
        score += mShootBaseWeight;
    } else {
        score += mPointingBaseWeight;
        AIDebugRule("Base pointer", mPointingBaseWeight);
    }

    AIBallRecord nearest;
    const bool anyBall = Nearest(s, nearest);
    const bool opponentHolds = s.GetOpponentHoldingCount() >= 1;
    const bool isBestOpponent = c.ball != nullptr && c.ball == s.GetBestOpponentBall();
    const int32_t ballDiff = s.GetMyBallsLeft() - s.GetOpponentBallsLeft();
    const auto rule = [&score](bool applies, const char* text, float weight) {
        if (!applies)
            return;
        score += weight;
        AIDebugRule(text, weight);
    };

    switch (c.kind) {
    case BaseStrategy::KIND_APPROACH: {
        const bool onTarget = c.ball == s.GetTargetBall();
        rule(onTarget && opponentHolds && anyBall &&
                 ((nearest.zone == 1 && nearest.angleClass == 2) || ZoneIs(nearest.zone, 2, 3)),
             "boule adverse  qui tient Z2- Z3 Z4", p.wap_best_opponent_z2_minus_z34);
        rule(onTarget && s.GetOpponentBallsLeft() == 0 && anyBall && ZoneIs(nearest.zone, 2, 3),
             "Adversaire n\u2019a plus de boule, la meilleure boule est en Z34",
             p.wap_opponent_no_remaining_balls_best_ball_z34);
        break;
    }
    case BaseStrategy::KIND_PUSH:
        rule(true, "Base pousser", p.wp_non_approaching_strategies);
        if (isBestOpponent) {
            rule(opponentHolds && s.GetMyBallsLeft() == 1 && anyBall && ZoneIs(nearest.zone, 0, 1) &&
                     ZoneIs(nearest.angleClass, 0, 1),
                 "je n\u2019ai plus qu\u20191 boule \u00e0 jouer et que je ne tiens pas. Meilleure boule adverse en Z12 + "
                 "ou neutre",
                 p.wuo_opponent_holds_in_z_12_plus_or_neutral_and_i_have_1_left);
            rule(opponentHolds && ballDiff <= -2 && anyBall && nearest.zone == 0 && ZoneIs(nearest.angleClass, 0, 1),
                 "Adversaire tient en zone 1+ ou neutre ecart adversaire-moi =2",
                 p.wuo_opponent_holds_in_z_1_plus_or_neutral_and_remaining_ball_diff_2);
        } else {
            rule(opponentHolds && s.GetMyBallsLeft() > 1, "Aversaire tient et moi >1 boule. Boule poussable",
                 p.wum_opponent_holds_i_have_1_in_z23_plus_and_have_more_than_1_left);
        }
        break;
    case BaseStrategy::KIND_STICK:
        rule(true, "Base coller", p.wp_non_approaching_strategies);
        if (isBestOpponent) {
            rule(opponentHolds && s.GetMyBallsLeft() == 1 && anyBall && ZoneIs(nearest.zone, 0, 1) &&
                     nearest.angleClass == 2,
                 "J ai une seule boule, adversaire tient en zone 12-",
                 p.wto_opponent_holds_in_z_12_minus_and_i_have_1_ball_left);
            rule(opponentHolds && ballDiff <= -2 && anyBall && nearest.zone == 0 && nearest.angleClass == 2,
                 "Adversaire tient en zone 1- ecart adversaire-moi =2",
                 p.wto_opponent_holds_in_z_1_minus_and_remaining_ball_diff_2);
        } else if (c.ball != nullptr && c.ball == s.GetMyBestBall()) {
            rule(s.GetMyHoldingCount() >= 1 && s.GetOpponentBallsLeft() == 0 && anyBall && ZoneIs(nearest.zone, 0, 1),
                 "Adversaire n\u2019a plus de boule je tiens en Z12", p.wtm_opponent_no_remaining_balls_i_hold_z12);
        }
        break;
    case BaseStrategy::KIND_SHOOT:
        if (isBestOpponent)
            score += ShootRules(c);
        break;
    default:
        break;
    }

    AIDebugRule("----------------------------TOTAL " + c.name + "----------------------------", score);
    return score;
}

float CBaseStrategyChoice::ShootRules(const BaseStrategy& c) const {
    (void)c;
    const AISituation& s = *mSituation;
    const AIParameters& p = *mParameters;
    float score = 0.0f;
    const auto rule = [&score](const char* text, float weight) {
        score += weight;
        AIDebugRule(text, weight);
    };

    // Only reached with a best opponent ball: there is a record 0.
    const AIBallRecord nearest = s.GetBall(0);
    if (s.GetOpponentHoldingCount() >= 1) {
        rule("Nombre de boule adverse qui tient  >=1", p.wso_opponent_holds);
        if (nearest.zone == 0 && nearest.angleClass == 1)
            rule("boule adverse  qui tient Z1", p.wso_best_opponent_z1_neutral);
        else if (nearest.zone == 0 && nearest.angleClass == 0)
            rule("boule adverse  qui tient Z1+", p.wso_best_opponent_z1_plus);
        else if (nearest.zone == 0 && nearest.angleClass == 2)
            rule("boule adverse  qui tient Z1-", p.wso_best_opponent_z1_minus);
        else if (nearest.zone == 1 && nearest.angleClass == 1)
            rule("boule adverse  qui tient Z2", p.wso_best_opponent_z2_neutral);
        else if (nearest.zone == 1 && nearest.angleClass == 0)
            rule("boule adverse  qui tient Z2+", p.wso_best_opponent_z2_plus);

        if (s.GetMyBallIndex(0) == 1) {
            if (s.GetMyBallIndex(1) == 2) {
                for (uint32_t rank = 0; rank < s.GetMyBallCount(); ++rank) {
                    if (s.GetBall(static_cast<size_t>(s.GetMyBallIndex(rank))).zone != 3) {
                        rule("Nombre de boule (moi) après la boule adverse qui tient>1 dont 1 en Z1, Z2, Z3",
                             p.wso_my_best_after_opp_best_sup_1_and_1_z123);
                        break;
                    }
                }
            } else {
                const AIBallRecord myBest = s.GetBall(1);
                if (!(ZoneIs(myBest.zone, 2, 3) && myBest.angleClass == 2))
                    rule("Nombre de boule (moi) après la boule adverse qui tient=1 sauf en z3- z4-",
                         p.wso_my_best_after_opp_best_1_exept_z34_minus);
            }
        }
    }

    // Winnable: taking the opponent's best ball out would hand me the point
    // with every ball of mine nearer than their second one.
    if (s.GetOpponentBallCount() >= 1 && s.GetMyScore() + s.GetMyHoldingCount() < s.GetTargetScore()) {
        const int32_t second = s.GetOpponentBallIndex(1);
        int32_t n = 0;
        for (uint32_t rank = 0; rank < s.GetMyBallCount(); ++rank)
            if (second < 0 || s.GetMyBallIndex(rank) < second)
                ++n;
        if (s.GetMyScore() + n >= s.GetTargetScore())
            rule("Score, partie gagnable", p.wso_winable_match);
    }

    if (s.GetMyBallsLeft() - s.GetOpponentBallsLeft() >= -p.so_remaining_ball_diff_treshold)
        rule("Ecart nombre de boule en main favorable au tir", p.wso_remaining_ball_diff);

    const int32_t opponentIndex = s.FindBall(s.GetBestOpponentBall());
    if (opponentIndex >= 0) {
        const Ogre::Vector3 front = s.GetBall(static_cast<size_t>(opponentIndex)).position;
        for (uint32_t rank = 0; rank < s.GetMyBallCount(); ++rank) {
            const Ogre::Vector3 mine = s.GetBall(static_cast<size_t>(s.GetMyBallIndex(rank))).position;
            if (!s.IsBehind(front, mine))
                continue;
            const float distance = front.distance(mine);
            if (rank == 0 && distance < p.dist_my_best_ball_behind_opp_best) {
                rule("Ma meilleure boule est \u00e0 moins de 1m derri\u00e8re la meilleure boule adverse",
                     p.wso_my_best_ball_behind_opp_best);
                break;
            }
            if (rank > 0 && distance < p.dist_one_of_my_balls_behind_opp_best) {
                rule("Une boule \u00e0 moi est \u00e0 moins de 20 cm derri\u00e8re la meilleure boule adverse",
                     p.wso_one_of_my_balls_behind_opp_best);
                break;
            }
        }

        if (s.GetMyBallsLeft() > 1 && s.GetOpponentBallsLeft() == 0 &&
            s.GetBall(static_cast<size_t>(opponentIndex)).zone == 0)
            rule("Adversaire n\u2019a plus de boule et j en ai plus d une, meilleure adverse en zone 1 ",
                 p.wso_opponent_no_remaining_balls_but_1_in_z1_and_i_have_more_than_1_ball);
    }
    return score;
}

BaseStrategy CBaseStrategyChoice::GetChosenStrategy() const {
    if (const BaseStrategy* best = GetBest())
        return *best;
    BaseStrategy fallback;
    fallback.ball = mSituation ? mSituation->GetTargetBall() : nullptr;
    fallback.kind = BaseStrategy::KIND_APPROACH;
    fallback.name = "default";
    return fallback;
}
