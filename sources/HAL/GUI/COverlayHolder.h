// Overlays and overlay elements addressed by name: the head-up display, the
// loading screens and the menus draw part of their 2D elements with OGRE
// overlays. Every element operation does nothing (a getter gives 0) when no
// element bears the name, or when the overlay system is not running.
#pragma once

#include <OgreColourValue.h>

#include <string>
#include <vector>

namespace Ogre {
class Overlay;
class OverlayElement;
}

class COverlayHolder {
public:
    COverlayHolder() = default;
    COverlayHolder(const COverlayHolder&) = delete;
    COverlayHolder& operator=(const COverlayHolder&) = delete;

    // Hides the held overlay, if any, and forgets it.
    void HideCurrent();
    // Hides the held overlay, if any, then the element of that name (null
    // when there is none).
    Ogre::OverlayElement* GetOverlayElementByName(const std::string& name);

    Ogre::Overlay* GetCurrent() const { return mCurrent; }

private:
    Ogre::Overlay* mCurrent = nullptr;
};

// The one overlay holder.
extern COverlayHolder gOverlayHolder;

// The named overlay element, or null when the overlay system or the element
// does not exist.
Ogre::OverlayElement* FindOverlayElement(const std::string& name);

void ShowOverlayElement(const std::string& name);
void HideOverlayElement(const std::string& name);
void SetOverlayElementTop(const std::string& name, const float& top);
void SetOverlayElementWidth(const std::string& name, const float& width);
float GetOverlayElementWidth(const std::string& name);
void SetOverlayElementLeft(const std::string& name, const float& left);

// The colour operations change the first texture unit of the first pass of
// the element material's first technique (shared by every user of that
// material); nothing when the material has no such unit.
// Blends the texture half-way into the colour.
void SetOverlayBlendFactor(const std::string& name, const Ogre::ColourValue& colour);
// Modulates the texture by the colour.
void SetOverlayTint(const std::string& name, const Ogre::ColourValue& colour, const float& factor);
// Back to the plain modulation.
void ResetOverlayColourOp(const std::string& name);
// Only a material the material manager knows replaces the element's.
void SetOverlayMaterial(const std::string& name, const std::string& material);

// Hides every overlay of the overlay manager.
void HideAllOverlays();

// A named group of overlays shown and hidden together. The overlays are not owned.
class COverlayList {
public:
    explicit COverlayList(const std::string& name) : mName(name) {}
    ~COverlayList() = default;

    void Add(Ogre::Overlay* overlay) { mOverlays.push_back(overlay); }
    // In list order.
    void ShowAll();
    void HideAll();

    const std::string& GetName() const { return mName; }
    const std::vector<Ogre::Overlay*>& GetOverlays() const { return mOverlays; }

private:
    std::string mName;
    std::vector<Ogre::Overlay*> mOverlays;
};
