// Builders of the physics sections of a scene file, in the form the scene
// files use.
#pragma once

#include <cstdio>
#include <string>

namespace scenetext {

inline std::string Settings(float step)
{
    char text[512];
    std::snprintf(text, sizeof(text),
                  "<KEM_PHYSIC_MGR_VARLIST>\n"
                  "\t<CPHYSICMGR_GRAVITY x=\"0\" y=\"-9.81\" z=\"0\" />\n"
                  "\t<CPHYSICMGR_NB_ITER value=\"20\" />\n"
                  "\t<CPHYSICMGR_STEP_SIZE value=\"%f\" />\n"
                  "\t<CPHYSICMGR_CFM value=\"0.00001\" />\n"
                  "\t<CPHYSICMGR_ERP value=\"0.2\" />\n"
                  "</KEM_PHYSIC_MGR_VARLIST>\n",
                  step);
    return text;
}

inline std::string Material(const std::string& id, float friction, float bounce, float bounceVel = 0.1f)
{
    char text[1024];
    std::snprintf(text, sizeof(text),
                  "<KEM_PHYSIC_MATERIAL_VARLIST>\n"
                  "\t<CPHYSICMATERIAL_MATERIAL_ID value=\"%s\"/>\n"
                  "\t<CPHYSICMATERIAL_FRICTION1 value=\"%f\" />\n"
                  "\t<CPHYSICMATERIAL_FRICTION2 value=\"%f\" />\n"
                  "\t<CPHYSICMATERIAL_VEL_TRESHOLD value=\"0.01\" />\n"
                  "\t<CPHYSICMATERIAL_SLIP1 value=\"0.001\" />\n"
                  "\t<CPHYSICMATERIAL_SLIP2 value=\"0.001\" />\n"
                  "\t<CPHYSICMATERIAL_BOUNCE value=\"%f\" />\n"
                  "\t<CPHYSICMATERIAL_BOUNCEVEL value=\"%f\" />\n"
                  "\t<CPHYSICMATERIAL_SOFT_CFM value=\"0.001\" />\n"
                  "\t<CPHYSICMATERIAL_SOFT_ERP value=\"0.5\" />\n"
                  "</KEM_PHYSIC_MATERIAL_VARLIST>\n",
                  id.c_str(), friction, friction, bounce, bounceVel);
    return text;
}

// A material record whose FRICTION1 element has no value: it cannot be read.
inline std::string BrokenMaterial(const std::string& id)
{
    return "<KEM_PHYSIC_MATERIAL_VARLIST>\n\t<CPHYSICMATERIAL_MATERIAL_ID value=\"" + id +
           "\"/>\n\t<CPHYSICMATERIAL_FRICTION1 />\n</KEM_PHYSIC_MATERIAL_VARLIST>\n";
}

// shape: 0 box (size), 1 sphere (radius = size.x); offset: the shape's
// position relative to the node.
inline std::string Object(const std::string& node, int actorType, int shape, float sx, float sy, float sz,
                          float mass, const std::string& material, float ox = 0, float oy = 0, float oz = 0)
{
    char text[2048];
    std::snprintf(text, sizeof(text),
                  "<KEM_PHYSIC_OBJECT_VARLIST>\n"
                  "\t<CPHYSICOBJECT_KEMNODE_NAME value=\"%s\"/>\n"
                  "\t<CPHYSICOBJECT_ACTOR_TYPE value=\"%d\" />\n"
                  "\t<CPHYSICOBJECT_SHAPE_TYPE value=\"%d\" />\n"
                  "\t<CPHYSICOBJECT_MASS value=\"%f\" />\n"
                  "\t<CPHYSICOBJECT_BOX_SIZE x=\"%f\" y=\"%f\" z=\"%f\" />\n"
                  "\t<CPHYSICOBJECT_SPHERE_RADIUS value=\"%f\" />\n"
                  "\t<CPHYSICOBJECT_CAPSULE_HEIGHT value=\"1\" />\n"
                  "\t<CPHYSICOBJECT_CAPSULE_RADIUS value=\"1\" />\n"
                  "\t<CPHYSICOBJECT_TRANSFORM>\n"
                  "\t\t<Elem val0-0=\"1\" val0-1=\"0\" val0-2=\"0\" val0-3=\"%f\"/>\n"
                  "\t\t<Elem val1-0=\"0\" val1-1=\"1\" val1-2=\"0\" val1-3=\"%f\"/>\n"
                  "\t\t<Elem val2-0=\"0\" val2-1=\"0\" val2-2=\"1\" val2-3=\"%f\"/>\n"
                  "\t\t<Elem val3-0=\"0\" val3-1=\"0\" val3-2=\"0\" val3-3=\"1\"/>\n"
                  "\t</CPHYSICOBJECT_TRANSFORM>\n"
                  "\t<CPHYSICOBJECT_MATERIAL_ID value=\"%s\"/>\n"
                  "</KEM_PHYSIC_OBJECT_VARLIST>\n",
                  node.c_str(), actorType, shape, mass, sx, sy, sz, sx, ox, oy, oz, material.c_str());
    return text;
}

inline std::string BallJoint(const std::string& node1, const std::string& node2, float ax, float ay, float az)
{
    char text[1024];
    std::snprintf(text, sizeof(text),
                  "<KEM_PHYSIC_JOINT_VARLIST>\n"
                  "\t<CPHYSICJOINT_LINKED_KEM_SN1 value=\"%s\"/>\n"
                  "\t<CPHYSICJOINT_LINKED_KEM_SN2 value=\"%s\"/>\n"
                  "\t<CPHYSICJOINT_TYPE value=\"1\" />\n"
                  "\t<CPHYSICJOINTBALL_ANCHOR x=\"%f\" y=\"%f\" z=\"%f\" />\n"
                  "</KEM_PHYSIC_JOINT_VARLIST>\n",
                  node1.c_str(), node2.c_str(), ax, ay, az);
    return text;
}

// A ball-joint record whose anchor lacks its coordinates.
inline std::string BrokenBallJoint(const std::string& node1, const std::string& node2)
{
    return "<KEM_PHYSIC_JOINT_VARLIST>\n\t<CPHYSICJOINT_LINKED_KEM_SN1 value=\"" + node1 +
           "\"/>\n\t<CPHYSICJOINT_LINKED_KEM_SN2 value=\"" + node2 +
           "\"/>\n\t<CPHYSICJOINT_TYPE value=\"1\" />\n\t<CPHYSICJOINTBALL_ANCHOR />\n</KEM_PHYSIC_JOINT_VARLIST>\n";
}

inline std::string Root(const std::string& body) { return "<ROOT>\n" + body + "</ROOT>\n"; }

}  // namespace scenetext
