// A camera shown on the core's render window. Dimensions are relative to the
// window (0 to 1).
#pragma once

namespace Ogre {
class Viewport;
}

class CWrapOgreCamera;
class CWrapOgreCore;

class CWrapOgreViewport {
public:
    // Covers the whole of the core's render window at z-order 100, black
    // background. The core must have a render window.
    CWrapOgreViewport(CWrapOgreCore* core, CWrapOgreCamera* camera);
    virtual ~CWrapOgreViewport();
    CWrapOgreViewport(const CWrapOgreViewport&) = delete;
    CWrapOgreViewport& operator=(const CWrapOgreViewport&) = delete;

    void setDimensions(float left, float top, float width, float height);
    void setCamera(CWrapOgreCamera* camera);
    // Replaces the OGRE viewport by one at z-order `z` with the same camera
    // and dimensions (other settings of the old one are lost) and a dark
    // blue-grey background. A z-order already in use raises CKEMException.
    void setZOrder(int z);
    // Removes the OGRE viewport from its window; a second call does nothing.
    void destroy();

    Ogre::Viewport* getViewport() const { return m_viewport; }
    CWrapOgreCamera* getCamera() const { return m_camera; }

private:
    CWrapOgreCore* m_core = nullptr;
    CWrapOgreCamera* m_camera = nullptr;
    Ogre::Viewport* m_viewport = nullptr;
};
