// The graphic environment read from a scene text and applied to the 3D
// engine's scene manager "KEM_SM" (OGRE without a display).
#include "OgreHeadless.h"

#include <CGraphicEnvMgr.h>

#include <string>

namespace {

std::string EnvScene(const std::string& ambient)
{
    return "<ROOT>\n<KEM_SCENE_NODE_VARLIST/>\n<KEM_GRAPHICENV_MGR_VARLIST>\n" + ambient +
           "\t<CGRAPHICENV_SHADOWTYPE value=\"2\" />\n"
           "\t<CGRAPHICENV_SHADOWTEXTSIZE value=\"512\" />\n"
           "\t<CGRAPHICENV_SHADOWCASTER value=\"caster\"/>\n"
           "\t<CGRAPHICENV_SHADOWDLIGHTEXTRU value=\"50\" />\n"
           "</KEM_GRAPHICENV_MGR_VARLIST>\n</ROOT>\n";
}

std::string Ambient(float r, float g, float b)
{
    return "\t<CGRAPHICENV_AMBIANT x=\"" + std::to_string(r) + "\" y=\"" + std::to_string(g) + "\" z=\"" +
           std::to_string(b) + "\" />\n";
}

}  // namespace

TEST_F(OgreWrapTest, GraphicEnvironmentAppliesItsAmbientOnceAttached)
{
    CGraphicEnvMgr env;
    mSceneManager->setAmbientLight(Ogre::ColourValue(0, 0, 0));

    env.SetAmbientLight(Ogre::Vector3(1, 0, 0));   // not attached: nothing changes
    EXPECT_EQ(env.GetAmbient(), Ogre::Vector3(0.2f, 0.2f, 0.2f));

    ASSERT_TRUE(env.Load(EnvScene(Ambient(1, 1, 1)).c_str()));
    EXPECT_EQ(env.GetAmbient(), Ogre::Vector3(1, 1, 1));
    EXPECT_EQ(env.GetShadowType(), 2);
    EXPECT_EQ(env.GetShadowTextureSize(), 512);
    EXPECT_EQ(env.GetShadowTextureCount(), 3);
    EXPECT_EQ(env.GetShadowCaster(), "caster");
    EXPECT_FLOAT_EQ(env.GetShadowDirLightExtrusion(), 50.0f);
    EXPECT_EQ(mSceneManager->getAmbientLight(), Ogre::ColourValue(0, 0, 0));

    env.Attach();
    EXPECT_EQ(mSceneManager->getAmbientLight(), Ogre::ColourValue(1, 1, 1, 1));
    ASSERT_TRUE(env.Load(EnvScene(Ambient(0.5f, 0.25f, 0)).c_str()));
    EXPECT_EQ(mSceneManager->getAmbientLight(), Ogre::ColourValue(0.5f, 0.25f, 0, 1));
    env.SetAmbientLight(Ogre::Vector3(0, 0, 1));
    EXPECT_EQ(mSceneManager->getAmbientLight(), Ogre::ColourValue(0, 0, 1, 1));
    // The shadow values are kept, not applied.
    EXPECT_EQ(mSceneManager->getShadowTechnique(), Ogre::SHADOWTYPE_NONE);
}

TEST_F(OgreWrapTest, GraphicEnvironmentRefusesTextsWithoutItsList)
{
    CGraphicEnvMgr env;
    env.Attach();
    mSceneManager->setAmbientLight(Ogre::ColourValue(0, 0, 0));
    const std::string texts[] = {
        "<KEM_GRAPHICENV_MGR_VARLIST>" + Ambient(1, 1, 1) + "</KEM_GRAPHICENV_MGR_VARLIST>",   // no ROOT
        "<ROOT><KEM_PHYSIC_MGR_VARLIST/></ROOT>",                                              // no list
        EnvScene("\t<CGRAPHICENV_AMBIANT x=\"1\" y=\"1\" />\n"),                                // broken colour
        "",
    };
    for (const std::string& text : texts) {
        EXPECT_FALSE(env.Load(text.c_str())) << text;
        EXPECT_EQ(mSceneManager->getAmbientLight(), Ogre::ColourValue(0, 0, 0)) << text;
    }
    EXPECT_FALSE(env.Load(nullptr));
}
