// The small records of the head-up display that a match or training mode
// owns and hands to the CHUDMgr operations: the match info panel, the radar
// and the player panel. Positions and sizes are relative overlay units.
#pragma once

#include <OgreVector.h>

#include <cstdint>
#include <string>

class CHudGameSource;
class CPlayer;

// The strip naming the sides, their flags, balls left, score and next thrower.
struct CHUDInfoPanel {
    CHudGameSource* mGameMaster = nullptr;   // not owned; null until the mode made its referee
};

// The top view of the ground.
struct CHUDRadar {
    CHudGameSource* mGameMaster = nullptr;   // not owned
    int32_t mSign = 0;                       // 0 until chosen for the throw, then +1 or -1
    bool mSizesSet = false;                  // a zoom was applied: markers are re-sized when placed
    Ogre::Vector2 mZoomFocus = Ogre::Vector2::ZERO;
    Ogre::Vector2 mViewOffset = Ogre::Vector2::ZERO;
    float mZoomX = 1.0f, mZoomY = 1.0f;
    float mTerrainWidth = 0.0f, mTerrainDepth = 0.0f;
    float mMarkerWidth = 0.0f, mMarkerHeight = 0.0f;
    float mWidth = 0.0f, mHeight = 0.0f;
    std::string mElementName;                // "HUD/Radar"
    std::string mBallPrefix;                 // "HUD/Radar/BALL"
};

// Radar point of a world position (x, z): the ground's centre maps to the
// radar's centre, a sign of -1 turns the picture by a half turn.
Ogre::Vector2 ProjectRadarPoint(const CHUDRadar& radar, float x, float z);
// Top-left of an element of that size centred on the radar point with the
// radar's zoom and view offset.
Ogre::Vector2 RadarElementCorner(const CHUDRadar& radar, const Ogre::Vector2& point, float width, float height);
// Moves the end points of an axis segment that lie below the radar's bottom
// or beyond its right edge onto that edge, along the segment.
void ClipRadarSegment(const CHUDRadar& radar, Ogre::Vector2& start, Ogre::Vector2& end);

// The thrower's remaining balls, head picture, skill bars and the lines of
// the side to play.
struct CHUDPlayerPanel {
    CHudGameSource* mGameMaster = nullptr;   // not owned
    CPlayer* mLastPlayer = nullptr;          // the thrower the panel was last built for
    int32_t mLastThrowMode = 1;
    // The player lines were written while the panel showed and it has not
    // been hidden since.
    bool mLinesWritten = false;
};

// "HUD/Head_" body "_" skin "_" two-digit model number.
std::string PlayerHeadMaterial(const CPlayer& player);
