#include "CHUDMgr.h"
#include "HudOverlayElements.h"
#include "CHUDPanels.h"
#include "CHudGameSource.h"

#include <CAimGuide.h>
#include <CBall.h>
#include <CDebugRenderer.h>
#include <CGameElement.h>
#include <CKEMSceneCamera.h>
#include <CKEMSceneGraph.h>
#include <CKEMSceneNode.h>
#include <COverlayHolder.h>
#include <CPlayer.h>
#include <LaunchSet.h>
#include <Platform.h>
#include <Terrain.h>

#include <OgreQuaternion.h>
#include <OgreRay.h>
#include <Overlay/OgreOverlayElement.h>
#include <Overlay/OgreOverlayManager.h>

#include <algorithm>
#include <cmath>

namespace {

const int kWorldSpace = 2;
const char kPig[] = "HUD/Radar/PIG";
const char kPlayer[] = "HUD/Radar/PLAYER";

struct AxisBand {
    const char* line;
    const char* material;
};
// Same colour bands as the power gauge, from the hand outward.
const AxisBand kAxisBands[7] = {
    {"radar axis min", "debug_black"},     {"radar axis yellow inf", "debug_yellow"},
    {"radar axis green", "debug_green"},   {"radar axis yellow sup", "debug_yellow"},
    {"radar axis orange", "debug_orange"}, {"radar axis red", "debug_red"},
    {"radar axis black", "debug_black"},
};

std::string NumberedName(const char* prefix, int number) {
    char name[64];
    PlatFormat(name, sizeof(name), "%s%d", prefix, number);
    return name;
}

Ogre::Vector2 Project(const CHUDRadar& radar, const Ogre::Vector3& world) {
    return ProjectRadarPoint(radar, world.x, world.z);
}

size_t GraduationCount(const CHUDRadar& radar) {
    const CAimGuide* guide = radar.mGameMaster ? radar.mGameMaster->GetAimGuide() : nullptr;
    return guide ? guide->mGraduations.size() : 0;
}

}  // namespace

Ogre::Vector2 ProjectRadarPoint(const CHUDRadar& radar, float x, float z) {
    // A radar without a terrain size has nothing to map onto.
    if (radar.mTerrainWidth <= 0.0f || radar.mTerrainDepth <= 0.0f)
        return Ogre::Vector2(radar.mWidth / 2, radar.mHeight / 2);
    const float s = static_cast<float>(radar.mSign);
    return Ogre::Vector2((s * x + radar.mTerrainWidth / 2) * radar.mWidth / radar.mTerrainWidth,
                         (s * z + radar.mTerrainDepth / 2) * radar.mHeight / radar.mTerrainDepth);
}

Ogre::Vector2 RadarElementCorner(const CHUDRadar& radar, const Ogre::Vector2& point, float width, float height) {
    const float halfW = radar.mWidth / 2, halfH = radar.mHeight / 2;
    return Ogre::Vector2((point.x - radar.mViewOffset.x) * radar.mZoomX - halfW * radar.mZoomX + halfW - width / 2,
                         (point.y - radar.mViewOffset.y) * radar.mZoomY - halfH * radar.mZoomY + halfH - height / 2);
}

void ClipRadarSegment(const CHUDRadar& radar, Ogre::Vector2& start, Ogre::Vector2& end) {
    const float W = radar.mWidth, H = radar.mHeight;
    Ogre::Vector2 n = start - end;
    n.normalise();
    // An end beyond an edge moves along the segment toward the other end.
    if (end.y > H && n.y != 0.0f) {
        const float t = (H - end.y) / n.y;
        if (t >= 0.0f)
            end += t * n;
    }
    if (end.x > W && n.x != 0.0f) {
        const float t = (W - end.x) / n.x;
        if (t >= 0.0f)
            end += t * n;
    }
    if (start.y > H && n.y != 0.0f) {
        const float t = (start.y - H) / n.y;
        if (t >= 0.0f)
            start -= t * n;
    }
    if (start.x > W && n.x != 0.0f) {
        const float t = (start.x - W) / n.x;
        if (t >= 0.0f)
            start -= t * n;
    }
}

void CHUDMgr::InitRadarPig(CHUDRadar& radar) {
    radar = CHUDRadar();
    if (Ogre::OverlayElement* pig = FindHudElement(kPig)) {
        radar.mMarkerWidth = pig->getWidth();
        radar.mMarkerHeight = pig->getHeight();
    }
}

void CHUDMgr::ReleaseRadar(CHUDRadar& radar) {
    radar.mElementName.clear();
    radar.mBallPrefix.clear();
}

void CHUDMgr::InitRadarBalls(CHUDRadar& radar, CHudGameSource* gameMaster) {
    radar.mGameMaster = gameMaster;
    radar.mElementName = "HUD/Radar";
    radar.mBallPrefix = "HUD/Radar/BALL";
    if (Ogre::OverlayElement* element = FindHudElement(radar.mElementName)) {
        radar.mWidth = element->getWidth();
        radar.mHeight = element->getHeight();
    }
    const Terrain* terrain = gameMaster ? gameMaster->GetTerrain() : nullptr;
    radar.mTerrainWidth = terrain ? std::fabs(terrain->mMaxX - terrain->mMinX) : 0.0f;
    radar.mTerrainDepth = terrain ? std::fabs(terrain->mMaxZ - terrain->mMinZ) : 0.0f;
    radar.mSign = 0;
    radar.mViewOffset = Ogre::Vector2::ZERO;
    radar.mZoomX = radar.mZoomY = 1.0f;
    HideRadarMarkers(radar);
    radar.mSizesSet = false;
}

void CHUDMgr::UpdateRadarZoomButtons(CHUDRadar& radar, float zoom) {
    radar.mZoomX = radar.mZoomY = zoom;
    if (zoom == 1.0f) {
        radar.mViewOffset = Ogre::Vector2::ZERO;
        SetOverlayMaterial("HUD/Radar/cameraMoins", "HUD/Radar/Camera_moins_S");
        SetOverlayMaterial("HUD/Radar/cameraPlus", "HUD/Radar/Camera_plus");
    } else {
        radar.mViewOffset = radar.mZoomFocus - Ogre::Vector2(radar.mWidth / 2, radar.mHeight / 2);
        SetOverlayMaterial("HUD/Radar/cameraMoins", "HUD/Radar/Camera_moins");
        SetOverlayMaterial("HUD/Radar/cameraPlus", "HUD/Radar/Camera_plus_S");
    }
    radar.mSizesSet = true;
}

void CHUDMgr::SetRadarElementSize(const std::string& name, const CHUDRadar& radar, float zoom) {
    Ogre::OverlayElement* element = FindHudElement(name);
    if (!element)
        return;
    const float factor = zoom == 1.0f ? 1.0f : 1.5f;
    element->setDimensions(radar.mMarkerWidth * factor, radar.mMarkerHeight * factor);
}

void CHUDMgr::PlaceRadarElement(CHUDRadar& radar, const std::string& name, const Ogre::Vector2& point) {
    Ogre::OverlayElement* element = FindHudElement(name);
    if (!element)
        return;
    if (radar.mSizesSet)
        SetRadarElementSize(name, radar, radar.mZoomX);
    const Ogre::Vector2 corner = RadarElementCorner(radar, point, element->getWidth(), element->getHeight());
    element->setPosition(corner.x, corner.y);
    if (corner.x < radar.mWidth && corner.y < radar.mHeight)
        element->show();
    else
        element->hide();
}

void CHUDMgr::ProjectToRadar(CHUDRadar& radar, const Ogre::Vector3& from, const Ogre::Vector3& to,
                             const std::string& material, const std::string& lineName) {
    Ogre::Vector2 start = Project(radar, from);
    Ogre::Vector2 end = Project(radar, to);
    ClipRadarSegment(radar, start, end);
    CKEMSceneCamera* camera = CKEMSceneGraph::GetCurrentCamera();
    if (!camera)
        return;
    // Radar units serve as viewport coordinates: the line shows over a radar
    // placed at the screen's top-left corner.
    Ogre::Vector3 eye;
    camera->GetPosition(eye, kWorldSpace);
    const Ogre::Vector3 a = eye + 4.0f * camera->GetViewportRay(start.x, start.y).getDirection();
    const Ogre::Vector3 b = eye + 4.0f * camera->GetViewportRay(end.x, end.y).getDirection();
    CDebugRenderer::AddLine(lineName, a, b, material);
}

void CHUDMgr::HideRadarAxis(CHUDRadar& radar) {
    for (const AxisBand& band : kAxisBands)
        gDebugRenderer.RemoveShape(band.line);
    const size_t count = GraduationCount(radar);
    for (size_t i = 0; i < count; ++i)
        HideOverlayElement(NumberedName("HUD/Radar/GradAxe", static_cast<int>(i + 1)));
}

void CHUDMgr::HideRadarMarkers(CHUDRadar& radar) {
    HideRadarAxis(radar);
    for (int k = 1; k <= 6; ++k) {
        HideOverlayElement(NumberedName("HUD/Radar/BALL1", k));
        HideOverlayElement(NumberedName("HUD/Radar/BALL2", k));
    }
    HideOverlayElement(kPig);
    radar.mZoomX = radar.mZoomY = 1.0f;
}

void CHUDMgr::UpdateRadar(CHUDRadar& radar) {
    CHudGameSource* gm = radar.mGameMaster;
    if (!gm)
        return;
    CPlayer* player = gm->GetCurrentPlayer();
    if (player) {
        if (radar.mSign == 0) {
            // Chosen once per throw so that the radar matches the camera's side.
            Ogre::Quaternion orientation = Ogre::Quaternion::IDENTITY;
            if (player->GetNode())
                player->GetNode()->GetOrientation(orientation, kWorldSpace);
            radar.mSign = orientation.zAxis().z > 0.0f ? 1 : -1;
        }
        PlaceRadarElement(radar, kPlayer, Project(radar, player->GetWorldPosition()));
    }

    const LaunchSet* launch = gm->GetLaunchSet();
    CAimGuide* guide = gm->GetAimGuide();
    const Terrain* terrain = gm->GetTerrain();
    if (radar.mZoomX == 1.0f && launch && launch->mStep < 5 && guide && guide->mPlayer && terrain) {
        const Ogre::Vector3 origin = guide->mPlayer->GetReleasePoint(guide->mPlayer->mThrowMode);
        Ogre::Vector3 direction = guide->mAimPoint - origin;
        Ogre::Vector3 hit;
        const float length =
            terrain->IntersectRay(Ogre::Ray(origin, direction), hit) ? origin.distance(hit) : 0.0f;
        direction.normalise();
        const float limits[6] = {
            std::min(guide->mAxisMin, length),
            std::min(guide->GetGraduationDistance0(), length),
            std::min(guide->GetGraduationDistance1(), length),
            std::min(guide->GetGraduationDistance2(), length),
            std::min(guide->GetGraduationDistance3(), length),
            std::min(guide->GetMaxDistance(), length),
        };
        float from = 0.0f;
        for (int band = 0; band < 7; ++band) {
            const float to = band < 6 ? limits[band] : length;
            if (from >= length)
                gDebugRenderer.RemoveShape(kAxisBands[band].line);
            else
                ProjectToRadar(radar, origin + direction * from, origin + direction * to, kAxisBands[band].material,
                               kAxisBands[band].line);
            from = to;
        }
        for (size_t i = 0; i < guide->mGraduations.size(); ++i) {
            const std::string name = NumberedName("HUD/Radar/GradAxe", static_cast<int>(i + 1));
            const CAxisGraduation* graduation = guide->mGraduations[i];
            if (graduation && !terrain->IsOutside(*graduation))
                PlaceRadarElement(radar, name, Project(radar, graduation->GetWorldPosition()));
            else
                HideOverlayElement(name);
        }
    } else {
        HideRadarAxis(radar);
    }

    HideOverlayElement(radar.mBallPrefix + "10");
    for (int k = 1; k <= 6; ++k) {
        HideOverlayElement(NumberedName("HUD/Radar/BALL1", k));
        HideOverlayElement(NumberedName("HUD/Radar/BALL2", k));
    }
    const std::vector<CBall*>& balls = gm->GetBalls();
    const int half = (static_cast<int>(balls.size()) - 1) / 2;
    for (size_t c = 1; c < balls.size(); ++c) {
        const CBall* ball = balls[c];
        if (!ball || ball->IsTarget() || ball->mState == CBall::STATE_NONE)
            continue;
        const int number = static_cast<int>(c);
        const std::string name = number <= half ? NumberedName("HUD/Radar/BALL1", number)
                                                : NumberedName("HUD/Radar/BALL2", number - half);
        PlaceRadarElement(radar, name, Project(radar, ball->GetWorldPosition()));
    }

    if (gm->IsTargetBallThrown() && !balls.empty() && balls[0]) {
        radar.mZoomFocus = Project(radar, balls[0]->GetWorldPosition());
        PlaceRadarElement(radar, kPig, radar.mZoomFocus);
    } else {
        HideOverlayElement(kPig);
    }
}
