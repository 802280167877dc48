#include "CWrapOgreCompositorList.h"

#include <OgreCompositorManager.h>

void CWrapOgreCompositorList::Add(const std::string& compositorName)
{
    m_names[GetCount()] = compositorName;
}

void CWrapOgreCompositorList::RemoveAll()
{
    if (Ogre::CompositorManager* manager = Ogre::CompositorManager::getSingletonPtr()) {
        for (int index = 0; index < GetCount(); ++index) {
            const std::string& name = m_names[index];
            if (manager->resourceExists(name))
                manager->remove(name);
        }
    }
    m_names.clear();
}
