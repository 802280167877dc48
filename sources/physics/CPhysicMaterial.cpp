#include "CPhysicMaterial.h"

#include "CPhysicMgr.h"

#include <COdeMaterial.h>
#include <COdeWorld.h>
#include <Platform.h>

#include <cmath>

CPhysicMaterial::CPhysicMaterial(const std::string& id, float friction1, float friction2, float velThreshold,
                                 float slip1, float slip2, float bounce, float bounceVel, float softCfm, float softErp)
    : mId(id), mFriction1(friction1), mFriction2(friction2), mVelThreshold(velThreshold), mSlip1(slip1),
      mSlip2(slip2), mBounce(bounce), mBounceVel(bounceVel), mSoftCfm(softCfm), mSoftErp(softErp)
{
    COdeWorld* world = gPhysicMgr.GetWorld();
    if (!mId.empty() && !gPhysicMgr.FindMaterial(mId) && COdeWorld::IsLive(world)) {
        mRecord = world->AddMaterial(GetDesc(), mId);
        mRecordWorld = world;
    }
    RegisterVar(mIdVar, "CPHYSICMATERIAL_MATERIAL_ID", &mId);
    RegisterVar(mFriction1Var, "CPHYSICMATERIAL_FRICTION1", &mFriction1);
    RegisterVar(mFriction2Var, "CPHYSICMATERIAL_FRICTION2", &mFriction2);
    RegisterVar(mVelThresholdVar, "CPHYSICMATERIAL_VEL_TRESHOLD", &mVelThreshold);
    RegisterVar(mSlip1Var, "CPHYSICMATERIAL_SLIP1", &mSlip1);
    RegisterVar(mSlip2Var, "CPHYSICMATERIAL_SLIP2", &mSlip2);
    RegisterVar(mBounceVar, "CPHYSICMATERIAL_BOUNCE", &mBounce);
    RegisterVar(mBounceVelVar, "CPHYSICMATERIAL_BOUNCEVEL", &mBounceVel);
    RegisterVar(mSoftCfmVar, "CPHYSICMATERIAL_SOFT_CFM", &mSoftCfm);
    RegisterVar(mSoftErpVar, "CPHYSICMATERIAL_SOFT_ERP", &mSoftErp);
}

CPhysicMaterial::~CPhysicMaterial()
{
    // The world owns its records; once it is gone it has freed this one.
    if (COdeMaterial* record = LiveRecord())
        mRecordWorld->RemoveMaterial(record);
    mRecord = nullptr;
    mRecordWorld = nullptr;
}

COdeMaterial* CPhysicMaterial::LiveRecord() const
{
    return (mRecord && COdeWorld::IsLive(mRecordWorld)) ? mRecord : nullptr;
}

MaterialDesc CPhysicMaterial::GetDesc() const
{
    return MaterialDesc(mFriction1, mFriction2, mVelThreshold, mSlip1, mSlip2, mBounce, mBounceVel, mSoftCfm,
                        mSoftErp);
}

COdeMaterial* CPhysicMaterial::SetMaterialId(const std::string& id)
{
    if (id.empty())
        return nullptr;
    mId = id;
    if (COdeMaterial* record = LiveRecord()) {
        // Updated in place: geoms built on this record keep a valid pointer.
        mRecord = mRecordWorld->UpdateMaterial(record, GetDesc(), mId);
        return mRecord;
    }
    mRecord = nullptr;
    mRecordWorld = nullptr;
    COdeWorld* world = gPhysicMgr.GetWorld();
    if (!COdeWorld::IsLive(world)) {
        PlatLog("[physics] material \"%s\": no physics world to register it in", mId.c_str());
        return nullptr;
    }
    mRecord = world->AddMaterial(GetDesc(), mId);
    mRecordWorld = world;
    return mRecord;
}

#define KEM_MATERIAL_SETTER(Name, member, field)        \
    void CPhysicMaterial::Name(float value)             \
    {                                                   \
        member = value;                                 \
        if (COdeMaterial* record = LiveRecord())        \
            record->field = value;                      \
    }

KEM_MATERIAL_SETTER(SetFriction1, mFriction1, friction1)
KEM_MATERIAL_SETTER(SetFriction2, mFriction2, friction2)
KEM_MATERIAL_SETTER(SetVelThreshold, mVelThreshold, velThreshold)
KEM_MATERIAL_SETTER(SetSlip1, mSlip1, slip1)
KEM_MATERIAL_SETTER(SetSlip2, mSlip2, slip2)
KEM_MATERIAL_SETTER(SetBounce, mBounce, bounce)
KEM_MATERIAL_SETTER(SetBounceVel, mBounceVel, bounceVel)
KEM_MATERIAL_SETTER(SetSoftCfm, mSoftCfm, softCfm)
KEM_MATERIAL_SETTER(SetSoftErp, mSoftErp, softErp)

#undef KEM_MATERIAL_SETTER

void CPhysicMaterial::applyAll()
{
    SetMaterialId(mId);
    SetFriction1(mFriction1);
    SetFriction2(mFriction2);
    SetVelThreshold(mVelThreshold);
    SetSlip1(mSlip1);
    SetSlip2(mSlip2);
    SetBounce(mBounce);
    SetBounceVel(mBounceVel);
    SetSoftCfm(mSoftCfm);
    SetSoftErp(mSoftErp);
}

void CPhysicMaterial::RefuseUnusableValues(const MaterialDesc& fallback)
{
    const struct {
        const char* name;
        float* value;
        float fallback;
        float high;
    } values[] = {
        {"friction 1", &mFriction1, fallback.friction1, 1e30f},
        {"friction 2", &mFriction2, fallback.friction2, 1e30f},
        {"velocity threshold", &mVelThreshold, fallback.velThreshold, 1e30f},
        {"slip 1", &mSlip1, fallback.slip1, 1e30f},
        {"slip 2", &mSlip2, fallback.slip2, 1e30f},
        {"bounce", &mBounce, fallback.bounce, 1.0f},
        {"bounce velocity", &mBounceVel, fallback.bounceVel, 1e30f},
        {"soft CFM", &mSoftCfm, fallback.softCfm, 1.0f},
        {"soft ERP", &mSoftErp, fallback.softErp, 1.0f},
    };
    for (const auto& v : values) {
        if (std::isfinite(*v.value) && *v.value >= 0.0f && *v.value <= v.high)
            continue;
        PlatLog("[physics] material \"%s\": %s %g refused; %g used", mId.c_str(), v.name,
                static_cast<double>(*v.value), static_cast<double>(v.fallback));
        *v.value = v.fallback;
    }
}
