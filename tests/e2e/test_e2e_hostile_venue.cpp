// Hostile venue, particle and language files in the real game: each is a
// well-formed file carrying values that cannot be played (a camera OGRE
// cannot project, a body on the venue's own node, a physics step that never
// fills, shapes too thin to collide, lights of NaN or 1e38, a particle file
// cut short, a NUL in a language line). The game loads La Ciotat with one,
// both sides played by the computer, and plays a few throws: the log names
// the file, the node and the attribute it refused, and the match goes on.
#include <E2EDriver.h>
#include <FrameChecks.h>

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const int kMatchMode = 0;
const unsigned kSeed = 20261211;
const int kThrows = 3;

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const fs::path& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// The run's media folder becomes a copy of its own (the driver links the
// shared one) so that one file in it can be changed.
fs::path OwnFolder(const e2e::GameRun& game, const char* folder)
{
    const fs::path link = game.Root() / "mediaDemo" / folder;
    const fs::path shared = fs::read_symlink(link);
    fs::remove(link);
    fs::copy(shared, link, fs::copy_options::recursive);
    return link;
}

// Replaces the first `from` after `after` in the file.
void Edit(const fs::path& file, const std::string& after, const std::string& from, const std::string& to)
{
    std::string text = ReadFile(file);
    const size_t start = text.find(after);
    ASSERT_NE(start, std::string::npos) << after;
    const size_t at = text.find(from, start);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
    WriteFile(file, text);
}

void Append(const fs::path& file, const std::string& records)
{
    std::string text = ReadFile(file);
    const size_t end = text.rfind("</ROOT>");
    ASSERT_NE(end, std::string::npos);
    text.insert(end, records);
    WriteFile(file, text);
}

fs::path Venue(const e2e::GameRun& game) { return OwnFolder(game, "Saved_Scenes") / "la_ciotat.xml"; }

std::string PointNode(const std::string& name)
{
    return "<KEM_SCENE_NODE_VARLIST>\n"
           "\t<CKEMSCENENODE_CLASSTYPE value=\"9\" />\n"
           "\t<CKEMSCENENODE_NAME value=\"" + name + "\"/>\n"
           "\t<CKEMSCENENODE_PARENTNAME value=\"KEM_ROOT\"/>\n"
           "\t<CKEMSCENENODE_POSITION_IC x=\"8\" y=\"2\" z=\"8\" />\n"
           "</KEM_SCENE_NODE_VARLIST>\n";
}

std::string Body(const std::string& node, int actor, int shape, const std::string& box, const std::string& radius)
{
    return "<KEM_PHYSIC_OBJECT_VARLIST>\n"
           "\t<CPHYSICOBJECT_KEMNODE_NAME value=\"" + node + "\"/>\n"
           "\t<CPHYSICOBJECT_ACTOR_TYPE value=\"" + std::to_string(actor) + "\" />\n"
           "\t<CPHYSICOBJECT_SHAPE_TYPE value=\"" + std::to_string(shape) + "\" />\n"
           "\t<CPHYSICOBJECT_MASS value=\"1\" />\n"
           "\t<CPHYSICOBJECT_BOX_SIZE x=\"" + box + "\" y=\"" + box + "\" z=\"" + box + "\" />\n"
           "\t<CPHYSICOBJECT_SPHERE_RADIUS value=\"" + radius + "\" />\n"
           "\t<CPHYSICOBJECT_MATERIAL_ID value=\"terrain\"/>\n"
           "</KEM_PHYSIC_OBJECT_VARLIST>\n";
}

struct HostileFile {
    const char* name;
    std::function<void(const e2e::GameRun&)> write;
    // Each must appear in one log line (the file, the node, the attribute).
    std::vector<std::vector<std::string>> lines;
};

void PrintTo(const HostileFile& file, std::ostream* out) { *out << file.name; }

std::string CameraValue(const char* attribute, const char* value)
{
    return "\t<" + std::string(attribute) + " value=\"" + value + "\" />";
}

const HostileFile kFiles[] = {
    {"camera_near_clip_tiny",
     [](const e2e::GameRun& game) {
         Edit(Venue(game), "\"CameraLancer\"", CameraValue("CKEMSCENECAMERA_MNEAR_CLIP", "0.050000"),
              CameraValue("CKEMSCENECAMERA_MNEAR_CLIP", "1e-40"));
     },
     {{"la_ciotat.xml", "\"CameraLancer\"", "CKEMSCENECAMERA_MNEAR_CLIP", "refused"}}},
    {"camera_fov_tiny",
     [](const e2e::GameRun& game) {
         Edit(Venue(game), "\"CameraLancer\"", CameraValue("CKEMSCENECAMERA_MFOV", "0.785398"),
              CameraValue("CKEMSCENECAMERA_MFOV", "1e-38"));
     },
     {{"la_ciotat.xml", "\"CameraLancer\"", "CKEMSCENECAMERA_MFOV", "refused"}}},
    {"camera_aspect_huge",
     [](const e2e::GameRun& game) {
         Edit(Venue(game), "\"CameraLancer\"", CameraValue("CKEMSCENECAMERA_MASPECT_RATIO", "1.333333"),
              CameraValue("CKEMSCENECAMERA_MASPECT_RATIO", "1e38"));
     },
     {{"la_ciotat.xml", "\"CameraLancer\"", "CKEMSCENECAMERA_MASPECT_RATIO", "refused"}}},
    {"body_on_terrain",
     [](const e2e::GameRun& game) { Append(Venue(game), Body("terrain", 1, 1, "1", "0.01")); },
     {{"la_ciotat.xml", "\"terrain\"", "CPHYSICOBJECT_ACTOR_TYPE", "refused"}}},
    {"body_on_terrain_without_shape",
     [](const e2e::GameRun& game) { Append(Venue(game), Body("terrain", 1, 9, "1", "1")); },
     {{"la_ciotat.xml", "\"terrain\"", "CPHYSICOBJECT_ACTOR_TYPE", "refused"}}},
    {"step_size_huge",
     [](const e2e::GameRun& game) {
         Edit(Venue(game), "KEM_PHYSIC_MGR_VARLIST", "STEP_SIZE value=\"0.002500\"", "STEP_SIZE value=\"1e30\"");
     },
     {{"la_ciotat.xml", "KEM_PHYSIC_MGR_VARLIST", "CPHYSICMGR_STEP_SIZE", "refused"}}},
    {"step_size_one_second",
     [](const e2e::GameRun& game) {
         Edit(Venue(game), "KEM_PHYSIC_MGR_VARLIST", "STEP_SIZE value=\"0.002500\"", "STEP_SIZE value=\"1.0\"");
     },
     {{"la_ciotat.xml", "KEM_PHYSIC_MGR_VARLIST", "CPHYSICMGR_STEP_SIZE", "refused"}}},
    {"shapes",
     [](const e2e::GameRun& game) {
         const fs::path venue = Venue(game);
         std::string text = ReadFile(venue);
         const size_t firstBody = text.find("<KEM_PHYSIC_OBJECT_VARLIST>");
         text.insert(firstBody, PointNode("crate") + PointNode("pebble") + PointNode("blob") + PointNode("ghost"));
         WriteFile(venue, text);
         Append(venue, Body("crate", 0, 0, "0", "1") + Body("pebble", 1, 1, "1", "1e-40") +
                           Body("blob", 0, 7, "1", "1") + Body("ghost", 5, 1, "1", "1"));
     },
     {{"la_ciotat.xml", "\"crate\"", "CPHYSICOBJECT_BOX_SIZE", "refused"},
      {"la_ciotat.xml", "\"pebble\"", "CPHYSICOBJECT_SPHERE_RADIUS", "refused"},
      {"la_ciotat.xml", "\"blob\"", "CPHYSICOBJECT_SHAPE_TYPE", "unknown"},
      {"la_ciotat.xml", "\"ghost\"", "CPHYSICOBJECT_ACTOR_TYPE", "unknown"}}},
    {"lights",
     [](const e2e::GameRun& game) {
         const fs::path venue = Venue(game);
         Edit(venue, "\"venue_light\"", "MTYPE value=\"0\"", "MTYPE value=\"99\"");
         Edit(venue, "\"venue_light\"", "MDIFFCOLOUR r=\"1.000000\"", "MDIFFCOLOUR r=\"nan\"");
         Edit(venue, "\"venue_light\"", "MSPECCOLOUR r=\"0.000000\"", "MSPECCOLOUR r=\"1e38\"");
         Edit(venue, "\"venue_light\"", "MDIRECTION x=\"0.000000\"", "MDIRECTION x=\"1e38\"");
     },
     {{"la_ciotat.xml", "\"venue_light\"", "CKEMSCENELIGHT_MTYPE", "unknown"},
      {"la_ciotat.xml", "\"venue_light\"", "CKEMSCENELIGHT_MDIFFCOLOUR", "refused"},
      {"la_ciotat.xml", "\"venue_light\"", "CKEMSCENELIGHT_MSPECCOLOUR", "refused"},
      {"la_ciotat.xml", "\"venue_light\"", "CKEMSCENELIGHT_MDIRECTION", "refused"}}},
    {"particle_file_cut_short",
     [](const e2e::GameRun& game) {
         const fs::path particles = OwnFolder(game, "Particles");
         const std::string whole = ReadFile(particles / "poussiere.pfx");
         ASSERT_GT(whole.size(), 16u);
         WriteFile(particles / "cut.pfx", whole.substr(0, whole.size() - 3));
         const fs::path venue = Venue(game);
         std::string text = ReadFile(venue);
         text.insert(text.find("<KEM_PHYSIC_OBJECT_VARLIST>"),
                     "<KEM_SCENE_NODE_VARLIST>\n"
                     "\t<CKEMSCENENODE_CLASSTYPE value=\"11\" />\n"
                     "\t<CKEMSCENENODE_NAME value=\"sea_spray\"/>\n"
                     "\t<CKEMSCENENODE_PARENTNAME value=\"terrain\"/>\n"
                     "\t<CKEMSCENEPFX_MRESSOURCE value=\"cut.pfx\"/>\n"
                     "</KEM_SCENE_NODE_VARLIST>\n");
         WriteFile(venue, text);
     },
     {{"la_ciotat.xml", "\"sea_spray\"", "CKEMSCENEPFX_MRESSOURCE", "cut.pfx", "cut short"}}},
    {"language_nul",
     [](const e2e::GameRun& game) {
         const fs::path table = OwnFolder(game, "Data") / "Lang_DB.csv";
         std::string text = ReadFile(table);
         // Inside the French text of the first key (after the header and
         // the comments): every key after it was lost.
         size_t line = text.find('\n') + 1;
         while (text[line] == '#')
             line = text.find('\n', line) + 1;
         const size_t field = text.find(';', line) + 3;
         text.insert(field, 1, '\0');
         WriteFile(table, text);
     },
     {{"Lang_DB.csv", "(key \"", "column 2", "NUL"}}},
};

class HostileVenueFile : public ::testing::TestWithParam<HostileFile> {};

TEST_P(HostileVenueFile, IsRefusedByNameAndTheMatchGoesOn)
{
    const HostileFile& file = GetParam();
    e2e::GameRun game(std::string("hostile_") + file.name);
    file.write(game);
    ASSERT_FALSE(HasFatalFailure());
    game.Seed(kSeed);
    game.Env("TAVIRELO_TEST_NET_PORT", std::to_string(e2e::FreeLanPort()));
    game.FixedStepMs(100);
    game.StartMode(kMatchMode);
    game.Toss(0);
    game.Match({"GAMEPARAMS.QuickMatch=1", "NbPlayers=0", "GameType=1", "TeamA=8", "TeamB=9", "location=3",
                "IsRegional=0"});
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.WaitFor("^mode 0$", 120)) << game.Log();
    // A few throws: each one renders through the thrower's camera, steps
    // the physics and waits for the balls to rest.
    for (int thrown = 0; thrown < kThrows; ++thrown)
        ASSERT_TRUE(game.WaitFor("^state CQMGMLaunchResultState$", 120))
            << "throw " << thrown + 1 << " never ended\n" << game.Log();
    EXPECT_TRUE(game.Running()) << game.Log();
    // What the player sees at the third throw's result: the venue drawn
    // whole, no stripes, blank or cut texts.
    const fs::path shot = game.Screenshot(std::string("hostile_") + file.name + ".png");
    ASSERT_FALSE(shot.empty()) << game.Log();
    EXPECT_TRUE(e2e::FrameProblems(shot).empty()) << e2e::Describe(e2e::FrameProblems(shot));

    const std::string log = game.Log();
    for (const std::vector<std::string>& words : file.lines) {
        bool found = false;
        std::istringstream lines(log);
        for (std::string line; !found && std::getline(lines, line);) {
            found = true;
            for (const std::string& word : words)
                found = found && line.find(word) != std::string::npos;
        }
        std::string wanted;
        for (const std::string& word : words)
            wanted += "[" + word + "] ";
        EXPECT_TRUE(found) << "no log line with " << wanted << "\n" << log;
    }
    // No throw waited out the settle limit, and every key of the language
    // table is still there.
    EXPECT_FALSE(game.Saw("^settle limit$")) << log;
    EXPECT_EQ(log.find("lacks"), std::string::npos) << log;

    game.Command("quit");
    EXPECT_TRUE(game.WaitExit(60));
    EXPECT_TRUE(WIFEXITED(game.Status()) && WEXITSTATUS(game.Status()) == 0) << "status " << game.Status();
}

INSTANTIATE_TEST_SUITE_P(Files, HostileVenueFile, ::testing::ValuesIn(kFiles),
                         [](const ::testing::TestParamInfo<HostileFile>& info) { return std::string(info.param.name); });

}  // namespace
