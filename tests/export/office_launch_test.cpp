// SPDX-License-Identifier: GPL-3.0-or-later
// What an office instance gets before it starts: profile, pipe, arguments.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <ostream>
#include <string>
#include <vector>

#include "export/libreoffice/office_launch.h"
#include "export/libreoffice/office_process.h"
#include "tests/support/environment.h"
#include "tests/support/temp_folder.h"

namespace numbrook::office {
namespace {

namespace fs = std::filesystem;

using numbrook::testing::readAll;
using numbrook::testing::TempFolder;

bool contains(const std::vector<std::string>& items, const std::string& item)
{
    return std::find(items.begin(), items.end(), item) != items.end();
}

struct RegistryCase {
    const char* name;
    std::string registry;
    std::string version;
    friend void PrintTo(const RegistryCase& c, std::ostream* out) { *out << c.name; }
};

class SetupVersionFromRegistry : public ::testing::TestWithParam<RegistryCase> {};

TEST_P(SetupVersionFromRegistry, ReadsTheVersionPropertyOnly)
{
    EXPECT_EQ(setupVersionFromRegistry(GetParam().registry), GetParam().version);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetupVersionFromRegistry,
    ::testing::Values(
        RegistryCase{
            "AsInstalled",
            R"(<prop oor:name="ooSetupVersion" oor:type="xs:string" oor:nillable="false"><value/></prop>)"
            R"(<prop oor:name="ooSetupExtension"><value>.7.2</value></prop>)"
            R"(<prop oor:name="ooSetupVersion"><value>7.4</value></prop>)"
            R"(<prop oor:name="ooSetupVersionAboutBox"><value>7.4.7.2</value></prop>)",
            "7.4"},
        RegistryCase{
            "SchemaOnly",
            R"(<prop oor:name="ooSetupVersion" oor:type="xs:string" oor:nillable="false"><value/></prop>)",
            ""},
        RegistryCase{"Missing", R"(<prop oor:name="ooName"><value>LibreOffice</value></prop>)", ""},
        RegistryCase{"NoValue", R"(<prop oor:name="ooSetupVersion">)", ""},
        RegistryCase{"Unterminated", R"(<prop oor:name="ooSetupVersion"><value>7.4)", ""},
        RegistryCase{"TooLong",
                     R"(<prop oor:name="ooSetupVersion"><value>not a version at all</value>)", ""}),
    [](const ::testing::TestParamInfo<RegistryCase>& tested) {
        return std::string(tested.param.name);
    });

TEST(InstalledOffice, GivesItsSetupVersionAndBuildIdAndEmptyWhereFilesAreMissing)
{
    TempFolder office;
    const std::string program = office.path + "/program";
    fs::create_directories(program);
    fs::create_directories(office.path + "/share/registry");
    EXPECT_EQ(setupVersion(program), "");
    EXPECT_EQ(buildIdOf(program), "");

    std::ofstream(office.path + "/share/registry/main.xcd")
        << "<?xml version=\"1.0\"?><oor:data><prop "
           "oor:name=\"ooSetupVersion\"><value>7.4</value></prop></oor:data>";
    std::ofstream(program + "/versionrc")
        << "[Version]\nbuildid_x=1\nbuildid=40(Build:2)\nProductMajor=7\n";
    EXPECT_EQ(setupVersion(program), "7.4");
    EXPECT_EQ(buildIdOf(program), "40(Build:2)");
    EXPECT_EQ(officeProgram(program), program + "/soffice.bin");
}

struct SeedCase {
    const char* name;
    std::string version;
    std::string buildId;
    friend void PrintTo(const SeedCase& c, std::ostream* out) { *out << c.name; }
};

class SeededProfile : public ::testing::TestWithParam<SeedCase> {};

// A seeded profile starts without first-run dialogs and without document
// locks, and the sweep of a later run knows it as ours by its owner.
TEST_P(SeededProfile, SkipsTheFirstStartAndNamesItsOwner)
{
    TempFolder parent;
    const std::string profile = makeProfileFolder(parent.path);
    seedProfile(profile, GetParam().version, GetParam().buildId);

    EXPECT_EQ(fs::path(profile).parent_path(), fs::path(parent.path));
    EXPECT_EQ(fs::path(profile).filename().string().rfind(kProfilePrefix, 0), 0u);
    EXPECT_EQ(fs::status(profile).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_TRUE(ownerAlive("/proc", readAll(profile + "/" + kOwnerFile)));

    const std::string settings = readAll(profile + "/user/registrymodifications.xcu");
    for (const char* name : {"FirstRun", "ShowTipOfTheDay", "UseLocking", "WarnAlienFormat"}) {
        EXPECT_NE(settings.find("<prop oor:name=\"" + std::string(name) +
                                "\" oor:op=\"fuse\"><value>false</value></prop>"),
                  std::string::npos)
            << name;
    }
    EXPECT_EQ(settings.find("ooSetupLastVersion\" oor:op=\"fuse\"><value>" + GetParam().version +
                            "<") != std::string::npos,
              !GetParam().version.empty());
    EXPECT_EQ(fs::exists(profile + "/user/extensions/buildid"), !GetParam().buildId.empty());
    if (!GetParam().buildId.empty()) {
        EXPECT_EQ(readAll(profile + "/user/extensions/buildid"), GetParam().buildId);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SeededProfile,
                         ::testing::Values(SeedCase{"Known", "7.4", "40(Build:2)"},
                                           SeedCase{"Unknown", "", ""}),
                         [](const ::testing::TestParamInfo<SeedCase>& tested) {
                             return std::string(tested.param.name);
                         });

// A profile file that does not fit says so.
TEST(SeededProfile, ThatDoesNotFitSaysSo)
{
    TempFolder parent;
    const std::string profile = makeProfileFolder(parent.path);
    fs::create_directory(profile + "/user");
    fs::create_symlink("/dev/full", profile + "/user/registrymodifications.xcu");
    EXPECT_THROW(seedProfile(profile, "7.4", ""), NoRoomError);
}

// TMPDIR where it is a folder we may write in, else /tmp.
TEST(TemporaryFolder, IsTmpdirWhereUsableElseTmp)
{
    TempFolder folder;
    std::ofstream(folder.path + "/file") << "x";
    for (const std::string& tmpdir :
         {folder.path, std::string("tmp"), folder.path + "/no", folder.path + "/file"}) {
        numbrook::testing::ScopedEnvironment environment;
        environment.set("TMPDIR", tmpdir.c_str());
        EXPECT_EQ(tempFolder(), tmpdir == folder.path ? tmpdir : "/tmp") << tmpdir;
    }
}

TEST(UniquePipeName, IsOfOurNamingAndNeverRepeats)
{
    const std::string ours = std::string(kPipePrefix) + std::to_string(::getpid()) + "_";
    std::set<std::string> names;
    for (int i = 0; i < 500; ++i) {
        const std::string name = uniquePipeName();
        EXPECT_EQ(name.rfind(ours, 0), 0u) << name;
        // Nothing that would end the name inside a connection string.
        EXPECT_EQ(name.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_"),
                  std::string::npos)
            << name;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 500u);
    EXPECT_EQ(pipeSocketPath("numbrook_7_0_a", 1000), "/tmp/OSL_PIPE_1000_numbrook_7_0_a");
}

struct DisplayCase {
    const char* name;
    std::vector<std::string> environment;
    bool display;
    friend void PrintTo(const DisplayCase& c, std::ostream* out) { *out << c.name; }
};

class LaunchPlan : public ::testing::TestWithParam<DisplayCase> {};

// Hidden in any case; headless, needing no window system, only without a
// display; the display, where there is one, reaches the office.
TEST_P(LaunchPlan, StartsTheOfficeHiddenOnItsProfileAndPipe)
{
    std::vector<std::string> ours = GetParam().environment;
    ours.emplace_back("LANG=zh_CN.GB18030");
    ours.emplace_back("TMPDIR=/var/tmp");
    const std::string profile = "/tmp/numbrook-office-配置";
    const KeptOffice kept = launchPlan("/opt/lo/program", profile, "numbrook_1_0_f", ours, 1000);

    EXPECT_EQ(hasDisplay(GetParam().environment), GetParam().display);
    EXPECT_EQ(kept.program, "/opt/lo/program/soffice.bin");
    ASSERT_FALSE(kept.arguments.empty());
    EXPECT_EQ(kept.arguments.front(), kept.program);
    EXPECT_EQ(contains(kept.arguments, "--headless"), !GetParam().display);
    for (const char* option :
         {"--invisible", "--nologo", "--norestore", "--nodefault", "--nolockcheck"}) {
        EXPECT_TRUE(contains(kept.arguments, option)) << option;
    }
    EXPECT_TRUE(contains(kept.arguments, "-env:UserInstallation=" + fileUrlFromPath(profile)));
    EXPECT_TRUE(contains(kept.arguments, "--accept=" + pipeConnection("numbrook_1_0_f")));
    EXPECT_EQ(pipeConnection("numbrook_1_0_f"),
              "pipe,name=numbrook_1_0_f;urp;StarOffice.ComponentContext");
    for (const std::string& entry : GetParam().environment) {
        EXPECT_TRUE(contains(kept.environment, entry)) << entry;
    }
    EXPECT_TRUE(contains(kept.environment, "LC_ALL=C.UTF-8"));
    EXPECT_TRUE(contains(kept.environment, "TMPDIR=" + profile + "/tmp"));
    EXPECT_FALSE(contains(kept.environment, "TMPDIR=/var/tmp"));
    EXPECT_EQ(kept.pipeFolder, "/tmp");
    EXPECT_EQ(kept.workFolder, "/opt/lo/program");
    EXPECT_EQ(kept.profileFolder, profile);
    EXPECT_EQ(kept.files, std::vector<std::string>{pipeSocketPath("numbrook_1_0_f", 1000)});
}

INSTANTIATE_TEST_SUITE_P(
    Environments, LaunchPlan,
    ::testing::Values(DisplayCase{"NoDisplay", {"HOME=/root"}, false},
                      DisplayCase{"EmptyDisplay", {"DISPLAY=", "WAYLAND_DISPLAY="}, false},
                      DisplayCase{
                          "OtherNameEndingInDisplay", {"XDISPLAY=:0", "DISPLAYS=:0"}, false},
                      DisplayCase{"X", {"DISPLAY=:99"}, true},
                      DisplayCase{"Wayland", {"WAYLAND_DISPLAY=wayland-0"}, true}),
    [](const ::testing::TestParamInfo<DisplayCase>& tested) {
        return std::string(tested.param.name);
    });

}  // namespace
}  // namespace numbrook::office
