// The world's material record: what a geom points to and what contacts mix.
#pragma once

#include "PhysicDesc.h"

#include <string>

struct COdeMaterial {
    COdeMaterial(const MaterialDesc& desc, const std::string& registryName)
        : friction1(desc.friction1), friction2(desc.friction2), velThreshold(desc.velThreshold),
          slip1(desc.slip1), slip2(desc.slip2), bounce(desc.bounce), bounceVel(desc.bounceVel),
          softCfm(desc.softCfm), softErp(desc.softErp), name(registryName) {}

    void SetValues(const MaterialDesc& desc)
    {
        friction1 = desc.friction1;
        friction2 = desc.friction2;
        velThreshold = desc.velThreshold;
        slip1 = desc.slip1;
        slip2 = desc.slip2;
        bounce = desc.bounce;
        bounceVel = desc.bounceVel;
        softCfm = desc.softCfm;
        softErp = desc.softErp;
    }

    float friction1;
    float friction2;
    float velThreshold;
    float slip1;
    float slip2;
    float bounce;
    float bounceVel;
    float softCfm;
    float softErp;
    std::string name;
};
