// The same throw on a fresh world must end bit for bit in the same place,
// in this process and in another one: replays and LAN peers depend on it.
// This file also holds the test program's main, which runs the throw alone
// when started as the other process.
#include "OdeTestFixture.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

const char kChildFlag[] = "--determinism-child";
const char kResultTag[] = "DETERMINISM_RESULT ";

// A shot into the resting cluster; returns every body's final pose.
std::vector<double> RunThrow()
{
    CPhysicsSystemODE system;
    std::unique_ptr<COdeWorld> world(system.CreateWorld());
    odetest::SetUpWorld(*world);
    odetest::Cluster cluster = odetest::MakeCluster(*world);
    odetest::FeedFrames(*world, 30);   // let the cluster settle

    COdeActor* thrown = odetest::MakeBall(*world, nullptr, Ogre::Vector3(-2.0f, 0.3f, 0.02f));
    thrown->getBody()->setLinearVelocity(Ogre::Vector3(8.0f, 0.0f, 0.0f));
    thrown->getBody()->setAngularVelocity(Ogre::Vector3(0.0f, 0.0f, -30.0f));
    odetest::FeedFrames(*world, 180);

    std::vector<double> poses;
    for (COdeActor* actor : world->GetActors()) {
        if (!actor->getBody())
            continue;
        const dBodyID body = actor->getBody()->getBodyId();
        poses.insert(poses.end(), dBodyGetPosition(body), dBodyGetPosition(body) + 3);
        poses.insert(poses.end(), dBodyGetQuaternion(body), dBodyGetQuaternion(body) + 4);
    }
    world.reset();
    system.Shutdown();
    return poses;
}

std::string ToHex(const std::vector<double>& values)
{
    std::string hex;
    for (double v : values) {
        uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        char buf[20];
        std::snprintf(buf, sizeof buf, "%016" PRIx64, bits);
        hex += buf;
    }
    return hex;
}

std::string RunThrowInChildProcess()
{
    char self[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return "";
    const std::string command = std::string("'") + self + "' " + kChildFlag;
    FILE* child = popen(command.c_str(), "r");
    if (!child)
        return "";
    std::string result;
    std::string line;
    char chunk[4096];
    while (std::fgets(chunk, sizeof chunk, child)) {
        line += chunk;
        if (line.empty() || line.back() != '\n')
            continue;
        if (line.compare(0, std::strlen(kResultTag), kResultTag) == 0)
            result = line.substr(std::strlen(kResultTag), line.size() - std::strlen(kResultTag) - 1);
        line.clear();
    }
    pclose(child);
    return result;
}

} // namespace

TEST(OdeDeterminism, SameThrowGivesBitIdenticalPosesInThisProcessAndAnother)
{
    const std::vector<double> first = RunThrow();
    const std::vector<double> second = RunThrow();
    ASSERT_EQ(first.size(), 15u * 7u);
    EXPECT_EQ(ToHex(first), ToHex(second));

    // The shot did hit the cluster: only a collision turns the thrown ball
    // (last body) off its line z = 0.02.
    EXPECT_GT(std::abs(first[14 * 7 + 2] - 0.02), 0.01);

    EXPECT_EQ(RunThrowInChildProcess(), ToHex(first));
}

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], kChildFlag) == 0) {
        const std::string hex = ToHex(RunThrow());
        std::fflush(stdout);
        std::cout.flush();
        std::printf("%s%s\n", kResultTag, hex.c_str());
        return 0;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
