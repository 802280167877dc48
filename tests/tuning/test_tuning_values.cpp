// Loading the tuning values and their derived values.
#include "TuningTestUtil.h"

#include <CConfigFileMap.h>
#include <DefaultContextSound.h>
#include <FXTuning.h>
#include <PhysicTricksEffects.h>
#include <TuningParameters.h>

#include <OgreMath.h>
#include <OgreMatrix3.h>
#include <OgreVector.h>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

using tuning_test::LogCapture;
using tuning_test::ScratchDir;

namespace {

// Every "tavirelo.cfg" variable by its key.
struct TavireloVar {
    const char* key;
    TuningKeyType type;
    void* address;
};

const std::vector<TavireloVar>& TavireloVars() {
#define VAR_BOOL(name) {#name, TUNING_KEY_BOOL, &name},
#define VAR_INT(name) {#name, TUNING_KEY_INT, &name},
#define VAR_FLOAT(name) {#name, TUNING_KEY_FLOAT, &name},
    static const std::vector<TavireloVar> vars = {TAVIRELO_TUNING_KEYS(VAR_BOOL, VAR_INT, VAR_FLOAT)};
#undef VAR_BOOL
#undef VAR_INT
#undef VAR_FLOAT
    return vars;
}

// Leaves the values as the game would have them: loaded from our media.
class TuningValues : public ::testing::Test {
protected:
    void TearDown() override { TuningLoadFromFolder(tuning_test::SourceMediaConfig()); }
};

bool MatricesNear(const Ogre::Matrix3& a, const Ogre::Matrix3& b, float tolerance = 1e-6f) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            if (std::fabs(a[r][c] - b[r][c]) > tolerance)
                return false;
    return true;
}

Ogre::Matrix3 RotationY(float degrees) {
    Ogre::Matrix3 m;
    m.FromAngleAxis(Ogre::Vector3::UNIT_Y, Ogre::Radian(Ogre::Degree(degrees)));
    return m;
}

}  // namespace

TEST_F(TuningValues, KeyListsHoldEveryKeyWithItsType) {
    EXPECT_EQ(TuningGetKeys(TUNING_TAVIRELO).size(), 95u);
    EXPECT_EQ(TuningGetKeys(TUNING_PHYSIC_TRICKS_EFFECTS).size(), 8u);
    EXPECT_EQ(TuningGetKeys(TUNING_FX).size(), 2u);
    EXPECT_EQ(TuningGetKeys(TUNING_DEFAULT_CONTEXT_SOUND).size(), 22u);
    int bools = 0, ints = 0, floats = 0;
    for (const TuningKeyInfo& key : TuningGetKeys(TUNING_TAVIRELO)) {
        bools += key.type == TUNING_KEY_BOOL;
        ints += key.type == TUNING_KEY_INT;
        floats += key.type == TUNING_KEY_FLOAT;
    }
    EXPECT_EQ(bools, 1);
    EXPECT_EQ(ints, 50);
    EXPECT_EQ(floats, 44);
    EXPECT_STREQ(TuningGetKeys(TUNING_TAVIRELO).front().key, "ENABLE_CHEAT");
    EXPECT_STREQ(TuningGetKeys(TUNING_TAVIRELO).back().key, "LACHER_POINTE_FRAME");
}

TEST_F(TuningValues, EveryTavireloKeyReachesItsVariable) {
    ScratchDir dir;
    std::ostringstream file;
    int i = 1;
    for (const TavireloVar& var : TavireloVars()) {
        if (var.type == TUNING_KEY_BOOL)
            file << var.key << " = yes\n";
        else if (var.type == TUNING_KEY_INT)
            file << var.key << " = " << i << "\n";
        else
            file << var.key << " = " << i << ".5\n";
        ++i;
    }
    dir.Write("tavirelo.cfg", file.str());
    TuningLoadFromFolder(dir.Folder());
    i = 1;
    for (const TavireloVar& var : TavireloVars()) {
        SCOPED_TRACE(var.key);
        if (var.type == TUNING_KEY_BOOL) {
            EXPECT_TRUE(*static_cast<bool*>(var.address));
        } else if (var.type == TUNING_KEY_INT) {
            EXPECT_EQ(*static_cast<int32_t*>(var.address), i);
        } else {
            EXPECT_FLOAT_EQ(*static_cast<float*>(var.address), i + 0.5f);
        }
        ++i;
    }
}

TEST_F(TuningValues, EmptyTavireloGivesZeroEverywhere) {
    ScratchDir dir;
    dir.Write("tavirelo.cfg", "");
    TuningLoadFromFolder(tuning_test::SourceMediaConfig());   // non-zero values first
    ASSERT_NE(TEMPS_JAUGE_POWER_MOYEN, 0.0f);
    TuningLoadFromFolder(dir.Folder());
    for (const TavireloVar& var : TavireloVars()) {
        SCOPED_TRACE(var.key);
        if (var.type == TUNING_KEY_BOOL) {
            EXPECT_FALSE(*static_cast<bool*>(var.address));
        } else if (var.type == TUNING_KEY_INT) {
            EXPECT_EQ(*static_cast<int32_t*>(var.address), 0);
        } else {
            EXPECT_EQ(*static_cast<float*>(var.address), 0.0f);
        }
    }
}

TEST_F(TuningValues, EnableCheatOnlyForYesOneTrue) {
    ScratchDir dir;
    const char* on[] = {"yes", "1", "true", "YES", "True"};
    const char* off[] = {"no", "0", "on", "2", "", "false", "yes please"};
    for (const char* text : on) {
        dir.Write("tavirelo.cfg", std::string("ENABLE_CHEAT = ") + text + "\n");
        TuningLoadFromFolder(dir.Folder());
        EXPECT_TRUE(ENABLE_CHEAT) << text;
    }
    for (const char* text : off) {
        dir.Write("tavirelo.cfg", std::string("ENABLE_CHEAT = ") + text + "\n");
        TuningLoadFromFolder(dir.Folder());
        EXPECT_FALSE(ENABLE_CHEAT) << text;
    }
}

TEST_F(TuningValues, LowerCaseKeyInPlaceOfUpperIsNotFound) {
    ScratchDir dir;
    dir.Write("tavirelo.cfg", "angle_max_tir = 45\nCOEF_ERROR_POWER_FACILE = 3\n");
    TuningLoadFromFolder(dir.Folder());
    EXPECT_EQ(ANGLE_MAX_TIR, 0);
    EXPECT_EQ(coef_error_power_facile, 0.0f);
}

TEST_F(TuningValues, DifficultySelectsTheTriple) {
    ScratchDir dir;
    dir.Write("tavirelo.cfg",
              "TEMPS_JAUGE_POWER_FACILE = 2500\nTEMPS_JAUGE_POWER_MOYEN = 2000\n"
              "TEMPS_JAUGE_POWER_DIFFICILE = 1500\n");
    TuningLoadFromFolder(dir.Folder());
    auto powerTime = [](int level) {
        return SelectByDifficulty(level, TEMPS_JAUGE_POWER_FACILE, TEMPS_JAUGE_POWER_MOYEN,
                                  TEMPS_JAUGE_POWER_DIFFICILE);
    };
    EXPECT_EQ(powerTime(0), 2500.0f);
    EXPECT_EQ(powerTime(1), 2000.0f);
    EXPECT_EQ(powerTime(2), 1500.0f);
    EXPECT_EQ(powerTime(5), 1500.0f);
    EXPECT_EQ(powerTime(-1), 1500.0f);
}

TEST_F(TuningValues, AngleSideEffect30GivesSixtyDegreeRotations) {
    ScratchDir dir;
    dir.Write("PhysicTricksEffects.cfg", "AngleSideEffect = 30\n");
    TuningLoadFromFolder(dir.Folder());
    EXPECT_FLOAT_EQ(AngleSideEffect, 60.0f);
    EXPECT_TRUE(MatricesNear(SideEffectRotationLeft, RotationY(-60.0f)));
    EXPECT_TRUE(MatricesNear(SideEffectRotationRight, RotationY(60.0f)));
    // -60 degrees about Y turns +X toward +Z.
    const Ogre::Vector3 turned = SideEffectRotationLeft * Ogre::Vector3::UNIT_X;
    EXPECT_NEAR(turned.x, 0.5f, 1e-6f);
    EXPECT_NEAR(turned.z, std::sqrt(3.0f) / 2.0f, 1e-6f);
}

TEST_F(TuningValues, AngleSideEffect90GivesIdentityRotations) {
    ScratchDir dir;
    dir.Write("PhysicTricksEffects.cfg", "AngleSideEffect = 90\n");
    TuningLoadFromFolder(dir.Folder());
    EXPECT_EQ(AngleSideEffect, 0.0f);
    EXPECT_TRUE(MatricesNear(SideEffectRotationLeft, Ogre::Matrix3::IDENTITY));
    EXPECT_TRUE(MatricesNear(SideEffectRotationRight, Ogre::Matrix3::IDENTITY));
}

TEST_F(TuningValues, SpinAndBrakeDerivedValues) {
    ScratchDir dir;
    dir.Write("PhysicTricksEffects.cfg",
              "AngularVelEffect = 1\nRetroBrakeFactor = 0.25\nLateralBrakeFactor = 0.6\n"
              "VelTresholdStab = 0.05\n");
    TuningLoadFromFolder(dir.Folder());
    EXPECT_EQ(AngularVelEffectRad, 6.2831855f);
    EXPECT_EQ(RetroBrakeComplement, 0.75f);
    EXPECT_FLOAT_EQ(LateralBrakeComplement, 0.4f);
    EXPECT_FLOAT_EQ(VelTresholdStab, 0.05f);
    // Braking for effect amount e: factor + (1 - e) x complement.
    EXPECT_FLOAT_EQ(RetroBrakeFactor + (1.0f - 0.0f) * RetroBrakeComplement, 1.0f);
    EXPECT_FLOAT_EQ(RetroBrakeFactor + (1.0f - 1.0f) * RetroBrakeComplement, 0.25f);
}

TEST_F(TuningValues, NoPhysicTricksKeysGiveTheirDefaults) {
    ScratchDir dir;
    dir.Write("PhysicTricksEffects.cfg", "# nothing\n");
    TuningLoadFromFolder(dir.Folder());
    EXPECT_EQ(RetroBrakeComplement, 1.0f);
    EXPECT_EQ(LateralBrakeComplement, 1.0f);
    EXPECT_EQ(AngularVelEffectRad, 0.0f);
    EXPECT_EQ(AngleSideEffect, 90.0f);
    EXPECT_TRUE(MatricesNear(SideEffectRotationLeft, RotationY(-90.0f)));
    EXPECT_TRUE(MatricesNear(SideEffectRotationRight, RotationY(90.0f)));
}

TEST_F(TuningValues, FxScales) {
    ScratchDir dir;
    dir.Write("FX.cfg", "dustScale = 1.5\ngravelScale: 0.25\n");
    TuningLoadFromFolder(dir.Folder());
    EXPECT_EQ(dustScale, 1.5f);
    EXPECT_EQ(gravelScale, 0.25f);
}

TEST_F(TuningValues, ContextSoundDerivedValues) {
    ScratchDir dir;
    dir.Write("DefaultContextSound.cfg",
              "HitGround = ground.wav\nHitBall = ball.wav\nHitWall = wall.wav\nRoll = roll.wav\n"
              "HitBallGainMin = 0.25\nHitBallGainMax = 1\nHitBallPitchMin = 0.5\nHitBallPitchMax = 2\n"
              "HitBallVelocityMin = 1\nHitBallVelocityMax = 3\n"
              "HitGroundVelocityMin = -2\nHitGroundVelocityMax = 4\n"
              "RollGroundVelocityMin = 0.5\nRollGroundVelocityMax = 0.5\n");
    TuningLoadFromFolder(dir.Folder());
    EXPECT_STREQ(HitGround, "ground.wav");
    EXPECT_STREQ(HitBall, "ball.wav");
    EXPECT_STREQ(HitWall, "wall.wav");
    EXPECT_STREQ(Roll, "roll.wav");
    EXPECT_EQ(HitBallGainRange, 0.75f);
    EXPECT_EQ(HitBallPitchRange, 1.5f);
    EXPECT_EQ(HitBallVelocityMin2, 1.0f);
    EXPECT_EQ(HitBallVelocityMax2, 9.0f);
    EXPECT_EQ(HitBallInvVelocityRange2, 0.125f);
    EXPECT_EQ(HitGroundVelocityMin2, 4.0f);   // a negative bound squares like its positive value
    EXPECT_EQ(HitGroundInvVelocityRange2, 1.0f / 12.0f);
    EXPECT_EQ(RollGroundInvVelocityRange2, 0.0f);   // equal bounds: no range, not 1 / 0
}

TEST_F(TuningValues, MissingFolderKeepsZeroDefaultsAndLogsEachPathOnce) {
    ScratchDir dir;
    const std::string folder = dir.Folder() + "absent/";
    LogCapture log;
    EXPECT_EQ(TuningLoadFromFolder(folder), 4);
    EXPECT_EQ(TuningGetUnreadableFiles().size(), 4u);
    for (int set = 0; set < TUNING_SET_COUNT; ++set) {
        const std::string path = folder + TuningGetFileName(static_cast<TuningSet>(set));
        EXPECT_EQ(LogCapture::CountContaining(path), 1u) << path;
        EXPECT_EQ(TuningGetMap(static_cast<TuningSet>(set)).GetCount(), 0u);
    }
    EXPECT_EQ(LogCapture::Lines().size(), 4u);
    EXPECT_FALSE(ENABLE_CHEAT);
    EXPECT_EQ(ANGLE_MAX_TIR, 0);
    EXPECT_EQ(TEMPS_JAUGE_POWER_MOYEN, 0.0f);
    EXPECT_EQ(dustScale, 0.0f);
    EXPECT_STREQ(HitGround, "");
    EXPECT_STREQ(Roll, "");
    EXPECT_EQ(HitBallInvVelocityRange2, 0.0f);
    EXPECT_EQ(AngleSideEffect, 90.0f);
}

TEST_F(TuningValues, FilesWithoutTheKeysTheGameReadsAreLoggedOnceEach) {
    const struct {
        const char* what;
        const char* text;
        const char* logged;   // null: nothing logged
    } cases[] = {
        {"empty", "", "yielded no keys"},
        {"garbage", "\x01\x02\xff binary junk\n;;;\n", "yielded no keys"},
        {"some keys", "HitGround = g.wav\nHitBallGainMin = 1\n", "lacks"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir;
        // The other three files are complete copies of ours.
        for (int set = 0; set < TUNING_SET_COUNT; ++set) {
            const std::string name = TuningGetFileName(static_cast<TuningSet>(set));
            std::ifstream in(tuning_test::SourceMediaConfig() + name, std::ios::binary);
            std::stringstream text;
            text << in.rdbuf();
            dir.Write(name, set == TUNING_DEFAULT_CONTEXT_SOUND ? std::string(c.text) : text.str());
        }
        LogCapture log;
        TuningLoadFromFolder(dir.Folder());
        const std::string path = dir.Folder() + "DefaultContextSound.cfg";
        EXPECT_EQ(LogCapture::CountContaining(path), 1u);
        EXPECT_EQ(LogCapture::CountContaining(c.logged), 1u);
        EXPECT_EQ(LogCapture::Lines().size(), 1u);   // the complete files say nothing
        EXPECT_TRUE(std::isfinite(HitBallInvVelocityRange2));
        EXPECT_TRUE(std::isfinite(RollGroundInvVelocityRange2));
    }
}

TEST_F(TuningValues, UnreadableFileIsLikeAMissingOne) {
    ScratchDir dir;
    dir.Write("FX.cfg", "dustScale = 2\n");
    // A folder where "tavirelo.cfg" should be: opens, cannot be read.
    ASSERT_EQ(std::system(("mkdir '" + dir.Folder() + "tavirelo.cfg'").c_str()), 0);
    LogCapture log;
    EXPECT_EQ(TuningLoadFromFolder(dir.Path()), 4 - 1);   // folder given without "/"
    EXPECT_EQ(TuningGetLoadedFolder(), dir.Folder());
    EXPECT_EQ(LogCapture::CountContaining(dir.Folder() + "tavirelo.cfg"), 1u);
    EXPECT_EQ(dustScale, 2.0f);
    EXPECT_EQ(ANGLE_MAX_TIR, 0);
}

TEST_F(TuningValues, ReloadReplacesEveryValue) {
    TuningLoadFromFolder(tuning_test::SourceMediaConfig());
    EXPECT_TRUE(TuningGetUnreadableFiles().empty());
    const CConfigFileMap& map = TuningGetMap(TUNING_TAVIRELO);
    EXPECT_EQ(TEMPS_JAUGE_POWER_MOYEN, map.GetFloat("TEMPS_JAUGE_POWER_MOYEN", 0.0f));
    EXPECT_EQ(ANGLE_MAX_TIR, map.GetInt("ANGLE_MAX_TIR", 0));
    EXPECT_STREQ(HitGround, TuningGetMap(TUNING_DEFAULT_CONTEXT_SOUND).GetString("HitGround", "").c_str());
    ScratchDir dir;
    dir.Write("tavirelo.cfg", "ANGLE_MAX_TIR = 12\n");
    TuningLoadFromFolder(dir.Folder());
    EXPECT_EQ(ANGLE_MAX_TIR, 12);
    EXPECT_EQ(TEMPS_JAUGE_POWER_MOYEN, 0.0f);
    EXPECT_STREQ(HitGround, "");
}
