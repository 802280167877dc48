#include "CWrapOgreViewport.h"

#include "CWrapOgreCamera.h"
#include "CWrapOgreCore.h"
#include "KEMException.h"

#include <OgreException.h>
#include <OgreRenderTarget.h>
#include <OgreRenderWindow.h>
#include <OgreViewport.h>

namespace {

Ogre::RenderWindow* targetWindow(CWrapOgreCore* core)
{
    Ogre::RenderWindow* window = core ? core->GetRenderWindow() : nullptr;
    if (!window)
        KEM_THROW("no render window for the viewport");
    return window;
}

}  // namespace

CWrapOgreViewport::CWrapOgreViewport(CWrapOgreCore* core, CWrapOgreCamera* camera)
    : m_core(core), m_camera(camera)
{
    m_viewport = targetWindow(m_core)->addViewport(m_camera ? m_camera->getCamera() : nullptr, 100, 0, 0, 1, 1);
    m_viewport->setBackgroundColour(Ogre::ColourValue(0, 0, 0, 1));
}

CWrapOgreViewport::~CWrapOgreViewport()
{
    destroy();
}

void CWrapOgreViewport::setDimensions(float left, float top, float width, float height)
{
    if (m_viewport)
        m_viewport->setDimensions(left, top, width, height);
}

void CWrapOgreViewport::setCamera(CWrapOgreCamera* camera)
{
    m_camera = camera;
    if (m_viewport)
        m_viewport->setCamera(m_camera ? m_camera->getCamera() : nullptr);
}

void CWrapOgreViewport::setZOrder(int z)
{
    try {
        Ogre::RenderWindow* window = targetWindow(m_core);
        float left = 0, top = 0, width = 1, height = 1;
        if (m_viewport) {
            left = m_viewport->getLeft();
            top = m_viewport->getTop();
            width = m_viewport->getWidth();
            height = m_viewport->getHeight();
            // Same z-order: the old one must go first. Otherwise the new one
            // comes first, so that a z-order already taken leaves the old one.
            if (m_viewport->getZOrder() == z)
                destroy();
        }
        Ogre::Viewport* viewport =
            window->addViewport(m_camera ? m_camera->getCamera() : nullptr, z, left, top, width, height);
        destroy();
        m_viewport = viewport;
        m_viewport->setBackgroundColour(Ogre::ColourValue(0.2f, 0.2f, 0.3f, 1.0f));
    } catch (const Ogre::Exception& e) {
        KEM_THROW(e.getFullDescription());
    }
}

void CWrapOgreViewport::destroy()
{
    if (m_viewport && m_viewport->getTarget())
        m_viewport->getTarget()->removeViewport(m_viewport->getZOrder());
    m_viewport = nullptr;
}
