// A named set of surface values read from a scene file. A material with an id
// owns one record in the world's material registry; geoms point to that
// record and contacts mix the two geoms' records.
#pragma once

#include <CKEMVar.h>
#include <PhysicDesc.h>

#include <string>

class COdeWorld;
struct COdeMaterial;

class CPhysicMaterial : public CKEMVarList {
public:
    // With a non-empty id that no listed material uses, registers a record in
    // the physics manager's world at once.
    CPhysicMaterial(const std::string& id, float friction1, float friction2, float velThreshold, float slip1,
                    float slip2, float bounce, float bounceVel, float softCfm, float softErp);
    // The world's record goes with the material (while the world exists).
    ~CPhysicMaterial() override;

    std::string GetMaterialId() const { return mId; }
    // An empty id changes nothing and returns null. Otherwise the record is
    // registered under the id, or, when one exists, updated in place so that
    // geoms built earlier keep a valid record with the new values.
    COdeMaterial* SetMaterialId(const std::string& id);
    COdeMaterial* GetRecord() const { return mRecord; }

    // Each stores its value and writes it into the record, when there is one.
    void SetFriction1(float value);
    void SetFriction2(float value);
    void SetVelThreshold(float value);
    void SetSlip1(float value);
    void SetSlip2(float value);
    void SetBounce(float value);
    void SetBounceVel(float value);
    void SetSoftCfm(float value);
    void SetSoftErp(float value);

    // Re-applies the id and the nine values (after the variables were read).
    void applyAll();
    // Values read from a scene file that contacts cannot use (not finite,
    // negative, a bounce beyond 1) are logged and replaced by `fallback`'s.
    void RefuseUnusableValues(const MaterialDesc& fallback);

    // Reaching 0 deletes nothing: the physics manager owns materials.
    void AddRef() { ++mRefCount; }
    void Release() { --mRefCount; }
    int GetRefCount() const { return mRefCount; }

    MaterialDesc GetDesc() const;

private:
    // The record, when it belongs to a world that still exists.
    COdeMaterial* LiveRecord() const;

    int mRefCount = 0;
    COdeMaterial* mRecord = nullptr;
    COdeWorld* mRecordWorld = nullptr;
    std::string mId;
    float mFriction1;
    float mFriction2;
    float mVelThreshold;
    float mSlip1;
    float mSlip2;
    float mBounce;
    float mBounceVel;
    float mSoftCfm;
    float mSoftErp;

    CKEMVarStringRef mIdVar;
    CKEMVarFloat mFriction1Var;
    CKEMVarFloat mFriction2Var;
    CKEMVarFloat mVelThresholdVar;
    CKEMVarFloat mSlip1Var;
    CKEMVarFloat mSlip2Var;
    CKEMVarFloat mBounceVar;
    CKEMVarFloat mBounceVelVar;
    CKEMVarFloat mSoftCfmVar;
    CKEMVarFloat mSoftErpVar;
};
