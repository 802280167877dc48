// Typed variables (CKEMVar kinds) and variable lists (CKEMVarList).
#include "CKEMVar.h"
#include "CMarkup.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// What a variable's WriteXml prints.
std::string Written(CKEMVar& var) {
    FILE* f = std::tmpfile();
    EXPECT_NE(f, nullptr);
    EXPECT_TRUE(var.WriteXml(f));
    std::string out;
    long size = std::ftell(f);
    out.resize(static_cast<size_t>(size));
    std::rewind(f);
    out.resize(std::fread(&out[0], 1, out.size(), f));
    std::fclose(f);
    return out;
}

// An owner with one variable of every kind, declared as engine objects do.
class CAllKinds : public CKEMVarList {
public:
    std::string mName = "default";
    int32_t mInt = -7;
    uint32_t mU32 = 7;
    uint16_t mUShort = 20;
    bool mBool = false;
    float mFloat = 0.25f;
    Ogre::Quaternion mQuat = Ogre::Quaternion::IDENTITY;
    Ogre::Vector3 mVec = Ogre::Vector3(1, 2, 3);
    std::vector<Ogre::Vector3> mPoints{Ogre::Vector3(9, 9, 9)};
    Ogre::Matrix4 mMatrix = Ogre::Matrix4::IDENTITY;
    Ogre::ColourValue mColour = Ogre::ColourValue(0.5f, 0.5f, 0.5f, 1.0f);

    CKEMVarStringRef mNameVar;
    CKEMVarInt mIntVar;
    CKEMVarU32 mU32Var;
    CKEMVarUnsignedShortInt mUShortVar;
    CKEMVarBool mBoolVar;
    CKEMVarFloat mFloatVar;
    CKEMVarQuaternion mQuatVar;
    CKEMVarVector3 mVecVar;
    CKEMVarVectorPointRef mPointsVar;
    CKEMVarMatrix4 mMatrixVar;
    CKEMVarColorRef mColourVar;

    CAllKinds() {
        RegisterVar(mNameVar, "T_NAME", &mName);
        RegisterVar(mIntVar, "T_INT", &mInt);
        RegisterVar(mU32Var, "T_U32", &mU32);
        RegisterVar(mUShortVar, "T_USHORT", &mUShort);
        RegisterVar(mBoolVar, "T_BOOL", &mBool);
        RegisterVar(mFloatVar, "T_FLOAT", &mFloat);
        RegisterVar(mQuatVar, "T_QUAT", &mQuat);
        RegisterVar(mVecVar, "T_VEC", &mVec);
        RegisterVar(mPointsVar, "T_POINTS", &mPoints);
        RegisterVar(mMatrixVar, "T_MATRIX", &mMatrix);
        RegisterVar(mColourVar, "T_COLOUR", &mColour);
    }
};

// Two variables A then B, for forward-only reading.
class CTwo : public CKEMVarList {
public:
    int32_t mA = 1;
    int32_t mB = 2;
    CKEMVarInt mAVar;
    CKEMVarInt mBVar;
    CTwo() {
        RegisterVar(mAVar, "A", &mA);
        RegisterVar(mBVar, "B", &mB);
    }
};

// Reads one variable element: the markup stands on <NAME .../> inside <L>.
template <class Var, class T>
bool ReadOne(const std::string& element, const char* name, T& storage) {
    std::string doc = "<L>" + element + "</L>";
    CMarkup m(doc.c_str());
    EXPECT_TRUE(m.IsWellFormed()) << doc << ": " << m.GetError().GetBuffer();
    KEMLinkedList<CKEMVar> list;
    Var var;
    var.Register(&list, name, &storage);
    EXPECT_TRUE(m.FindElem("L"));
    m.IntoElem();
    EXPECT_TRUE(m.FindElem(name));
    return var.ReadXml(m);
}

}  // namespace

// ---------------------------------------------------------------------------
// Registration and type codes

TEST(KEMVar, KindsCarryTheirTypeCodes) {
    EXPECT_EQ(CKEMVarStringRef().GetType(), 2);
    EXPECT_EQ(CKEMVarInt().GetType(), 5);
    EXPECT_EQ(CKEMVarU32().GetType(), 6);
    EXPECT_EQ(CKEMVarUnsignedShortInt().GetType(), 8);
    EXPECT_EQ(CKEMVarBool().GetType(), 9);
    EXPECT_EQ(CKEMVarFloat().GetType(), 10);
    EXPECT_EQ(CKEMVarQuaternion().GetType(), 12);
    EXPECT_EQ(CKEMVarVector3().GetType(), 13);
    EXPECT_EQ(CKEMVarVectorPointRef().GetType(), 14);
    EXPECT_EQ(CKEMVarMatrix4().GetType(), 15);
    EXPECT_EQ(CKEMVarColorRef().GetType(), 17);
}

TEST(KEMVar, NewVariableHasNoNameNoStorageNoLinks) {
    CKEMVarFloat v;
    EXPECT_STREQ(v.GetName(), "");
    EXPECT_EQ(v.GetStorage(), nullptr);
    EXPECT_EQ(v.GetPrev(), nullptr);
    EXPECT_EQ(v.GetNext(), nullptr);
}

TEST(KEMVar, RegisterAppendsInOrder) {
    CAllKinds o;
    const KEMLinkedList<CKEMVar>* list = o.GetVarList();
    EXPECT_EQ(list->GetCount(), 11);
    EXPECT_EQ(list->GetHead(), &o.mNameVar);
    EXPECT_EQ(list->GetTail(), &o.mColourVar);
    EXPECT_FALSE(list->OwnsItems());
    EXPECT_EQ(o.mNameVar.GetPrev(), nullptr);
    EXPECT_EQ(o.mNameVar.GetNext(), &o.mIntVar);
    EXPECT_EQ(o.mIntVar.GetPrev(), &o.mNameVar);
    EXPECT_EQ(o.mColourVar.GetNext(), nullptr);
    EXPECT_STREQ(o.mVecVar.GetName(), "T_VEC");
    EXPECT_EQ(o.mVecVar.GetStorage(), &o.mVec);
    EXPECT_EQ(o.FindVar("T_BOOL"), &o.mBoolVar);
    EXPECT_EQ(o.FindVar("T_NONE"), nullptr);
}

TEST(KEMVar, NameOf31CharactersIsKept) {
    KEMLinkedList<CKEMVar> list;
    CKEMVarInt v;
    int32_t value = 0;
    const std::string name(31, 'N');
    v.Register(&list, name.c_str(), &value);
    EXPECT_EQ(std::string(v.GetName()), name);
}

TEST(KEMVarDeathTest, NameOf32CharactersAsserts) {
    setenv("TAVIRELO_NO_MESSAGEBOX", "1", 1);
    EXPECT_DEATH(
        {
            KEMLinkedList<CKEMVar> list;
            CKEMVarInt v;
            int32_t value = 0;
            v.Register(&list, std::string(32, 'N').c_str(), &value);
        },
        "ASSERT failed");
}

TEST(KEMVarList, DeleteAllDeletesHeapVariables) {
    CKEMVarList list;
    int32_t a = 0, b = 0;
    (new CKEMVarInt)->Register(list.GetVarList(), "A", &a);
    (new CKEMVarInt)->Register(list.GetVarList(), "B", &b);
    EXPECT_EQ(list.GetVarList()->GetCount(), 2);
    list.DeleteAll();
    EXPECT_EQ(list.GetVarList()->GetCount(), 0);
    EXPECT_EQ(list.GetVarList()->GetHead(), nullptr);
    EXPECT_EQ(list.GetVarList()->GetTail(), nullptr);
}

// ---------------------------------------------------------------------------
// WriteXml forms

TEST(KEMVarWrite, ScalarForms) {
    CAllKinds o;
    o.mName = "node";
    o.mInt = -12;
    o.mU32 = 4294967295u;
    o.mUShort = 65535;
    o.mBool = true;
    o.mFloat = 1.5f;
    EXPECT_EQ(Written(o.mNameVar), "value=\"node\"");
    EXPECT_EQ(Written(o.mIntVar), "value=\"-12\" ");
    EXPECT_EQ(Written(o.mU32Var), "value=\"4294967295\" ");
    EXPECT_EQ(Written(o.mUShortVar), "value=\"65535\" ");
    EXPECT_EQ(Written(o.mBoolVar), "value=\"1\" ");
    o.mBool = false;
    EXPECT_EQ(Written(o.mBoolVar), "value=\"0\" ");
    EXPECT_EQ(Written(o.mFloatVar), "value=\"1.500000\" ");
}

TEST(KEMVarWrite, StringEscapesWhatTheReaderDecodes) {
    CAllKinds o;
    o.mName = "a<b>&'\"";
    EXPECT_EQ(Written(o.mNameVar), "value=\"a&lt;b&gt;&amp;&apos;&quot;\"");
}

TEST(KEMVarWrite, VectorQuaternionColourForms) {
    CAllKinds o;
    o.mVec = Ogre::Vector3(1.0f, -2.5f, 0.0f);
    o.mQuat = Ogre::Quaternion(0.5f, 0.1f, 0.2f, 0.3f);  // w, x, y, z
    o.mColour = Ogre::ColourValue(1.0f, 0.5f, 0.25f, 0.0f);
    EXPECT_EQ(Written(o.mVecVar), "x=\"1.000000\" y=\"-2.500000\" z=\"0.000000\" ");
    EXPECT_EQ(Written(o.mQuatVar), "x=\"0.100000\" y=\"0.200000\" z=\"0.300000\" w=\"0.500000\" ");
    EXPECT_EQ(Written(o.mColourVar), "r=\"1.000000\" g=\"0.500000\" b=\"0.250000\" a=\"0.000000\" ");
}

TEST(KEMVarWrite, EmptyPointListPrintsCountThenEndTag) {
    CAllKinds o;
    o.mPoints.clear();
    EXPECT_EQ(Written(o.mPointsVar), "Nb_Points=\"0\" ></T_POINTS>");
}

TEST(KEMVarWrite, PointListForm) {
    CAllKinds o;
    o.mPoints = {Ogre::Vector3(1, 2, 3), Ogre::Vector3(-1, 0, 0.5f)};
    EXPECT_EQ(Written(o.mPointsVar),
              "Nb_Points=\"2\" >"
              "<Point x=\"1.000000\" y=\"2.000000\" z=\"3.000000\" />"
              "<Point x=\"-1.000000\" y=\"0.000000\" z=\"0.500000\" />"
              "</T_POINTS>");
}

TEST(KEMVarWrite, MatrixForm) {
    CAllKinds o;
    EXPECT_EQ(Written(o.mMatrixVar),
              ">"
              "<Elem val0-0=\"1.000000\" val0-1=\"0.000000\" val0-2=\"0.000000\" val0-3=\"0.000000\" />"
              "<Elem val1-0=\"0.000000\" val1-1=\"1.000000\" val1-2=\"0.000000\" val1-3=\"0.000000\" />"
              "<Elem val2-0=\"0.000000\" val2-1=\"0.000000\" val2-2=\"1.000000\" val2-3=\"0.000000\" />"
              "<Elem val3-0=\"0.000000\" val3-1=\"0.000000\" val3-2=\"0.000000\" val3-3=\"1.000000\" />"
              "</T_MATRIX>");
}

// ---------------------------------------------------------------------------
// ReadXml per kind

TEST(KEMVarRead, Scalars) {
    int32_t i = 0;
    EXPECT_TRUE(ReadOne<CKEMVarInt>("<V value=\"-42\"/>", "V", i));
    EXPECT_EQ(i, -42);
    uint32_t u = 0;
    EXPECT_TRUE(ReadOne<CKEMVarU32>("<V value='4294967295'/>", "V", u));
    EXPECT_EQ(u, 4294967295u);
    float f = 0;
    EXPECT_TRUE(ReadOne<CKEMVarFloat>("<V value=\"0.5\"/>", "V", f));
    EXPECT_FLOAT_EQ(f, 0.5f);
    std::string s = "x";
    EXPECT_TRUE(ReadOne<CKEMVarStringRef>("<V value=\"hello world\"/>", "V", s));
    EXPECT_EQ(s, "hello world");
}

TEST(KEMVarRead, BoolIsNonZero) {
    bool b = false;
    EXPECT_TRUE(ReadOne<CKEMVarBool>("<V value=\"2\"/>", "V", b));
    EXPECT_TRUE(b);
    EXPECT_TRUE(ReadOne<CKEMVarBool>("<V value=\"0\"/>", "V", b));
    EXPECT_FALSE(b);
    b = true;
    EXPECT_TRUE(ReadOne<CKEMVarBool>("<V value=\"true\"/>", "V", b));  // atoi("true") = 0
    EXPECT_FALSE(b);
}

TEST(KEMVarRead, UnsignedShortKeepsTheLow16Bits) {
    uint16_t u = 0;
    EXPECT_TRUE(ReadOne<CKEMVarUnsignedShortInt>("<V value=\"65537\"/>", "V", u));
    EXPECT_EQ(u, 1);
    EXPECT_TRUE(ReadOne<CKEMVarUnsignedShortInt>("<V value=\"-1\"/>", "V", u));
    EXPECT_EQ(u, 65535);
}

TEST(KEMVarRead, MalformedNumbersReadAsTheConversionGivesThem) {
    int32_t i = 5;
    EXPECT_TRUE(ReadOne<CKEMVarInt>("<V value=\"abc\"/>", "V", i));
    EXPECT_EQ(i, 0);
    EXPECT_TRUE(ReadOne<CKEMVarInt>("<V value=\" 12xyz\"/>", "V", i));
    EXPECT_EQ(i, 12);
    float f = 1;
    EXPECT_TRUE(ReadOne<CKEMVarFloat>("<V value=\"2.5e1m\"/>", "V", f));
    EXPECT_FLOAT_EQ(f, 25.0f);
}

TEST(KEMVarRead, MissingEmptyOrUnquotedValueFailsAndKeepsTheMember) {
    int32_t i = 5;
    EXPECT_FALSE(ReadOne<CKEMVarInt>("<V/>", "V", i));
    EXPECT_FALSE(ReadOne<CKEMVarInt>("<V value=\"\"/>", "V", i));
    EXPECT_FALSE(ReadOne<CKEMVarInt>("<V value=3 />", "V", i));
    EXPECT_EQ(i, 5);
    float f = 1.5f;
    EXPECT_FALSE(ReadOne<CKEMVarFloat>("<V val=\"2\"/>", "V", f));
    EXPECT_FLOAT_EQ(f, 1.5f);
    bool b = true;
    EXPECT_FALSE(ReadOne<CKEMVarBool>("<V/>", "V", b));
    EXPECT_TRUE(b);
}

TEST(KEMVarRead, StringNeverFailsAndDecodesEntities) {
    std::string s = "old";
    EXPECT_TRUE(ReadOne<CKEMVarStringRef>("<V value=\"&lt;x&gt;\"/>", "V", s));
    EXPECT_EQ(s, "<x>");
    EXPECT_TRUE(ReadOne<CKEMVarStringRef>("<V/>", "V", s));
    EXPECT_EQ(s, "");
    s = "old";
    EXPECT_TRUE(ReadOne<CKEMVarStringRef>("<V value=''/>", "V", s));
    EXPECT_EQ(s, "");
}

TEST(KEMVarRead, Vector3NeedsAllThree) {
    Ogre::Vector3 v(7, 7, 7);
    EXPECT_TRUE(ReadOne<CKEMVarVector3>("<V x=\"1\" y=\"-2\" z=\"3.5\"/>", "V", v));
    EXPECT_EQ(v, Ogre::Vector3(1, -2, 3.5f));
    v = Ogre::Vector3(7, 7, 7);
    EXPECT_FALSE(ReadOne<CKEMVarVector3>("<V x=\"1\" y=\"2\"/>", "V", v));
    EXPECT_FALSE(ReadOne<CKEMVarVector3>("<V x=\"1\" y=\"\" z=\"3\"/>", "V", v));
    EXPECT_FALSE(ReadOne<CKEMVarVector3>("<V y=\"2\" z=\"3\"/>", "V", v));
    EXPECT_EQ(v, Ogre::Vector3(7, 7, 7));
}

TEST(KEMVarRead, QuaternionNeedsAllFour) {
    Ogre::Quaternion q = Ogre::Quaternion::IDENTITY;
    EXPECT_TRUE(ReadOne<CKEMVarQuaternion>("<V x=\"0.1\" y=\"0.2\" z=\"0.3\" w=\"0.4\"/>", "V", q));
    EXPECT_FLOAT_EQ(q.w, 0.4f);
    EXPECT_FLOAT_EQ(q.x, 0.1f);
    EXPECT_FLOAT_EQ(q.y, 0.2f);
    EXPECT_FLOAT_EQ(q.z, 0.3f);
    Ogre::Quaternion before = q;
    EXPECT_FALSE(ReadOne<CKEMVarQuaternion>("<V x=\"9\" y=\"9\" z=\"9\"/>", "V", q));
    EXPECT_EQ(q, before);
}

TEST(KEMVarRead, ColourNeedsAllFour) {
    Ogre::ColourValue c(0, 0, 0, 0);
    EXPECT_TRUE(ReadOne<CKEMVarColorRef>("<V r=\"1\" g=\"0.5\" b=\"0.25\" a=\"0.75\"/>", "V", c));
    EXPECT_EQ(c, Ogre::ColourValue(1, 0.5f, 0.25f, 0.75f));
    EXPECT_FALSE(ReadOne<CKEMVarColorRef>("<V r=\"0\" g=\"0\" b=\"0\"/>", "V", c));
    EXPECT_EQ(c, Ogre::ColourValue(1, 0.5f, 0.25f, 0.75f));
}

TEST(KEMVarRead, MatrixReadsFourRows) {
    Ogre::Matrix4 m = Ogre::Matrix4::ZERO;
    std::string element = "<M>";
    for (int r = 0; r < 4; ++r) {
        element += "<Elem";
        for (int c = 0; c < 4; ++c)
            element += " val" + std::to_string(r) + "-" + std::to_string(c) + "=\"" + std::to_string(r * 4 + c) + "\"";
        element += "/>";
    }
    element += "</M>";
    EXPECT_TRUE(ReadOne<CKEMVarMatrix4>(element, "M", m));
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_FLOAT_EQ(m[r][c], static_cast<float>(r * 4 + c));
}

TEST(KEMVarRead, MatrixWithThreeRowsFailsAfterStoringThem) {
    Ogre::Matrix4 m = Ogre::Matrix4::ZERO;
    const std::string element =
        "<M><Elem val0-0='1' val0-1='2' val0-2='3' val0-3='4'/>"
        "<Elem val1-0='5' val1-1='6' val1-2='7' val1-3='8'/>"
        "<Other/>"
        "<Elem val2-0='9' val2-1='10' val2-2='11' val2-3='12'/></M>";
    EXPECT_FALSE(ReadOne<CKEMVarMatrix4>(element, "M", m));
    EXPECT_FLOAT_EQ(m[0][0], 1);
    EXPECT_FLOAT_EQ(m[1][3], 8);
    EXPECT_FLOAT_EQ(m[2][3], 12);
    EXPECT_FLOAT_EQ(m[3][3], 0);
}

TEST(KEMVarRead, MatrixRowWithoutItsLastColumnFailsUnstored) {
    Ogre::Matrix4 m = Ogre::Matrix4::ZERO;
    const std::string element =
        "<M><Elem val0-0='1' val0-1='2' val0-2='3' val0-3='4'/>"
        "<Elem val1-0='5' val1-1='6' val1-2='7'/>"
        "<Elem val2-0='9' val2-1='10' val2-2='11' val2-3='12'/>"
        "<Elem val3-0='9' val3-1='10' val3-2='11' val3-3='12'/></M>";
    EXPECT_FALSE(ReadOne<CKEMVarMatrix4>(element, "M", m));
    EXPECT_FLOAT_EQ(m[0][3], 4);
    EXPECT_FLOAT_EQ(m[1][0], 0);  // the incomplete row is not stored
    EXPECT_FLOAT_EQ(m[2][0], 0);  // and reading stopped there
}

TEST(KEMVarRead, MatrixRowNumbersComeFromTheRowNotTheElement) {
    // The reader asks row r for "valr-c": an Elem carrying another row's
    // names in row 0's place fails.
    Ogre::Matrix4 m = Ogre::Matrix4::ZERO;
    EXPECT_FALSE(ReadOne<CKEMVarMatrix4>("<M><Elem val1-0='1' val1-1='1' val1-2='1' val1-3='1'/></M>", "M", m));
}

TEST(KEMVarRead, PointsAreTheChildren) {
    std::vector<Ogre::Vector3> pts{Ogre::Vector3(5, 5, 5)};
    EXPECT_TRUE(ReadOne<CKEMVarVectorPointRef>(
        "<P Nb_Points=\"99\"><Point x='1' y='2' z='3'/><Junk/><Point x='4' y='5' z='6'/></P>", "P", pts));
    ASSERT_EQ(pts.size(), 2u);  // Nb_Points is not read
    EXPECT_EQ(pts[0], Ogre::Vector3(1, 2, 3));
    EXPECT_EQ(pts[1], Ogre::Vector3(4, 5, 6));
}

TEST(KEMVarRead, NoPointGivesAnEmptyList) {
    std::vector<Ogre::Vector3> pts{Ogre::Vector3(5, 5, 5)};
    EXPECT_TRUE(ReadOne<CKEMVarVectorPointRef>("<P Nb_Points=\"0\" ></P>", "P", pts));
    EXPECT_TRUE(pts.empty());
    pts.push_back(Ogre::Vector3::ZERO);
    EXPECT_TRUE(ReadOne<CKEMVarVectorPointRef>("<P/>", "P", pts));
    EXPECT_TRUE(pts.empty());
}

TEST(KEMVarRead, PointWithoutZFailsAndKeepsTheEarlierPoints) {
    std::vector<Ogre::Vector3> pts;
    EXPECT_FALSE(ReadOne<CKEMVarVectorPointRef>(
        "<P><Point x='1' y='2' z='3'/><Point x='4' y='5'/><Point x='7' y='8' z='9'/></P>", "P", pts));
    ASSERT_EQ(pts.size(), 1u);
    EXPECT_EQ(pts[0], Ogre::Vector3(1, 2, 3));
}

// ---------------------------------------------------------------------------
// LoadFromXml

TEST(KEMVarListLoad, ReadsEveryKind) {
    const char* doc =
        "<ROOT><LIST>"
        "<T_NAME value=\"ball &amp; chain\"/>"
        "<T_INT value=\"-3\" />"
        "<T_U32 value=\"3000000000\" />"
        "<T_USHORT value=\"65537\" />"
        "<T_BOOL value=\"1\" />"
        "<T_FLOAT value=\"2.75\" />"
        "<T_QUAT x=\"0\" y=\"1\" z=\"0\" w=\"0\" />"
        "<T_VEC x=\"0\" y=\"-9.81\" z=\"0\" />"
        "<T_POINTS Nb_Points=\"1\" ><Point x=\"1\" y=\"1\" z=\"1\" /></T_POINTS>"
        "<T_MATRIX ><Elem val0-0=\"2\" val0-1=\"0\" val0-2=\"0\" val0-3=\"0\" />"
        "<Elem val1-0=\"0\" val1-1=\"2\" val1-2=\"0\" val1-3=\"0\" />"
        "<Elem val2-0=\"0\" val2-1=\"0\" val2-2=\"2\" val2-3=\"0\" />"
        "<Elem val3-0=\"0\" val3-1=\"0\" val3-2=\"0\" val3-3=\"1\" /></T_MATRIX>"
        "<T_COLOUR r=\"0.1\" g=\"0.2\" b=\"0.3\" a=\"0.4\" />"
        "</LIST></ROOT>";
    CMarkup m(doc);
    ASSERT_TRUE(m.FindElem("ROOT"));
    m.IntoElem();
    CAllKinds o;
    ASSERT_TRUE(o.LoadFromXml(m, "LIST"));
    EXPECT_EQ(o.mName, "ball & chain");
    EXPECT_EQ(o.mInt, -3);
    EXPECT_EQ(o.mU32, 3000000000u);
    EXPECT_EQ(o.mUShort, 1);
    EXPECT_TRUE(o.mBool);
    EXPECT_FLOAT_EQ(o.mFloat, 2.75f);
    EXPECT_EQ(o.mQuat, Ogre::Quaternion(0, 0, 1, 0));
    EXPECT_EQ(o.mVec, Ogre::Vector3(0, -9.81f, 0));
    ASSERT_EQ(o.mPoints.size(), 1u);
    EXPECT_EQ(o.mMatrix, Ogre::Matrix4(2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1));
    EXPECT_EQ(o.mColour, Ogre::ColourValue(0.1f, 0.2f, 0.3f, 0.4f));
    // Back at the level of the list element, standing on it.
    EXPECT_EQ(m.GetTagName().ToString(), "LIST");
    EXPECT_TRUE(m.OutOfElem());
    EXPECT_EQ(m.GetTagName().ToString(), "ROOT");
}

TEST(KEMVarListLoad, MissingListElementFailsWithPositionUnchanged) {
    CMarkup m("<ROOT><OTHER/><LIST2/></ROOT>");
    ASSERT_TRUE(m.FindElem("ROOT"));
    m.IntoElem();
    ASSERT_TRUE(m.FindElem("OTHER"));
    CTwo o;
    EXPECT_FALSE(o.LoadFromXml(m, "LIST"));
    EXPECT_EQ(m.GetTagName().ToString(), "OTHER");
    EXPECT_EQ(o.mA, 1);
    EXPECT_EQ(o.mB, 2);
}

TEST(KEMVarListLoad, EmptyListKeepsTheDefaults) {
    CMarkup m("<ROOT><LIST></LIST></ROOT>");
    ASSERT_TRUE(m.FindElem("ROOT"));
    m.IntoElem();
    CAllKinds o;
    EXPECT_TRUE(o.LoadFromXml(m, "LIST"));
    EXPECT_EQ(o.mName, "default");
    EXPECT_EQ(o.mInt, -7);
    EXPECT_EQ(o.mVec, Ogre::Vector3(1, 2, 3));
    ASSERT_EQ(o.mPoints.size(), 1u);
}

TEST(KEMVarListLoad, ReadingIsForwardOnly) {
    // B's element stands before A's: A is read, B keeps its default.
    CMarkup m("<ROOT><LIST><B value=\"20\"/><X/><A value=\"10\"/></LIST></ROOT>");
    ASSERT_TRUE(m.FindElem("ROOT"));
    m.IntoElem();
    CTwo o;
    EXPECT_TRUE(o.LoadFromXml(m, "LIST"));
    EXPECT_EQ(o.mA, 10);
    EXPECT_EQ(o.mB, 2);
}

TEST(KEMVarListLoad, OtherElementsBetweenArePassedOver) {
    CMarkup m("<ROOT><LIST><Z/><A value=\"10\"/><Y value=\"x\"/><B value=\"20\"/></LIST></ROOT>");
    ASSERT_TRUE(m.FindElem("ROOT"));
    m.IntoElem();
    CTwo o;
    EXPECT_TRUE(o.LoadFromXml(m, "LIST"));
    EXPECT_EQ(o.mA, 10);
    EXPECT_EQ(o.mB, 20);
}

TEST(KEMVarListLoad, TagNamesAreCaseSensitive) {
    CMarkup m("<ROOT><LIST><a value=\"10\"/><B value=\"20\"/></LIST></ROOT>");
    ASSERT_TRUE(m.FindElem("ROOT"));
    m.IntoElem();
    CTwo o;
    EXPECT_TRUE(o.LoadFromXml(m, "LIST"));
    EXPECT_EQ(o.mA, 1);
    EXPECT_EQ(o.mB, 20);
}

TEST(KEMVarListLoad, BadVariableStopsTheReadInsideTheList) {
    CMarkup m("<ROOT><LIST><A value=10/><B value=\"20\"/></LIST><NEXT/></ROOT>");
    ASSERT_TRUE(m.FindElem("ROOT"));
    m.IntoElem();
    CTwo o;
    EXPECT_FALSE(o.LoadFromXml(m, "LIST"));
    EXPECT_EQ(o.mA, 1);
    EXPECT_EQ(o.mB, 2);  // not read after the failure
    EXPECT_EQ(m.GetTagName().ToString(), "A");  // still inside the list element
    EXPECT_FALSE(m.FindElem("NEXT"));
}

TEST(KEMVarListLoad, FailureInsideAMatrixLeavesThatElement) {
    class COwner : public CKEMVarList {
    public:
        Ogre::Matrix4 mM = Ogre::Matrix4::IDENTITY;
        int32_t mAfter = 0;
        CKEMVarMatrix4 mMVar;
        CKEMVarInt mAfterVar;
        COwner() {
            RegisterVar(mMVar, "M", &mM);
            RegisterVar(mAfterVar, "AFTER", &mAfter);
        }
    } o;
    CMarkup m("<ROOT><L><M><Elem val0-0='1' val0-1='1' val0-2='1' val0-3='1'/></M><AFTER value='5'/></L></ROOT>");
    ASSERT_TRUE(m.FindElem("ROOT"));
    m.IntoElem();
    EXPECT_FALSE(o.LoadFromXml(m, "L"));
    EXPECT_EQ(o.mAfter, 0);
    EXPECT_EQ(m.GetTagName().ToString(), "M");
}

TEST(KEMVarListLoad, SuccessiveListsAreReadInTurn) {
    // As the physics loaders do: one object per list element, in order.
    CMarkup m(
        "<ROOT><L><A value='1'/></L><OTHER/><L><A value='2'/><B value='3'/></L><L><A value=bad/></L></ROOT>");
    ASSERT_TRUE(m.FindElem("ROOT"));
    m.IntoElem();
    CTwo first, second, third, fourth;
    EXPECT_TRUE(first.LoadFromXml(m, "L"));
    EXPECT_TRUE(second.LoadFromXml(m, "L"));
    EXPECT_FALSE(third.LoadFromXml(m, "L"));
    EXPECT_EQ(first.mA, 1);
    EXPECT_EQ(first.mB, 2);
    EXPECT_EQ(second.mA, 2);
    EXPECT_EQ(second.mB, 3);
    EXPECT_EQ(third.mA, 1);
    EXPECT_FALSE(fourth.LoadFromXml(m, "L"));
}

TEST(KEMVarListLoad, SameVariableNameTwiceReadsTwoElementsInTurn) {
    class CTwice : public CKEMVarList {
    public:
        int32_t mX = 0, mY = 0;
        CKEMVarInt mXVar, mYVar;
        CTwice() {
            RegisterVar(mXVar, "V", &mX);
            RegisterVar(mYVar, "V", &mY);
        }
    } o;
    CMarkup m("<R><L><V value='1'/><V value='2'/></L></R>");
    ASSERT_TRUE(m.FindElem("R"));
    m.IntoElem();
    EXPECT_TRUE(o.LoadFromXml(m, "L"));
    EXPECT_EQ(o.mX, 1);
    EXPECT_EQ(o.mY, 2);
}

TEST(KEMVarListLoad, WrittenListReadsBack) {
    CAllKinds out;
    out.mName = "a \"quoted\" <name> & more";
    out.mInt = -123456;
    out.mU32 = 4000000000u;
    out.mUShort = 40000;
    out.mBool = true;
    out.mFloat = -0.125f;
    out.mQuat = Ogre::Quaternion(0.5f, -0.5f, 0.5f, -0.5f);
    out.mVec = Ogre::Vector3(10.5f, -20.25f, 0.0f);
    out.mPoints = {Ogre::Vector3(1, 2, 3), Ogre::Vector3(4, 5, 6), Ogre::Vector3(-7, -8, -9)};
    out.mMatrix = Ogre::Matrix4(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    out.mColour = Ogre::ColourValue(0.125f, 0.25f, 0.5f, 1.0f);

    std::string text = "<ROOT>\n" + out.WriteXmlString("KEM_TEST_VARLIST") + "</ROOT>\n";
    CMarkup m(text.c_str());
    ASSERT_TRUE(m.IsWellFormed()) << m.GetError().GetBuffer() << "\n" << text;
    ASSERT_TRUE(m.FindElem("ROOT"));
    m.IntoElem();
    CAllKinds in;
    ASSERT_TRUE(in.LoadFromXml(m, "KEM_TEST_VARLIST")) << text;
    EXPECT_EQ(in.mName, out.mName);
    EXPECT_EQ(in.mInt, out.mInt);
    EXPECT_EQ(in.mU32, out.mU32);
    EXPECT_EQ(in.mUShort, out.mUShort);
    EXPECT_EQ(in.mBool, out.mBool);
    EXPECT_EQ(in.mFloat, out.mFloat);
    EXPECT_EQ(in.mQuat, out.mQuat);
    EXPECT_EQ(in.mVec, out.mVec);
    EXPECT_EQ(in.mPoints, out.mPoints);
    EXPECT_EQ(in.mMatrix, out.mMatrix);
    EXPECT_EQ(in.mColour, out.mColour);
}

TEST(KEMVarListLoad, WriterFormAroundEachVariable) {
    CTwo o;
    o.mA = 3;
    EXPECT_EQ(o.WriteXmlString("L"), "<L>\n\t<A value=\"3\" />\n\t<B value=\"2\" />\n</L>\n");
}

TEST(KEMVarDeathTest, RegisteringTwiceAsserts) {
    setenv("TAVIRELO_NO_MESSAGEBOX", "1", 1);
    EXPECT_DEATH(
        {
            KEMLinkedList<CKEMVar> first;
            KEMLinkedList<CKEMVar> second;
            CKEMVarInt a;
            CKEMVarInt b;
            int32_t value = 0;
            b.Register(&first, "B", &value);
            a.Register(&first, "A", &value);
            a.Register(&second, "A", &value);  // a is linked already
        },
        "ASSERT failed");
}
