// The match camera's states, the free camera and drag aiming of the mouse,
// and the debug keys.
#include "CGameMaster.h"

#include "CAimGuide.h"
#include "CBall.h"
#include "CGameElement.h"
#include "CPlayer.h"
#include "LaunchSet.h"
#include "MatchState.h"
#include "Terrain.h"

#include <CInputMgr.h>
#include <CKEMSceneCamera.h>
#include <CKEMSceneGraph.h>
#include <CMatchCamera.h>
#include <CNetMgr.h>
#include <CPhysicObject.h>
#include <DInput.h>
#include <HalTimer.h>
#include <Platform.h>

#include <CEGUI/InputEvent.h>
#include <CEGUI/System.h>
#include <CEGUI/GUIContext.h>
#include <CEGUI/Window.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

const char* const SCENE_CAMERAS[7] = {"CameraIntro",    "CameraLancer",   "CameraFinLancer", "CameraSuiviLancer",
                                      "CameraIntro_02", "CameraSponsors", "CamRALENTI"};
enum { CAM_INTRO, CAM_LAUNCH, CAM_END, CAM_FOLLOW, CAM_INTRO2, CAM_SPONSORS, CAM_SLOW };

const char* StateName(int32_t state)
{
    static const char* const names[] = {"CAMERA NONE",          "CAMERA INIT", "CAMERA ZOOM",
                                        "CAMERA FOLLOWING",     "CAMERA INTERPOLATING", "CAMERA FREE",
                                        "CAMERA REPLAYT",       "CAMERA END"};
    return state >= 0 && state <= 7 ? names[state] : "CAMERA ?";
}

Ogre::Vector3 WorldPosition(const CKEMSceneNode* node)
{
    Ogre::Vector3 p = Ogre::Vector3::ZERO;
    if (node)
        node->GetPosition(p, 2);
    return p;
}

// The throw view stands beside the thrower far enough that the line of
// sight to the aim point passes this far from the thrower's middle (half a
// body's width and a margin), so the thrower never stands over what it
// aims at.
const float kLaunchClearance = 0.6f;
const float kLaunchMaxAside = 2.0f;

// The result view holds the balls within this of the target ball (the
// thrown ball always), looking down at this pitch, from at most this far.
const float kResultNeighbourhood = 3.0f;
const float kResultPitch = 0.87f;   // radians, about 50 degrees
const float kResultMinDistance = 2.0f, kResultMaxDistance = 18.0f;
// Room kept above the target ball for its pointer.
const float kPointerClearance = 0.3f;
// The last move to the result view, once every ball is at rest.
const float kResultSettleSeconds = 0.5f;
// Where the balls may lie in the picture, in device coordinates: clear of
// the score bar at the top, the result frame and the panels at the bottom,
// and a ball's width from the sides.
const float kResultLeft = -0.8f, kResultRight = 0.8f, kResultBottom = -0.45f, kResultTop = 0.72f;

// The markers' size per metre of distance from the view (about 8 by 22
// pixels for the target ball's pointer, 6 by 16 for a best ball's at the
// game's 640 x 480), and at least this.
const float kPointerWidth = 0.014f, kPointerHeight = 0.038f;
const float kBestMarkerWidth = 0.0105f, kBestMarkerHeight = 0.028f;
const float kMarkerMinWidth = 0.03f, kMarkerMinHeight = 0.08f;

// Debug key scan codes.
enum {
    KEY_1 = 0x02, KEY_0 = 0x0B, KEY_O = 0x18, KEY_LCONTROL = 0x1D,
    KEY_PAD8 = 0x48, KEY_PAD4 = 0x4B, KEY_PAD6 = 0x4D, KEY_PAD2 = 0x50,
};

}  // namespace

void CGameMaster::CreateCameras()
{
    if (mCamera)
        mCamera->Init();
    for (int i = 0; i < 7; ++i)
        mSceneCameras[i] = CKEMSceneGraph::FindNode(SCENE_CAMERAS[i]);
    mCameraSpeed1 = 3.0f;
    mCameraSpeed2 = 1.0f;
    mCameraState = CAMERA_NONE;
    mCameraMove = mRightDrag = mLeftDrag = mInputCaptured = false;
}

CKEMSceneNode* CGameMaster::GetCameraFocusNode() const
{
    return mTargetBall ? mTargetBall->GetNode() : nullptr;
}

Ogre::Vector3 CGameMaster::GetCameraFocus() const
{
    return WorldPosition(GetCameraFocusNode());
}

Ogre::Vector3 CGameMaster::LaunchCameraPlace(const Ogre::Vector3& player, const Ogre::Vector3& aim, float zoom,
                                             float height, float minX, float maxX)
{
    Ogre::Vector3 view = aim - player;
    view.y = 0.0f;
    const float reach = view.length();
    if (!(reach > 0.01f))
        view = Ogre::Vector3::NEGATIVE_UNIT_Z;
    else
        view /= reach;
    const float back = kLaunchCameraBack - zoom;
    const Ogre::Vector3 base = player - view * back + Ogre::Vector3(0.0f, height, 0.0f);
    // A camera in front of the thrower has nothing between it and the aim.
    if (!(back > 0.0f) || !(reach > 0.01f))
        return Ogre::Vector3(std::min(std::max(base.x, minX), maxX), base.y, base.z);
    // The sight line crosses the thrower's place at aside * reach / (reach + back).
    const float aside = std::min(kLaunchMaxAside, kLaunchClearance * (reach + back) / reach);
    const Ogre::Vector3 right(-view.z, 0.0f, view.x);
    Ogre::Vector3 place = base + right * aside;
    if (place.x < minX || place.x > maxX) {
        const Ogre::Vector3 left = base - right * aside;
        if (left.x >= minX && left.x <= maxX)
            place = left;
    }
    place.x = std::min(std::max(place.x, minX), maxX);
    return place;
}

void CGameMaster::FrameStill(const std::vector<Ogre::Vector3>& points, const Ogre::Vector3& from)
{
    CKEMSceneNode* camera = mSceneCameras[CAM_END];
    if (!mCamera || !camera || points.empty())
        return;
    Ogre::Vector3 low = points[0], high = points[0];
    for (const Ogre::Vector3& p : points) {
        low.makeFloor(p);
        high.makeCeil(p);
    }
    Ogre::Vector3 centre = (low + high) * 0.5f;
    centre.y = 0.0f;
    // At least a metre around the centre: a ring or a ball alone still
    // shows the ground around it.
    const float radius = std::max(1.0f, (high - low).length() * 0.5f + 0.4f);
    // A 45 degree view holds a circle of `radius` from 2.6 radii; from 4
    // there is room left for the result frame over the bottom third.
    const float distance = radius * 4.0f;
    Ogre::Vector3 view = centre - from;
    view.y = 0.0f;
    if (view.isZeroLength())
        view = Ogre::Vector3::NEGATIVE_UNIT_Z;
    view.normalise();
    // Looking down at 50 degrees, from the thrower's side.
    Ogre::Vector3 place = centre - view * (distance * 0.64f) + Ogre::Vector3(0.0f, distance * 0.77f, 0.0f);
    // Looking at a point before the centre raises the whole picture above
    // the result frame.
    Ogre::Vector3 look = centre - view * (distance * 0.14f);
    mCamera->ClampToLimits(place, look);
    SetNodeWorldPosition(camera, place);
    camera->LookAt(look);
    mCamera->SwitchToCamera(SCENE_CAMERAS[CAM_END]);
    mCameraState = CAMERA_END;
}

bool CGameMaster::FrameResultView(const std::vector<Ogre::Vector3>& points, const Ogre::Vector3& from, float fovY,
                                  float aspect, Ogre::Vector3& place, Ogre::Vector3& look)
{
    if (points.empty() || !(fovY > 0.0f) || !(aspect > 0.0f))
        return false;
    Ogre::Vector3 low = points[0], high = points[0];
    for (const Ogre::Vector3& p : points) {
        low.makeFloor(p);
        high.makeCeil(p);
    }
    const Ogre::Vector3 centre = (low + high) * 0.5f;
    Ogre::Vector3 ahead = centre - from;
    ahead.y = 0.0f;
    if (ahead.squaredLength() < 1e-4f)
        ahead = Ogre::Vector3::NEGATIVE_UNIT_Z;
    ahead.normalise();
    const Ogre::Vector3 forward = ahead * std::cos(kResultPitch) - Ogre::Vector3::UNIT_Y * std::sin(kResultPitch);
    const Ogre::Vector3 right = forward.crossProduct(Ogre::Vector3::UNIT_Y).normalisedCopy();
    const Ogre::Vector3 up = right.crossProduct(forward);
    const float tanY = std::tan(fovY * 0.5f), tanX = tanY * aspect;
    // The picture's middle band, where the points are brought.
    const float wantedMiddle = (kResultBottom + kResultTop) * 0.5f;
    for (float distance = kResultMinDistance; distance <= kResultMaxDistance; distance += 0.25f) {
        Ogre::Vector3 eye = centre - forward * distance;
        // Lower the look point so that the points stand in the middle band,
        // above the result frame.
        float lowY = 1e9f, highY = -1e9f;
        for (const Ogre::Vector3& p : points) {
            const Ogre::Vector3 v = p - eye;
            const float depth = v.dotProduct(forward);
            if (depth > 0.1f) {
                lowY = std::min(lowY, v.dotProduct(up) / (depth * tanY));
                highY = std::max(highY, v.dotProduct(up) / (depth * tanY));
            }
        }
        const float shift = (lowY + highY) * 0.5f - wantedMiddle;
        const Ogre::Vector3 target = centre + up * (shift * distance * tanY);
        const Ogre::Vector3 sight = (target - eye).normalisedCopy();
        const Ogre::Vector3 sightRight = sight.crossProduct(Ogre::Vector3::UNIT_Y).normalisedCopy();
        const Ogre::Vector3 sightUp = sightRight.crossProduct(sight);
        bool inside = true;
        for (const Ogre::Vector3& p : points) {
            const Ogre::Vector3 v = p - eye;
            const float depth = v.dotProduct(sight);
            if (!(depth > 0.1f)) {
                inside = false;
                break;
            }
            const float x = v.dotProduct(sightRight) / (depth * tanX), y = v.dotProduct(sightUp) / (depth * tanY);
            if (x < kResultLeft || x > kResultRight || y < kResultBottom || y > kResultTop) {
                inside = false;
                break;
            }
        }
        place = eye;
        look = target;
        if (inside)
            return true;
    }
    return false;
}

std::vector<Ogre::Vector3> CGameMaster::ResultViewPoints() const
{
    std::vector<Ogre::Vector3> points;
    if (!mTargetBall || mTargetBall->mState != CBall::STATE_LAUNCHED)
        return points;
    const Ogre::Vector3 target = mTargetBall->GetWorldPosition();
    points.push_back(target);
    // The pointer floats above the target ball.
    points.push_back(target + Ogre::Vector3(0.0f, kPointerClearance, 0.0f));
    for (const CBall* ball : mBalls) {
        if (!ball || ball == mTargetBall || ball->mState != CBall::STATE_LAUNCHED)
            continue;
        const Ogre::Vector3 at = ball->GetWorldPosition();
        // The thrown ball is the current one until the throw is evaluated,
        // the previous one after.
        const bool thrown = ball == mCurrentBall || ball == mPreviousBall;
        if (thrown || at.squaredDistance(target) < kResultNeighbourhood * kResultNeighbourhood)
            points.push_back(at);
    }
    return points;
}

bool CGameMaster::AimResultView(float duration)
{
    CKEMSceneNode* end = mSceneCameras[CAM_END];
    CKEMSceneNode* target = GetCameraFocusNode();
    CKEMSceneCamera* camera = dynamic_cast<CKEMSceneCamera*>(end);
    if (!mCamera || !camera || !target)
        return false;
    const std::vector<Ogre::Vector3> points = ResultViewPoints();
    if (points.empty())
        return false;
    const Ogre::Vector3 from = mCircle ? mCircle->GetWorldPosition() : WorldPosition(mSceneCameras[CAM_LAUNCH]);
    Ogre::Vector3 place, look;
    FrameResultView(points, from, camera->GetFov(), camera->GetAspectRatio(), place, look);
    mCamera->ClampToLimits(place, look);
    // From wherever the view is now (the slow-motion camera after a replay),
    // the end camera moves to the place that shows the balls.
    if (mCamera->mTrackingCamera != camera) {
        if (mCamera->mTrackingCamera) {
            const Ogre::Vector3 now = WorldPosition(mCamera->mTrackingCamera);
            SetNodeWorldPosition(end, now);
            end->LookAt(now + mCamera->mTrackingCamera->GetDirection());
        }
        mCamera->SwitchToCamera(SCENE_CAMERAS[CAM_END]);
    }
    // The aim line's distance marks have no meaning once the ball is down.
    for (CAxisGraduation* mark : mGraduations)
        if (mark && mark->GetNode())
            mark->GetNode()->setToVisible(false);
    const Ogre::Vector3 targetPos = WorldPosition(target);
    mCamera->TrackPosition(target, place - targetPos, duration);
    mCamera->TrackLookAt(target, look - targetPos, duration);
    mCamera->mLookTarget = look;
    mCamera->StartTimers();
    return true;
}

void CGameMaster::FitMarkersToView()
{
    const CKEMSceneCamera* camera = CKEMSceneGraph::GetCurrentCamera();
    if (!camera)
        return;
    const Ogre::Vector3 eye = WorldPosition(camera);
    // A marker keeps about the same size on screen whatever the view's
    // distance, and floats above its ball: a bar through the ball hides
    // inside it, and a thin one reads as one of the aim line's ticks.
    auto fit = [&eye](CTarget* marker, const CBall* ball, float width, float height) {
        CKEMSceneNode* node = marker ? marker->GetNode() : nullptr;
        if (!node || !node->IsVisible() || !ball || !ball->GetNode())
            return;
        const Ogre::Vector3 at = ball->GetWorldPosition();
        const float distance = std::max(1.0f, eye.distance(at));
        const float w = std::max(kMarkerMinWidth, width * distance), h = std::max(kMarkerMinHeight, height * distance);
        Ogre::Vector3 ballScale;
        ball->GetNode()->GetScale(ballScale);
        node->SetScale(Ogre::Vector3(w, h, w));
        SetNodeWorldPosition(node, at + Ogre::Vector3(0.0f, ballScale.y + h * 0.8f, 0.0f));
    };
    if (mTargetBall && mTargetBall->mState != CBall::STATE_OUT)
        fit(mTargetBallPointer, mTargetBall, kPointerWidth, kPointerHeight);
    bool shown = false;
    for (const CTarget* marker : mBestBallMarkers)
        shown = shown || (marker && marker->GetNode() && marker->GetNode()->IsVisible());
    if (!shown)
        return;
    const std::vector<CBall*> scoring = GetScoringBalls();
    for (size_t i = 0; i < scoring.size() && i < mBestBallMarkers.size(); ++i)
        fit(mBestBallMarkers[i], scoring[i], kBestMarkerWidth, kBestMarkerHeight);
}

void CGameMaster::ResetFreeCamera()
{
    mOrbitAngle = mZoomDistance = mTurnInput = mPitchInput = mZoomSpeed = 0.0f;
}

void CGameMaster::UpdateMatchCamera(int32_t state)
{
    if (state == mCameraState)
        return;
    mCameraState = state;
    if (!mCamera)
        return;
    CKEMSceneNode* target = mTargetBall ? mTargetBall->GetNode() : nullptr;
    const Ogre::Vector3 targetPos = GetCameraFocus();
    switch (state) {
    case CAMERA_LAUNCH:
        mCamera->SwitchToCamera(SCENE_CAMERAS[CAM_LAUNCH]);
        ResetFreeCamera();
        if (mAimGuide) {
            mAimGuide->mAxisShown = true;
            mAimGuide->DrawAxis();
        }
        break;
    case CAMERA_ZOOM:
    case CAMERA_TRACK: {
        CKEMSceneNode* end = mSceneCameras[CAM_END];
        CKEMSceneNode* from = mSceneCameras[state == CAMERA_ZOOM ? CAM_LAUNCH : CAM_FOLLOW];
        if (end && from) {
            Ogre::Vector3 reference = WorldPosition(from);
            if (state == CAMERA_TRACK)
                reference.y = targetPos.y + (reference.y - targetPos.y) * 0.5f;
            Ogre::Vector3 camera = WorldPosition(end);
            mCamera->PlaceAtDistance(camera, targetPos, reference, mCameraSpeed1);
            SetNodeWorldPosition(end, camera);
            end->LookAt(targetPos);
        }
        mCamera->mLookTarget = targetPos;
        if (state == CAMERA_ZOOM) {
            mCamera->TrackPosition(end, Ogre::Vector3::ZERO, mCameraSpeed1);
            // The view turns to what it zooms on while it moves there.
            if (CKEMSceneNode* focus = GetCameraFocusNode())
                mCamera->LookAtNode(focus, mCameraSpeed1);
            mCamera->StartTimers();
        } else if (!AimResultView(mCameraSpeed2)) {
            // Moves on from the follow view to the one that holds the target
            // ball, the balls around it and the thrown ball, above the result
            // frame; without it, follows the target ball from the place above.
            mCamera->SwitchToCamera(SCENE_CAMERAS[CAM_END]);
            mCamera->TrackPosition(target, WorldPosition(end) - targetPos, mCameraSpeed2);
            mCamera->LookAtNode(target, mCameraSpeed2);
            mCamera->StartTimers();
        }
        if (state == CAMERA_TRACK && mCurrentBall)
            mCamera->mHomeLookPoint = mCurrentBall->GetWorldPosition();
        break;
    }
    case CAMERA_FOLLOW:
        mCamera->SwitchToCamera(SCENE_CAMERAS[CAM_FOLLOW]);
        if (mCurrentBall)
            mCamera->LookAtNode(mCurrentBall->GetNode(), 0.0f);
        mCamera->StartTimers();
        mFollowDone = false;
        if (mSceneCameras[CAM_FOLLOW] && mSceneCameras[CAM_LAUNCH])
            SetNodeWorldPosition(mSceneCameras[CAM_FOLLOW], WorldPosition(mSceneCameras[CAM_LAUNCH]));
        break;
    case CAMERA_FREE:
        // The balls knocked on by the throw have come to rest meanwhile.
        if (!AimResultView(kResultSettleSeconds)) {
            mCamera->mLookTarget = targetPos;
            mCamera->TrackPosition(mSceneCameras[CAM_END], Ogre::Vector3::ZERO, mCameraSpeed1);
            mCamera->StartTimers();
        }
        break;
    case CAMERA_REPLAY:
        mCamera->SwitchToCamera(SCENE_CAMERAS[CAM_SLOW]);
        if (mPreviousBall)
            mCamera->LookAtNode(mPreviousBall->GetNode(), 0.0f);
        mCamera->StartTimers();
        break;
    default:
        break;
    }
    const Ogre::Vector3 pos = mCamera->mPositionTrack.current;
    const Ogre::Vector3& look = mCamera->mLookTarget;
    PlatLog("Camera State=%s || Camera Pos x=%.2f y=%.2f z=%.2f || Camera Target x=%.2f y=%.2f z=%.2f",
            StateName(state), pos.x, pos.y, pos.z, look.x, look.y, look.z);
}

void CGameMaster::UpdateThrowCamera()
{
    const int32_t step = mLaunchSet ? mLaunchSet->mStep : 0;
    switch (mCameraState) {
    case CAMERA_LAUNCH: {
        if (step == 1 && IsLocalHumanTurn() && mTurnInput != 0.0f && mAimGuide)
            mAimGuide->RotateAim(mTurnInput);
        mTurnInput = mPitchInput = 0.0f;
        if (step > 1 || mCurrentBall == mTargetBall)
            ResetFreeCamera();
        CKEMSceneNode* camera = mSceneCameras[CAM_LAUNCH];
        if (camera && mCurrentPlayer && mAimGuide) {
            const Ogre::Vector3 player = mCurrentPlayer->GetWorldPosition();
            Ogre::Vector3 view = mAimGuide->mAimPoint - player;
            view.y = 0.0f;
            if (!view.isZeroLength()) {
                // Behind, above and beside the thrower, so that it stands low
                // in the view with the whole axis and the target before it.
                const Terrain* terrain = GetTerrain();
                const float minX = terrain ? terrain->mMinX : -1e6f, maxX = terrain ? terrain->mMaxX : 1e6f;
                SetNodeWorldPosition(camera, LaunchCameraPlace(player, mAimGuide->mAimPoint, mZoomDistance,
                                                                 GetLaunchCameraHeight(), minX, maxX));
                camera->LookAt(mAimGuide->mAimPoint);
            }
            mAimGuide->mAxisShown = mZoomDistance <= 0.5f;
        }
        if (step >= 5)
            UpdateMatchCamera(CAMERA_FOLLOW);
        break;
    }
    case CAMERA_FOLLOW: {
        CKEMSceneNode* camera = mSceneCameras[CAM_FOLLOW];
        CBall* ball = mCurrentBall;
        if (!ball)
            break;
        const Ogre::Vector3 at = ball->GetWorldPosition();
        if (camera) {
            const Ogre::Vector3 old = WorldPosition(camera);
            if (old.distance(at) > 5.0f)
                SetNodeWorldPosition(camera, at + (old - at).normalisedCopy() * 5.0f);
            camera->LookAt(at);
        }
        const bool visible = ball->GetNode() && ball->GetNode()->IsVisible();
        if (ball->IsTarget()) {
            if (!ball->IsMoving() && visible) {
                if (mTargetBallPointer && mTargetBallPointer->GetNode())
                    mTargetBallPointer->GetNode()->setToVisible(true);
                mFollowDone = true;
            }
        } else {
            // Without a target ball (a training exercise) only the ball's rest ends the follow.
            bool far = false;
            if (mTargetBall) {
                const Ogre::Vector3 target = mTargetBall->GetWorldPosition();
                const Ogre::Vector3 thrower = mCurrentPlayer ? mCurrentPlayer->GetWorldPosition() : target;
                const float dx = at.x - target.x, dz = at.z - target.z;
                far = dx * dx + dz * dz > thrower.squaredDistance(target) + 50.0f;
            }
            if (!ball->IsMoving() || !visible || far)
                mFollowDone = true;
        }
        if (mFollowDone || ball->mState != CBall::STATE_LAUNCHED) {
            const bool targetInPlay = mTargetBall && mTargetBall->mState == CBall::STATE_LAUNCHED;
            if (!ball->IsTarget() && targetInPlay) {
                UpdateMatchCamera(CAMERA_TRACK);
                if (g_NetMgr.IsConnected()) {
                    if (mCamera)
                        mCamera->Update();
                    UpdateMatchCamera(CAMERA_FREE);
                }
            } else {
                UpdateMatchCamera(CAMERA_END);
            }
        }
        break;
    }
    case CAMERA_TRACK:
        if (!mTargetBall || mTargetBall->mState != CBall::STATE_LAUNCHED) {
            if (mCamera) {
                mCamera->mPositionTrack = CMatchCamera::Track();
                mCamera->mLookAtTrack = CMatchCamera::Track();
            }
            UpdateMatchCamera(CAMERA_END);
        } else if (!mCamera || mCamera->mMode != CMatchCamera::MODE_TRACKING ||
                   (!mCamera->mPositionTrack.running && !mCamera->mLookAtTrack.running)) {
            // Tracks only advance in tracking mode: without the venue's
            // camera there is nothing to wait for, and the throw must end.
            UpdateMatchCamera(CAMERA_FREE);
        }
        break;
    case CAMERA_FREE:
        if (mCamera && mTargetBall && mTargetBall->mState == CBall::STATE_LAUNCHED)
            mCamera->mLookTarget = mTargetBall->GetWorldPosition();
        break;
    default:
        break;
    }
}

// ---- mouse ----------------------------------------------------------------

bool CGameMaster::OnMouseDown(int32_t button)
{
    if (mCameraState != CAMERA_LAUNCH)
        return false;
    const bool left = button == 0;
    if (left && !(mLaunchSet && mLaunchSet->mStep == 1 && IsLocalHumanTurn()))
        return false;
    if (button != 0 && button != 1)
        return false;
    mInputCaptured = true;
    if (left)
        mLeftDrag = true;
    else {
        mRightDrag = true;
        mZoomSpeed = 0.0f;
    }
    return true;
}

bool CGameMaster::OnMouseUp(int32_t button)
{
    bool handled = false;
    if (button == 0 && mLeftDrag) {
        mLeftDrag = false;
        handled = true;
    } else if (button == 1 && mRightDrag) {
        mRightDrag = false;
        handled = true;
    }
    if (!mLeftDrag && !mRightDrag)
        mInputCaptured = false;
    return handled;
}

bool CGameMaster::OnMouseMove(float dx, float dy, float frameTime)
{
    bool handled = false;
    if (mRightDrag) {
        if (dy != 0.0f) {
            mZoomSpeed = std::min(7.5f, std::max(-7.5f, mZoomSpeed - 0.15f * dy));
        } else {
            const float step = 10.0f * frameTime;
            mZoomSpeed = mZoomSpeed > 0.0f ? std::max(0.0f, mZoomSpeed - step) : std::min(0.0f, mZoomSpeed + step);
        }
        mZoomDistance = std::max(0.0f, mZoomDistance + frameTime * mZoomSpeed);
        handled = true;
    }
    if (mLeftDrag) {
        mTurnInput = dx * 0.001f;
        mPitchInput = dy * -0.05f;
        handled = true;
    }
    return handled;
}

namespace {

CEGUI::Window* RootWindow()
{
    CEGUI::System* system = CEGUI::System::getSingletonPtr();
    return system ? system->getDefaultGUIContext().getRootWindow() : nullptr;
}

}  // namespace

bool CGameMaster::CaptureFreeCameraInput(const CEGUI::EventArgs& args)
{
    const auto& mouse = static_cast<const CEGUI::MouseEventArgs&>(args);
    const int32_t button = mouse.button == CEGUI::LeftButton ? 0 : mouse.button == CEGUI::RightButton ? 1 : -1;
    const bool wasCaptured = mInputCaptured;
    if (!OnMouseDown(button))
        return false;
    if (!wasCaptured) {
        if (CEGUI::Window* root = RootWindow()) {
            root->activate();
            root->captureInput();
        }
    }
    if (button == 0) {
        mLeftDragX = mouse.position.d_x;
        mLeftDragY = mouse.position.d_y;
    } else {
        mRightDragX = mouse.position.d_x;
        mRightDragY = mouse.position.d_y;
    }
    return true;
}

bool CGameMaster::ReleaseFreeCameraInput(const CEGUI::EventArgs& args)
{
    const auto& mouse = static_cast<const CEGUI::MouseEventArgs&>(args);
    const int32_t button = mouse.button == CEGUI::LeftButton ? 0 : mouse.button == CEGUI::RightButton ? 1 : -1;
    const bool wasCaptured = mInputCaptured;
    const bool handled = OnMouseUp(button);
    if (wasCaptured && !mInputCaptured) {
        if (CEGUI::Window* root = RootWindow())
            root->releaseInput();
    }
    return handled;
}

bool CGameMaster::MoveFreeCamera(const CEGUI::EventArgs& args)
{
    const auto& mouse = static_cast<const CEGUI::MouseEventArgs&>(args);
    float dx = 0.0f, dy = 0.0f;
    if (mLeftDrag) {
        dx = mouse.position.d_x - mLeftDragX;
        dy = mouse.position.d_y - mLeftDragY;
        mLeftDragX = mouse.position.d_x;
        mLeftDragY = mouse.position.d_y;
    } else if (mRightDrag) {
        dx = mouse.position.d_x - mRightDragX;
        dy = mouse.position.d_y - mRightDragY;
        mRightDragX = mouse.position.d_x;
        mRightDragY = mouse.position.d_y;
    }
    return OnMouseMove(dx, dy, gTimer.GetDeltaSeconds());
}

// ---- debug keys ----------------------------------------------------------

void CGameMaster::DebugMoveBalls()
{
    if (mLaunchSet && mLaunchSet->mStep == 1 && IsLocalHumanTurn() && mAimGuide) {
        if (CInputMgr::IsPressed(gInputMgr.GetAction(16))) {
            mLaunchSet->ApplyErrors(mAimGuide->mLaunchSpeed, mAimGuide->mLaunchAngle, -1);
        } else if (CInputMgr::IsPressed(gInputMgr.GetAction(17))) {
            float x = 0.0f, y = 0.0f;
            if (gInputMgr.GetMousePosition(x, y))
                mLaunchSet->DropBallAtCursor(x, y);
        }
    }
    if (CInputMgr::IsPressed(gInputMgr.GetChannel(KEY_0)))
        mDebugBallIndex = 0;
    const int32_t half = static_cast<int32_t>(mBalls.size() / 2);
    const bool side1 = CInputMgr::Level(gInputMgr.GetChannel(KEY_LCONTROL)) != 0;
    for (int n = 1; n <= 6 && n <= half; ++n)
        if (CInputMgr::IsPressed(gInputMgr.GetChannel(KEY_1 + n - 1)))
            mDebugBallIndex = side1 ? half + n : n;
    CBall* ball = GetBall(static_cast<uint32_t>(mDebugBallIndex));
    if (!ball || ball->mState != CBall::STATE_LAUNCHED || !ball->GetNode())
        return;
    Ogre::Vector3 move = Ogre::Vector3::ZERO;
    if (CInputMgr::Level(gInputMgr.GetChannel(KEY_PAD4)))
        move.x += 0.05f;
    if (CInputMgr::Level(gInputMgr.GetChannel(KEY_PAD6)))
        move.x -= 0.05f;
    if (CInputMgr::Level(gInputMgr.GetChannel(KEY_PAD2)))
        move.z += 0.05f;
    if (CInputMgr::Level(gInputMgr.GetChannel(KEY_PAD8)))
        move.z -= 0.05f;
    if (move != Ogre::Vector3::ZERO)
        ball->SetWorldPosition(ball->GetWorldPosition() + move);
}

void CGameMaster::DumpBalls()
{
    if (!CInputMgr::IsReleased(gInputMgr.GetChannel(KEY_O)))
        return;
    PlatLog("=========================================================");
    for (size_t i = 0; i < mBalls.size(); ++i) {
        const CBall* ball = mBalls[i];
        const CKEMSceneNode* node = ball ? ball->GetNode() : nullptr;
        const Ogre::Vector3 p = ball ? ball->GetWorldPosition() : Ogre::Vector3::ZERO;
        const bool body = node && node->getPhysicObject() && node->getPhysicObject()->IsActive();
        PlatLog("-Ball(%s) (%u / %u): (%.3f,%.3f,%.3f)(Phys=%s)", node ? node->getName().c_str() : "",
                static_cast<unsigned>(i), static_cast<unsigned>(mBalls.size()), p.x, p.y, p.z,
                body ? "Enabled" : "Disabled");
    }
    PlatLog("=========================================================");
}
