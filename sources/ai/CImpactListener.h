// Told by a ball's contact listener when the ball touches the ground or
// another ball.
#pragma once

class CKEMSceneNode;

class CImpactListener {
public:
    virtual ~CImpactListener();
    // The ball touched the ground at the point.
    virtual void OnImpact(CKEMSceneNode* ball, float x, float y, float z) = 0;
    // The ball touched another ball at the point.
    virtual void OnImpactWithObject(CKEMSceneNode* ball, CKEMSceneNode* other, float x, float y, float z) = 0;
};
