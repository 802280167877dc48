#include "COverlayHolder.h"

#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreTechnique.h>
#include <OgreTextureUnitState.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayElement.h>
#include <Overlay/OgreOverlayManager.h>

COverlayHolder gOverlayHolder;

Ogre::OverlayElement* FindOverlayElement(const std::string& name) {
    Ogre::OverlayManager* overlays = Ogre::OverlayManager::getSingletonPtr();
    if (!overlays || !overlays->hasOverlayElement(name))
        return nullptr;
    return overlays->getOverlayElement(name);
}

namespace {

Ogre::TextureUnitState* FirstTextureUnit(const std::string& name) {
    Ogre::OverlayElement* element = FindOverlayElement(name);
    if (!element)
        return nullptr;
    const Ogre::MaterialPtr& material = element->getMaterial();
    if (!material || material->getNumTechniques() == 0)
        return nullptr;
    Ogre::Technique* technique = material->getTechnique(0);
    if (technique->getNumPasses() == 0)
        return nullptr;
    Ogre::Pass* pass = technique->getPass(0);
    if (pass->getNumTextureUnitStates() == 0)
        return nullptr;
    return pass->getTextureUnitState(0);
}

// What a tint mixes with its colour: the unit's texture, or for a unit
// without one the colour it receives, since sampling a texture it does not
// have would draw the 3D engine's warning stripes.
Ogre::LayerBlendSource PictureOf(const Ogre::TextureUnitState& unit) {
    return unit.getTextureName().empty() ? Ogre::LBS_CURRENT : Ogre::LBS_TEXTURE;
}

}  // namespace

void COverlayHolder::HideCurrent() {
    if (!mCurrent)
        return;
    mCurrent->hide();
    mCurrent = nullptr;
}

Ogre::OverlayElement* COverlayHolder::GetOverlayElementByName(const std::string& name) {
    if (mCurrent)
        mCurrent->hide();
    return FindOverlayElement(name);
}

void ShowOverlayElement(const std::string& name) {
    if (Ogre::OverlayElement* element = FindOverlayElement(name))
        element->show();
}

void HideOverlayElement(const std::string& name) {
    if (Ogre::OverlayElement* element = FindOverlayElement(name))
        element->hide();
}

void SetOverlayElementTop(const std::string& name, const float& top) {
    if (Ogre::OverlayElement* element = FindOverlayElement(name))
        element->setTop(top);
}

void SetOverlayElementWidth(const std::string& name, const float& width) {
    if (Ogre::OverlayElement* element = FindOverlayElement(name))
        element->setWidth(width);
}

float GetOverlayElementWidth(const std::string& name) {
    Ogre::OverlayElement* element = FindOverlayElement(name);
    return element ? element->getWidth() : 0.0f;
}

void SetOverlayElementLeft(const std::string& name, const float& left) {
    if (Ogre::OverlayElement* element = FindOverlayElement(name))
        element->setLeft(left);
}

void SetOverlayBlendFactor(const std::string& name, const Ogre::ColourValue& colour) {
    if (Ogre::TextureUnitState* unit = FirstTextureUnit(name))
        unit->setColourOperationEx(Ogre::LBX_BLEND_MANUAL, PictureOf(*unit), Ogre::LBS_MANUAL,
                                   Ogre::ColourValue::White, colour, 0.5f);
}

void SetOverlayTint(const std::string& name, const Ogre::ColourValue& colour, const float& factor) {
    if (Ogre::TextureUnitState* unit = FirstTextureUnit(name))
        unit->setColourOperationEx(Ogre::LBX_MODULATE, PictureOf(*unit), Ogre::LBS_MANUAL, Ogre::ColourValue::White,
                                   colour, factor);
}

void ResetOverlayColourOp(const std::string& name) {
    if (Ogre::TextureUnitState* unit = FirstTextureUnit(name))
        unit->setColourOperationEx(Ogre::LBX_MODULATE, PictureOf(*unit), Ogre::LBS_CURRENT);
}

void SetOverlayMaterial(const std::string& name, const std::string& material) {
    Ogre::OverlayElement* element = FindOverlayElement(name);
    if (!element)
        return;
    Ogre::MaterialManager* materials = Ogre::MaterialManager::getSingletonPtr();
    if (!materials)
        return;
    Ogre::MaterialPtr found = materials->getByName(material);
    if (found)
        element->setMaterial(found);
}

void HideAllOverlays() {
    Ogre::OverlayManager* overlays = Ogre::OverlayManager::getSingletonPtr();
    if (!overlays)
        return;
    for (Ogre::OverlayManager::OverlayMapIterator it = overlays->getOverlayIterator(); it.hasMoreElements();)
        it.getNext()->hide();
}

void COverlayList::ShowAll() {
    for (Ogre::Overlay* overlay : mOverlays)
        overlay->show();
}

void COverlayList::HideAll() {
    for (Ogre::Overlay* overlay : mOverlays)
        overlay->hide();
}
