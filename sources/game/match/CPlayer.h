// One player of a team: a game element over the player's model, with a role,
// a pointing and a shooting profile of throw characteristics, the balls in
// hand and the fatigue and stress counters that grow during a match. Its
// operations turn the profiles into what the throw, the gauges and the
// computer opponent use.
#pragma once

#include "CGameElement.h"

#include <OgreVector.h>

#include <cstdint>
#include <string>

struct ThrowProfile;

class CPlayer : public CGameElement {
public:
    enum { ROLE_MIDDLE = 0, ROLE_SHOOTER = 1, ROLE_POINTER = 2 };
    enum { THROW_SHOOTING = 0, THROW_POINTING = 1 };
    enum { PART_CLOTHES = 0, PART_SHOES = 1, PART_SKIN = 2 };

    explicit CPlayer(const std::string& name);

    std::string GetName() const { return mName; }

    // "FG", "FP", "HJ", "HM", "HF", "HA" for 0 to 5; "" for any other code.
    static const char* GetBodyCode(int32_t body);
    // "CN", "CS", "AS", "AF" for 0 to 3; "" for any other code.
    static const char* GetSkinCode(int32_t skin);
    // "clothes", "shoes", "skin" for 0 to 2; "" for any other part.
    static const char* GetPartWord(int32_t part);

    // "%s_%s_%02d.mesh" of body text, skin text and number.
    static std::string GetMeshName(int32_t body, int32_t skin, int32_t number);
    std::string GetMeshName() const { return GetMeshName(mBodyCode, mSkinCode, mModelNumber); }
    // "%s_%s_%02d/mat_%s" of body text, skin text, number and the part word.
    std::string GetMaterialName(int32_t part) const;
    // prefix + "_" + the language's "STRING_ID" + "/woman_Clothes" (body
    // codes 0 and 1) or "/man_Clothes".
    std::string GetClothesMaterialName(const std::string& prefix) const;

    // Every sub-entity of the model whose material name contains the part
    // word gets that part's material. Nothing without a model.
    void ApplySkin(int32_t part);
    // The same for "clothes" with GetClothesMaterialName(prefix).
    void ApplyClothes(const std::string& prefix);
    // The same with a material named whole (a side's away shirt).
    void ApplyClothesMaterial(const std::string& material);
    // Turns the model's -Z toward the point.
    void LookAt(const Ogre::Vector3& point);
    // The world point where the ball leaves the hand for a throw kind.
    Ogre::Vector3 GetReleasePoint(int32_t kind) const;

    // The profile of a throw kind: shooting for 0, pointing for any other.
    const ThrowProfile* GetProfile(int32_t kind) const;

    // Speed after the fatigue penalty and, for a shooting throw at the
    // highest angle, the jumped-shot penalty.
    float ApplyFatigueMalus(int32_t kind, float speed, float angle) const;
    float GetSpeed0(int32_t kind, float angle) const;
    float GetSpeed1(int32_t kind, float angle) const;
    // The raw profile speeds; flag 0 shooting, any other pointing.
    float GetProfileSpeed0(int32_t flag) const;
    float GetProfileSpeed1(int32_t flag) const;
    float GetProfileSpeed2(int32_t flag) const;
    float GetProfileSpeed3(int32_t flag) const;

    int32_t GetBalanceWithStress(int32_t kind) const;
    int32_t GetEffectsWithMalus(int32_t kind) const;

    // Power zones of a speed against the profile speeds after fatigue.
    enum { ZONE_GREEN = 0, ZONE_YELLOW = 1, ZONE_ORANGE = 2, ZONE_RED = 3 };
    int32_t GetSpeedZone(int32_t kind, float speed, float angle) const;
    float GetBalanceMalusForSpeed(int32_t kind, float speed, float angle) const;
    float GetGaugeTimeForSpeed(int32_t kind, float speed, float angle) const;

    // How well this player reaches `distance` with a throw kind (higher is
    // better for the choice of the thrower).
    int32_t GetThrowRating(float distance, int32_t kind) const;

    std::string mName;
    int32_t mBallsLeft = 3;
    int32_t mBodyCode = 2;
    int32_t mSkinCode = 0;
    int32_t mModelNumber = 1;
    int32_t mRole = ROLE_MIDDLE;
    int32_t mThrowMode = THROW_POINTING;   // the kind of the throw in progress
    int32_t mFatigue = 0;
    int32_t mStress = 0;
    const ThrowProfile* mShootingProfile = nullptr;   // owned by the characteristics table
    const ThrowProfile* mPointingProfile = nullptr;
    int32_t mLoaderValue = 0;   // filled by the player table
};
