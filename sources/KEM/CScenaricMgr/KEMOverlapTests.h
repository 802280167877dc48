// Two approximate overlap tests between node volumes. Both count touching as
// overlapping. The sphere/box test grows the box by the radius (so it also
// reports spheres near edges and corners that do not touch); the box/box test
// is a separating-axis test on the centre line and the six face axes only
// (edge-cross-product separations go unseen).
#pragma once

#include <CKEMOrientedBox.h>

struct CKEMSphere {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float radius = 0.0f;
};

bool intersectSphereAABB(const CKEMSphere& sphere, const CKEMBoundingBox& box);
bool intersectOBBOBB(const CKEMOrientedBox& a, const CKEMOrientedBox& b);
