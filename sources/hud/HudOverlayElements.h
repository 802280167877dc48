// Overlay elements as the HUD panels use them: positioned in screen-relative
// units.
#pragma once

#include <COverlayHolder.h>

#include <Overlay/OgreOverlayElement.h>

#include <string>

inline Ogre::OverlayElement* FindHudElement(const std::string& name) {
    Ogre::OverlayElement* element = FindOverlayElement(name);
    if (element)
        element->setMetricsMode(Ogre::GMM_RELATIVE);
    return element;
}
