// The scene camera during a match: a fixed venue camera, a tracking camera
// that follows a node or a scene path while turning toward another, or a free
// camera the user orbits around a look point with the right mouse button.
// Two limit boxes from the venue keep the camera and its look point over the
// ground.
#pragma once

#include <OgreVector3.h>

#include <cstdint>
#include <string>

class CKEMSceneCamera;
class CKEMSceneNode;

class CMatchCamera {
public:
    enum Mode { MODE_NONE = 0, MODE_FREE = 1, MODE_TRACKING = 2 };
    enum TrackKind { TRACK_NONE = 0, TRACK_PATH = 1, TRACK_NODE = 2 };
    // Input actions bound by BindKeys; the free camera orbits on the first.
    enum { ACTION_ORBIT = 20, ACTION_LEFT_BUTTON = 21, ACTION_KEY_R = 22, ACTION_KEY_F = 23, ACTION_KEY_SPACE = 24 };

    struct Track {
        uint8_t running = 0;
        int32_t kind = TRACK_NONE;
        float start = 0.0f;      // s of game time
        float duration = 0.0f;   // s
        float progress = 0.0f;   // 0..1
        int32_t pathPointCount = 0;
        Ogre::Vector3 current = Ogre::Vector3::ZERO;
        Ogre::Vector3 offset = Ogre::Vector3::ZERO;
        CKEMSceneNode* source = nullptr;   // not owned
    };

    CMatchCamera() = default;
    CMatchCamera(const CMatchCamera&) = delete;
    CMatchCamera& operator=(const CMatchCamera&) = delete;

    // Mode none, boxes off, keys bound; "CameraLancer" becomes current.
    void Init();
    // False (nothing changed) when there is no "CameraLancer".
    bool ResetToLaunchCamera();
    // A name no camera bears falls back to "CameraLancer": false.
    bool SwitchToCamera(const std::string& name);
    bool TrackPosition(CKEMSceneNode* source, const Ogre::Vector3& offset, float duration);
    bool TrackLookAt(CKEMSceneNode* source, const Ogre::Vector3& offset, float duration);
    void LookAtNode(CKEMSceneNode* node, float duration) { TrackLookAt(node, Ogre::Vector3::ZERO, duration); }
    // The tracks start moving from now.
    void StartTimers();
    bool StartFreeCamera(const std::string& name, float orbitDistance);
    // Every frame.
    void Update();

    void SetLimitBoxA(const Ogre::Vector3& corner1, const Ogre::Vector3& corner2);
    void SetLimitBoxB(const Ogre::Vector3& corner1, const Ogre::Vector3& corner2);
    void ClampToLimits(Ogre::Vector3& camera, Ogre::Vector3& look) const;
    // Puts the camera `distance` from the target on the reference side, at
    // least 0.5 high and no steeper than 0.9 upward, then within the limits.
    void PlaceAtDistance(Ogre::Vector3& camera, const Ogre::Vector3& target, const Ogre::Vector3& reference,
                         float distance) const;
    static void BindKeys();

    void UpdateFreeCamera();
    void UpdateTracks();
    static void StepTrack(Track& track);

    uint32_t mLastUpdate = 0;
    int32_t mMode = MODE_NONE;
    CKEMSceneCamera* mDefaultCamera = nullptr;
    CKEMSceneCamera* mTrackingCamera = nullptr;
    CKEMSceneCamera* mFreeCamera = nullptr;
    Ogre::Vector3 mLookTarget = Ogre::Vector3::ZERO;
    Ogre::Vector3 mHomeLookPoint = Ogre::Vector3::ZERO;
    uint8_t mBoxASet = 0;
    Ogre::Vector3 mBoxAMin = Ogre::Vector3::ZERO;
    Ogre::Vector3 mBoxAMax = Ogre::Vector3::ZERO;
    uint8_t mBoxBSet = 0;
    Ogre::Vector3 mBoxBMin = Ogre::Vector3::ZERO;
    Ogre::Vector3 mBoxBMax = Ogre::Vector3::ZERO;
    float mMouseRefX = 0.0f;
    float mMouseRefY = 0.0f;
    uint8_t mOrbiting = 0;
    uint8_t mEnabled = 0;
    uint8_t mHold = 0;
    float mOrbitDistance = 0.0f;
    Track mPositionTrack;
    Track mLookAtTrack;

private:
    void MakeCurrent(CKEMSceneCamera* camera);
    static CKEMSceneCamera* FindCamera(const std::string& name);
};
