// Scripts on node kinds that need the 3D engine (OGRE without a display).
#include "OgreHeadless.h"
#include "ScriptingTestUtil.h"

#include <CKEMScript.h>

#include <CKEMSceneObject.h>
#include <CKEMScenePath.h>
#include <KEMCrc32.h>

#include <memory>

namespace {

using namespace scripting_test;

class ScriptedObjectTest : public OgreWrapTest {};

TEST_F(ScriptedObjectTest, AnObjectNodeComesWithTheNodeAndObjectMethods)
{
    ScriptMedia media;
    std::unique_ptr<CKEMSceneObject> object(new CKEMSceneObject("", "", nullptr));
    object->setName("trophy");
    object->attachScript(new CKEMScript("api.lua"));
    EXPECT_TRUE(CallBool(object.get(), "ObjectClass")) << LogText();
    EXPECT_TRUE(CallBool(object.get(), "Move")) << LogText();
    EXPECT_EQ(LogCount("ERROR"), 0u) << LogText();
}

TEST_F(ScriptedObjectTest, TheGameScriptsRunOnAnObjectWithoutTheirAnimations)
{
    ScriptMedia media;
    for (const char* file : {"awardScript.lua", "spectatorScript.lua"}) {
        std::unique_ptr<CKEMSceneObject> object(new CKEMSceneObject("testcube.mesh", "", nullptr));
        object->attachScript(new CKEMScript(file));
        object->VMCallLife();
        object->OnScriptEvent(KEMCrc32String("highPositiveReac"), 0);
        object->VMCallLife();
        object->VMCallTerm();
        EXPECT_EQ(LogCount("CScriptVM"), 0u) << file << "\n" << LogText();
    }
}

TEST_F(ScriptedObjectTest, DeletingAScriptedObjectRunsTermWhileTheObjectStillExists)
{
    ScriptMedia media;
    CKEMSceneObject* object = new CKEMSceneObject("", "", nullptr);
    object->setName("trophy");
    object->attachScript(new CKEMScript("term_object.lua"));
    delete object;
    // The error the script raises on purpose, after using the object.
    EXPECT_EQ(LogCount("term ran on an object, animation -1"), 1u) << LogText();
}

// The point's Term still reaches the point itself: its debug marker is asked
// for (the test media has no marker mesh, which the point logs).
TEST_F(ScriptedObjectTest, DeletingAScriptedPointRunsTermWhileThePointStillExists)
{
    ScriptMedia media;
    CKEMScenePoint* point = new CKEMScenePoint(nullptr);
    point->setName("spot");
    point->attachScript(new CKEMScript("term_point.lua"));
    delete point;
    EXPECT_EQ(LogCount("term ran on a point"), 1u) << LogText();
    EXPECT_EQ(LogCount("helper_point.mesh"), 1u) << LogText();
}

}  // namespace
