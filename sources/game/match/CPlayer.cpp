#include "CPlayer.h"

#include "CLangDB.h"
#include "CaracDB.h"
#include "GameDifficulty.h"

#include <CConfigFileMap.h>
#include <CKEMSceneGraphicHandle.h>
#include <CKEMSceneNode.h>
#include <CKEMSceneObject.h>
#include <CPhysicMgr.h>
#include <TuningParameters.h>

#include <OgreEntity.h>
#include <OgreMath.h>

#include <cstdio>

namespace {

// A player without a profile (a key the characteristics table lacks) reads
// zeros instead of following a null pointer.
const ThrowProfile kEmptyProfile;

// Every sub-entity of the player's model whose material name contains `word`
// gets `material`.
void SetMaterialsContaining(CKEMSceneNode* node, const char* word, const std::string& material)
{
    auto* object = dynamic_cast<CKEMSceneObject*>(node);
    CKEMSceneEntityHandle* handle = object ? object->GetObjectEntityHandle() : nullptr;
    Ogre::Entity* entity = handle ? handle->GetEntity() : nullptr;
    if (!entity)
        return;
    const unsigned count = static_cast<unsigned>(entity->getNumSubEntities());
    for (unsigned i = 0; i < count; ++i) {
        std::string current;
        if (handle->GetMaterial(i, current) && current.find(word) != std::string::npos)
            handle->SetMaterial(i, material);
    }
}

}  // namespace

CPlayer::CPlayer(const std::string& name) : mName(name) {}

const char* CPlayer::GetBodyCode(int32_t body)
{
    static const char* const codes[] = {"FG", "FP", "HJ", "HM", "HF", "HA"};
    return (body >= 0 && body < 6) ? codes[body] : "";
}

const char* CPlayer::GetSkinCode(int32_t skin)
{
    static const char* const codes[] = {"CN", "CS", "AS", "AF"};
    return (skin >= 0 && skin < 4) ? codes[skin] : "";
}

const char* CPlayer::GetPartWord(int32_t part)
{
    static const char* const words[] = {"clothes", "shoes", "skin"};
    return (part >= 0 && part < 3) ? words[part] : "";
}

std::string CPlayer::GetMeshName(int32_t body, int32_t skin, int32_t number)
{
    char text[64];
    std::snprintf(text, sizeof(text), "%s_%s_%02d.mesh", GetBodyCode(body), GetSkinCode(skin), number);
    return text;
}

std::string CPlayer::GetMaterialName(int32_t part) const
{
    char text[96];
    std::snprintf(text, sizeof(text), "%s_%s_%02d/mat_%s", GetBodyCode(mBodyCode), GetSkinCode(mSkinCode),
                  mModelNumber, GetPartWord(part));
    return text;
}

std::string CPlayer::GetClothesMaterialName(const std::string& prefix) const
{
    const bool woman = mBodyCode == 0 || mBodyCode == 1;
    return prefix + "_" + GetText("STRING_ID") + (woman ? "/woman_Clothes" : "/man_Clothes");
}

void CPlayer::ApplySkin(int32_t part)
{
    SetMaterialsContaining(mNode, GetPartWord(part), GetMaterialName(part));
}

void CPlayer::ApplyClothes(const std::string& prefix)
{
    SetMaterialsContaining(mNode, "clothes", GetClothesMaterialName(prefix));
}

void CPlayer::ApplyClothesMaterial(const std::string& material)
{
    SetMaterialsContaining(mNode, "clothes", material);
}

void CPlayer::LookAt(const Ogre::Vector3& point)
{
    if (mNode)
        mNode->LookAt(point);
}

Ogre::Vector3 CPlayer::GetReleasePoint(int32_t kind) const
{
    const Ogre::Vector3 offset = kind == THROW_POINTING
        ? Ogre::Vector3(DECALAGE_BOULE_DROITE_MOYEN_POINTE, 0.02f, -DECALAGE_BOULE_DEVANT_MOYEN_POINTE)
        : Ogre::Vector3(DECALAGE_BOULE_DROITE_MOYEN_TIR, 0.02f, -DECALAGE_BOULE_DEVANT_MOYEN_TIR);
    Ogre::Vector3 position = Ogre::Vector3::ZERO;
    Ogre::Quaternion orientation = Ogre::Quaternion::IDENTITY;
    if (mNode) {
        mNode->GetPosition(position, CKEMSceneGraphicHandle::SPACE_WORLD);
        mNode->GetOrientation(orientation, CKEMSceneGraphicHandle::SPACE_WORLD);
    }
    return position + orientation * offset;
}

const ThrowProfile* CPlayer::GetProfile(int32_t kind) const
{
    const ThrowProfile* profile = kind == THROW_SHOOTING ? mShootingProfile : mPointingProfile;
    return profile ? profile : &kEmptyProfile;
}

float CPlayer::ApplyFatigueMalus(int32_t kind, float speed, float angle) const
{
    if (GetProfile(kind)->mPhysique - mFatigue < SEUIL_PHYSIQUE_FATIGUE)
        speed = speed * (MALUS_PUISSANCE_FATIGUE + 1.0f);
    if (kind == THROW_SHOOTING && angle == static_cast<float>(ANGLE_MAX_TIR))
        speed = speed + MALUS_PUISSANCE_TIR_SAUTE;
    return speed;
}

float CPlayer::GetSpeed0(int32_t kind, float angle) const
{
    return ApplyFatigueMalus(kind, GetProfile(kind)->mSpeed0, angle);
}

float CPlayer::GetSpeed1(int32_t kind, float angle) const
{
    return ApplyFatigueMalus(kind, GetProfile(kind)->mSpeed1, angle);
}

float CPlayer::GetProfileSpeed0(int32_t flag) const { return GetProfile(flag ? 1 : 0)->mSpeed0; }
float CPlayer::GetProfileSpeed1(int32_t flag) const { return GetProfile(flag ? 1 : 0)->mSpeed1; }
float CPlayer::GetProfileSpeed2(int32_t flag) const { return GetProfile(flag ? 1 : 0)->mSpeed2; }
float CPlayer::GetProfileSpeed3(int32_t flag) const { return GetProfile(flag ? 1 : 0)->mSpeed3; }

int32_t CPlayer::GetBalanceWithStress(int32_t kind) const
{
    const ThrowProfile* profile = GetProfile(kind);
    int32_t balance = profile->mBalance;
    if (profile->mMental - mStress < SEUIL_MENTAL_STRESS)
        balance += MALUS_EQUILIBRE_STRESS;
    return balance;
}

int32_t CPlayer::GetEffectsWithMalus(int32_t kind) const
{
    const ThrowProfile* profile = GetProfile(kind);
    const int32_t v = profile->mPhysique - mFatigue - mStress + profile->mMental;
    int32_t effects = profile->mEffects;
    if (v < SEUIL1_PHUYSIQUE_MENTAL_MALUS_EFFETS)
        effects += MALUS_EFFECTS_FATIGUE_ET_STRESS1;
    if (v < SEUIL2_PHUYSIQUE_MENTAL_MALUS_EFFETS)
        effects += MALUS_EFFECTS_FATIGUE_ET_STRESS2;
    return effects;
}

int32_t CPlayer::GetSpeedZone(int32_t kind, float speed, float angle) const
{
    const ThrowProfile* profile = GetProfile(kind);
    const float s0 = ApplyFatigueMalus(kind, profile->mSpeed0, angle);
    const float s1 = ApplyFatigueMalus(kind, profile->mSpeed1, angle);
    const float s2 = ApplyFatigueMalus(kind, profile->mSpeed2, angle);
    const float s3 = ApplyFatigueMalus(kind, profile->mSpeed3, angle);
    if (speed > s3)
        return ZONE_RED;
    if (speed > s2)
        return ZONE_ORANGE;
    if (speed > s1)
        return ZONE_YELLOW;
    if (speed >= s0)
        return ZONE_GREEN;
    return ZONE_YELLOW;   // too weak
}

float CPlayer::GetBalanceMalusForSpeed(int32_t kind, float speed, float angle) const
{
    int32_t malus = 0;
    switch (GetSpeedZone(kind, speed, angle)) {
    case ZONE_RED: malus = MALUS_EQUILIBRE_ROUGE; break;
    case ZONE_ORANGE: malus = MALUS_EQUILIBRE_ORANGE; break;
    case ZONE_YELLOW: malus = MALUS_EQUILIBRE_JAUNE; break;
    default: break;
    }
    return static_cast<float>(GetBalanceWithStress(kind) + malus);
}

float CPlayer::GetGaugeTimeForSpeed(int32_t kind, float speed, float angle) const
{
    const int level = g_CurrentDifficulty;
    switch (GetSpeedZone(kind, speed, angle)) {
    case ZONE_RED:
        return SelectByDifficulty(level, TEMPS_JAUGE_EQUILIBRE_ROUGE_FACILE, TEMPS_JAUGE_EQUILIBRE_ROUGE_MOYEN,
                                  TEMPS_JAUGE_EQUILIBRE_ROUGE_DIFFICILE);
    case ZONE_ORANGE:
        return SelectByDifficulty(level, TEMPS_JAUGE_EQUILIBRE_ORANGE_FACILE, TEMPS_JAUGE_EQUILIBRE_ORANGE_MOYEN,
                                  TEMPS_JAUGE_EQUILIBRE_ORANGE_DIFFICILE);
    case ZONE_YELLOW:
        return SelectByDifficulty(level, TEMPS_JAUGE_EQUILIBRE_JAUNE_FACILE, TEMPS_JAUGE_EQUILIBRE_JAUNE_MOYEN,
                                  TEMPS_JAUGE_EQUILIBRE_JAUNE_DIFFICILE);
    default:
        return SelectByDifficulty(level, TEMPS_JAUGE_EQUILIBRE_VERT_FACILE, TEMPS_JAUGE_EQUILIBRE_VERT_MOYEN,
                                  TEMPS_JAUGE_EQUILIBRE_VERT_DIFFICILE);
    }
}

int32_t CPlayer::GetThrowRating(float distance, int32_t kind) const
{
    const float g = gPhysicMgr.GetGravity().length();
    float speed = 0.0f;
    float bonus = 0.0f;
    if (kind == THROW_SHOOTING) {
        speed = ComputeLaunchSpeed(distance, ANGLE_TIR_MOYEN * Ogre::Math::fDeg2Rad,
                                   -HAUTEUR_BOULE_INITIALE_MOYENNE_TIR, g);
        if (mRole == ROLE_SHOOTER)
            bonus = 5.0f;
    } else if (kind == THROW_POINTING) {
        speed = ComputeLaunchSpeed(distance - ROULAGE_MOYEN, ANGLE_POINTE_MOYEN * Ogre::Math::fDeg2Rad,
                                   -HAUTEUR_BOULE_INITIALE_MOYENNE_POINTE, g);
        if (mRole == ROLE_POINTER)
            bonus = 5.0f;
    }
    return static_cast<int32_t>(GetBalanceMalusForSpeed(kind, speed, -1.0f) + bonus);
}
