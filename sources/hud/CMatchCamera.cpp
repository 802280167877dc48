#include "CMatchCamera.h"

#include <CInputMgr.h>
#include <CKEMSceneCamera.h>
#include <CKEMSceneGraph.h>
#include <CKEMSceneNode.h>
#include <CKEMScenePath.h>
#include <HalTimer.h>

#include <algorithm>
#include <cmath>

namespace {

const char* const kLaunchCamera = "CameraLancer";
const int kWorldSpace = 2;
const int kLocalSpace = 0;
const int kScenePathType = 6;
const float kMinCameraHeight = 0.5f;
const float kMaxUpSlope = 0.9f;
// A drag across the whole window moves the camera this far.
const float kOrbitSpan = 24.0f;

Ogre::Vector3 WorldPosition(const CKEMSceneNode* node) {
    Ogre::Vector3 position;
    node->GetPosition(position, kWorldSpace);
    return position;
}

float NowSeconds() { return gTimer.GetTimeMs() / 1000.0f; }

// Keeps the direction's height, rescales its horizontal part to the length
// that leaves it a unit vector.
void SetSlope(Ogre::Vector3& u, float height) {
    Ogre::Vector2 horizontal(u.x, u.z);
    horizontal.normalise();
    horizontal *= std::sqrt(std::max(0.0f, 1.0f - height * height));
    u.x = horizontal.x;
    u.z = horizontal.y;
    u.y = height;
}

}  // namespace

CKEMSceneCamera* CMatchCamera::FindCamera(const std::string& name) {
    return dynamic_cast<CKEMSceneCamera*>(CKEMSceneGraph::FindNode(name));
}

void CMatchCamera::MakeCurrent(CKEMSceneCamera* camera) {
    CKEMSceneGraph::SetCurrentCamera(camera);
    CKEMSceneGraph::SetDebugMode(false);
}

void CMatchCamera::Init() {
    mOrbiting = 0;
    mEnabled = 1;
    mLastUpdate = gTimer.GetTimeMs();
    mMode = MODE_NONE;
    mTrackingCamera = nullptr;
    mFreeCamera = nullptr;
    mBoxASet = 0;
    mBoxBSet = 0;
    BindKeys();
    if (!mDefaultCamera)
        mDefaultCamera = FindCamera(kLaunchCamera);
    if (mDefaultCamera)
        MakeCurrent(mDefaultCamera);
}

bool CMatchCamera::ResetToLaunchCamera() {
    if (!mDefaultCamera)
        mDefaultCamera = FindCamera(kLaunchCamera);
    if (!mDefaultCamera)
        return false;
    mMode = MODE_NONE;
    MakeCurrent(mDefaultCamera);
    return true;
}

bool CMatchCamera::SwitchToCamera(const std::string& name) {
    CKEMSceneCamera* camera = FindCamera(name);
    if (!camera) {
        ResetToLaunchCamera();
        return false;
    }
    mTrackingCamera = camera;
    mPositionTrack = Track();
    mLookAtTrack = Track();
    mMode = MODE_TRACKING;
    MakeCurrent(camera);
    return true;
}

bool CMatchCamera::TrackPosition(CKEMSceneNode* source, const Ogre::Vector3& offset, float duration) {
    if (!source)
        return false;
    Track& track = mPositionTrack;
    if (source->getKEM_NodeType() == kScenePathType) {
        const CKEMScenePath* path = static_cast<const CKEMScenePath*>(source);
        track.kind = TRACK_PATH;
        path->GetPoint(track.current, 0, false);
        track.current += offset;
        track.pathPointCount = path->GetPointCount();
    } else {
        track.kind = TRACK_NODE;
        track.pathPointCount = 0;
        track.current = mTrackingCamera ? WorldPosition(mTrackingCamera) : Ogre::Vector3::ZERO;
    }
    track.offset = offset;
    track.start = 0.0f;
    track.progress = 0.0f;
    track.duration = duration;
    track.source = source;
    return true;
}

bool CMatchCamera::TrackLookAt(CKEMSceneNode* source, const Ogre::Vector3& offset, float duration) {
    if (!source)
        return false;
    Track& track = mLookAtTrack;
    if (source->getKEM_NodeType() == kScenePathType) {
        const CKEMScenePath* path = static_cast<const CKEMScenePath*>(source);
        track.kind = TRACK_PATH;
        path->GetPoint(track.current, 0, false);
        track.current += offset;
        track.pathPointCount = path->GetPointCount();
    } else {
        track.kind = TRACK_NODE;
        track.pathPointCount = 0;
        if (mTrackingCamera) {
            // Straight ahead at the source's distance: the turn starts from
            // where the camera looks now.
            const Ogre::Vector3 camera = WorldPosition(mTrackingCamera);
            const float distance = camera.distance(WorldPosition(source));
            track.current = camera + mTrackingCamera->GetDirection() * distance;
        } else {
            track.current = WorldPosition(source);
        }
    }
    track.offset = offset;
    track.start = 0.0f;
    track.progress = 0.0f;
    track.duration = duration;
    track.source = source;
    return true;
}

void CMatchCamera::StartTimers() {
    const float now = NowSeconds();
    mPositionTrack.start = now;
    mLookAtTrack.start = now;
    mPositionTrack.running = 1;
    mLookAtTrack.running = 1;
}

bool CMatchCamera::StartFreeCamera(const std::string& name, float orbitDistance) {
    CKEMSceneCamera* camera = FindCamera(name);
    if (!camera) {
        ResetToLaunchCamera();
        return false;
    }
    mFreeCamera = camera;
    MakeCurrent(camera);
    mMode = MODE_FREE;
    mLookTarget = mHomeLookPoint;
    mOrbitDistance = orbitDistance;
    return true;
}

void CMatchCamera::Update() {
    if (mHold)
        return;
    if (mMode == MODE_FREE)
        UpdateFreeCamera();
    else if (mMode == MODE_TRACKING)
        UpdateTracks();
    mLastUpdate = gTimer.GetTimeMs();
}

void CMatchCamera::SetLimitBoxA(const Ogre::Vector3& corner1, const Ogre::Vector3& corner2) {
    mBoxAMin = corner1;
    mBoxAMin.makeFloor(corner2);
    mBoxAMax = corner1;
    mBoxAMax.makeCeil(corner2);
    mBoxASet = 1;
}

void CMatchCamera::SetLimitBoxB(const Ogre::Vector3& corner1, const Ogre::Vector3& corner2) {
    mBoxBMin = corner1;
    mBoxBMin.makeFloor(corner2);
    mBoxBMax = corner1;
    mBoxBMax.makeCeil(corner2);
    mBoxBSet = 1;
}

void CMatchCamera::ClampToLimits(Ogre::Vector3& camera, Ogre::Vector3& look) const {
    // Only the ground plane of each box counts; heights have their own floor.
    if (mBoxASet) {
        camera.x = std::clamp(camera.x, mBoxAMin.x, mBoxAMax.x);
        camera.z = std::clamp(camera.z, mBoxAMin.z, mBoxAMax.z);
        camera.y = std::max(camera.y, kMinCameraHeight);
    }
    if (mBoxBSet) {
        look.x = std::clamp(look.x, mBoxBMin.x, mBoxBMax.x);
        look.z = std::clamp(look.z, mBoxBMin.z, mBoxBMax.z);
        look.y = std::max(look.y, 0.0f);
    }
}

void CMatchCamera::PlaceAtDistance(Ogre::Vector3& camera, const Ogre::Vector3& target,
                                   const Ogre::Vector3& reference, float distance) const {
    Ogre::Vector3 u = camera - target;
    u.normalise();
    if (u.x * reference.x + u.z * reference.z < 0.0f) {
        u.x = -u.x;
        u.z = -u.z;
    }
    // A target too deep for any slope would need more than straight up (no
    // unit vector) and lose the horizontal direction: the steepest slope
    // allowed is as high as the camera goes.
    if (distance > 0.0f && target.y + distance * u.y < kMinCameraHeight)
        SetSlope(u, std::min(kMaxUpSlope, (kMinCameraHeight - target.y) / distance));
    if (u.y > kMaxUpSlope)
        SetSlope(u, kMaxUpSlope);
    camera = target + u * distance;
    Ogre::Vector3 look = target;
    ClampToLimits(camera, look);
}

void CMatchCamera::BindKeys() {
    gInputMgr.SetKeyMapping(ACTION_ORBIT, 468);        // right mouse button
    gInputMgr.SetKeyMapping(ACTION_LEFT_BUTTON, 467);  // left mouse button
    gInputMgr.SetKeyMapping(ACTION_KEY_R, 19);
    gInputMgr.SetKeyMapping(ACTION_KEY_F, 33);
    gInputMgr.SetKeyMapping(ACTION_KEY_SPACE, 57);
}

void CMatchCamera::UpdateFreeCamera() {
    if (!mEnabled || !mFreeCamera)
        return;
    const uint16_t orbit = gInputMgr.GetAction(ACTION_ORBIT);
    float mouseX = 0.0f;
    float mouseY = 0.0f;
    gInputMgr.GetMousePosition(mouseX, mouseY);
    if (CInputMgr::IsPressed(orbit)) {
        mMouseRefX = mouseX;
        mMouseRefY = mouseY;
        mOrbiting = 1;
    } else if (CInputMgr::IsReleased(orbit)) {
        mOrbiting = 0;
    }
    if (!mOrbiting || !(orbit & KEM_INPUT_LEVEL))
        return;

    const Ogre::Vector3 start = WorldPosition(mFreeCamera);
    const float distance = mOrbitDistance > 0.0f ? mOrbitDistance : start.distance(mLookTarget);
    const Ogre::Vector3 reference = (start - mLookTarget).normalisedCopy();
    mFreeCamera->translate(
        Ogre::Vector3(kOrbitSpan * (mMouseRefX - mouseX), kOrbitSpan * (mouseY - mMouseRefY), 0.0f), kLocalSpace);
    Ogre::Vector3 camera = WorldPosition(mFreeCamera);
    PlaceAtDistance(camera, mLookTarget, reference, distance);
    mFreeCamera->setPosition(camera, true);
    mFreeCamera->LookAt(mLookTarget);
    mMouseRefX = mouseX;
    mMouseRefY = mouseY;
}

void CMatchCamera::StepTrack(Track& track) {
    if (!track.running || !track.source)
        return;
    const float now = NowSeconds();
    if (track.kind == TRACK_NODE) {
        const Ogre::Vector3 target = WorldPosition(track.source) + track.offset;
        if (track.duration <= 0.0f) {
            track.current = target;
            return;
        }
        const float tau = (now - track.start) / track.duration;
        if (tau >= 1.0f) {
            track.progress = 1.0f;
            track.current = target;
            track.running = 0;
        } else if (tau > 0.0f) {
            // The share of what is left: a moving target is still met at the end.
            const float step = (tau - track.progress) / (1.0f - track.progress);
            track.current += (target - track.current) * step;
            track.progress = tau;
        }
    } else if (track.kind == TRACK_PATH) {
        float tau = track.duration > 0.0f ? (now - track.start) / track.duration : 1.0f;
        tau = std::max(tau, 0.0f);
        if (tau >= 1.0f) {
            tau = 1.0f;
            track.running = 0;
        }
        const CKEMScenePath* path = static_cast<const CKEMScenePath*>(track.source);
        const int points = track.pathPointCount;
        const unsigned total = static_cast<unsigned>(std::max(points, 0)) * 1000u;
        const unsigned at = static_cast<unsigned>((points * 1000.0f - 1000.0f) * tau);
        Ogre::Vector3 point = Ogre::Vector3::ZERO;
        if (points > 0)
            path->GetPositionAt(total, at, point);
        track.current = point + WorldPosition(path) + track.offset;
    }
}

void CMatchCamera::UpdateTracks() {
    if (mMode != MODE_TRACKING)
        return;
    if (mPositionTrack.running)
        StepTrack(mPositionTrack);
    if (mLookAtTrack.running)
        StepTrack(mLookAtTrack);
    if (!mTrackingCamera)
        return;
    if (mPositionTrack.kind != TRACK_NONE)
        mTrackingCamera->setPosition(mPositionTrack.current, true);
    if (mLookAtTrack.kind != TRACK_NONE)
        mTrackingCamera->LookAt(mLookAtTrack.current);
}
