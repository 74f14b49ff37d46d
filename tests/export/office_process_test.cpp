// SPDX-License-Identifier: GPL-3.0-or-later
// Finding a running office in /proc, and ending the instance's processes.

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <csignal>
#include <string>
#include <vector>

#include "export/libreoffice/kept_office.h"
#include "export/libreoffice/office_launch.h"
#include "export/libreoffice/office_process.h"
#include "export/libreoffice/office_sweep.h"
#include "tests/export/spawn_in_new_session.h"
#include "tests/support/environment.h"
#include "tests/support/temp_folder.h"

namespace numbrook::office {
namespace {

namespace fs = std::filesystem;
using numbrook::testing::spawnInNewSession;

TEST(ParseStatLine, ReadsPidStateParentAndGroupAroundAnyCommandName)
{
    const auto plain = parseStatLine("4888 (soffice.bin) S 4868 4868 4868 0 -1 4194304 12 0");
    ASSERT_TRUE(plain.has_value());
    EXPECT_EQ(plain->pid, 4888);
    EXPECT_EQ(plain->name, "soffice.bin");
    EXPECT_EQ(plain->state, 'S');
    EXPECT_EQ(plain->parent, 4868);
    EXPECT_EQ(plain->group, 4868);

    const auto odd = parseStatLine("77 (a) Z (b) Z 1 70 70 0");
    ASSERT_TRUE(odd.has_value());
    EXPECT_EQ(odd->name, "a) Z (b");
    EXPECT_EQ(odd->state, 'Z');
    EXPECT_EQ(odd->parent, 1);

    EXPECT_FALSE(parseStatLine("").has_value());
    EXPECT_FALSE(parseStatLine("12 soffice.bin S 1 1").has_value());
}

// A /proc laid out in a temporary folder.
class FakeProc {
public:
    FakeProc() { fs::create_directories(root_ / "net"); }

    void process(pid_t pid, pid_t parent, uid_t uid, const std::string& name, char state = 'S',
                 std::vector<unsigned long> sockets = {})
    {
        const fs::path folder = root_ / std::to_string(pid);
        fs::create_directories(folder / "fd");
        std::ofstream(folder / "stat")
            << pid << " (" << name << ") " << state << ' ' << parent << ' ' << pid << " 0 0 -1\n";
        std::ofstream(folder / "status") << "Name:\t" << name << "\nUid:\t" << uid << '\t' << uid
                                         << '\t' << uid << '\t' << uid << "\n";
        int fd = 3;
        for (const unsigned long inode : sockets) {
            fs::create_symlink("socket:[" + std::to_string(inode) + "]",
                               folder / "fd" / std::to_string(fd++));
        }
    }

    void socket(unsigned long inode, bool listening, const std::string& path)
    {
        unix_ += "0000000000000000: 00000002 00000000 " +
                 std::string(listening ? "00010000" : "00000000") + " 0001 " +
                 (listening ? "01 " : "03 ") + std::to_string(inode) + " " + path + "\n";
    }

    std::string root()
    {
        std::ofstream(root_ / "net" / "unix") << unix_;
        return root_.string();
    }

private:
    numbrook::testing::TempFolder folder_;
    fs::path root_ = folder_.path;
    std::string unix_ = "Num       RefCount Protocol Flags    Type St Inode Path\n";
};

struct InstanceCase {
    const char* name;
    void (*lay)(FakeProc&);
    bool running;
    friend void PrintTo(const InstanceCase& c, std::ostream* out) { *out << c.name; }
};

constexpr uid_t kUser = 1000;
constexpr pid_t kOwnLauncher = 500;  // the launcher an own host started

class UserInstanceRunning : public ::testing::TestWithParam<InstanceCase> {};

TEST_P(UserInstanceRunning, Decides)
{
    FakeProc proc;
    proc.process(1, 0, 0, "init");
    proc.process(400, 1, kUser, "bash");
    GetParam().lay(proc);
    EXPECT_EQ(userInstanceRunning(proc.root(), kUser, {kOwnLauncher}), GetParam().running);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UserInstanceRunning,
    ::testing::Values(
        InstanceCase{"NoOffice", [](FakeProc&) {}, false},
        InstanceCase{"UsersOffice", [](FakeProc& p) { p.process(600, 400, kUser, "soffice.bin"); },
                     true},
        InstanceCase{"UsersLauncherAlone",
                     [](FakeProc& p) { p.process(600, 400, kUser, "oosplash"); }, true},
        InstanceCase{"ZombieOffice",
                     [](FakeProc& p) { p.process(600, 1, kUser, "soffice.bin", 'Z'); }, false},
        InstanceCase{"OtherUsersOffice", [](FakeProc& p) { p.process(600, 1, 0, "soffice.bin"); },
                     false},
        InstanceCase{"OwnHiddenInstance",
                     [](FakeProc& p) {
                         p.process(kOwnLauncher, 400, kUser, "oosplash");
                         p.process(501, kOwnLauncher, kUser, "soffice.bin", 'S', {91});
                         p.socket(91, true, "/tmp/OSL_PIPE_1000_SingleOfficeIPC_abc");
                     },
                     false},
        InstanceCase{"OwnAndUsersOffice",
                     [](FakeProc& p) {
                         p.process(kOwnLauncher, 400, kUser, "oosplash");
                         p.process(501, kOwnLauncher, kUser, "soffice.bin");
                         p.process(700, 400, kUser, "soffice.bin");
                     },
                     true},
        InstanceCase{
            "ListeningPipeWithoutVisibleProcess",
            [](FakeProc& p) { p.socket(92, true, "/tmp/OSL_PIPE_1000_SingleOfficeIPC_abc"); },
            true},
        InstanceCase{
            "StalePipe",
            [](FakeProc& p) { p.socket(93, false, "/tmp/OSL_PIPE_1000_SingleOfficeIPC_abc"); },
            false},
        InstanceCase{"OtherUsersPipe",
                     [](FakeProc& p) { p.socket(94, true, "/tmp/OSL_PIPE_0_SingleOfficeIPC_abc"); },
                     false},
        InstanceCase{"ConnectionPipeIsNoInstance",
                     [](FakeProc& p) { p.socket(95, true, "/tmp/OSL_PIPE_1000_numbrook_1_0_ab"); },
                     false}),
    [](const ::testing::TestParamInfo<InstanceCase>& tested) {
        return std::string(tested.param.name);
    });

// A socket file bound and listening at path; the socket stays open only if
// kept (its descriptor is returned), else the file stays, as after a killed office.
int listeningSocketFile(const std::string& path, bool kept = false)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0) << path;
    EXPECT_EQ(::listen(fd, 1), 0);
    if (kept) {
        return fd;
    }
    ::close(fd);
    return -1;
}

// The same decision on the machine's own /proc, with a pipe this test opens.
TEST(UserInstanceRunningHere, ListeningPipeCountsAndItsLeftoverFileDoesNot)
{
    const uid_t uid = ::getuid();
    if (userInstanceRunning("/proc", uid, {})) {
        GTEST_SKIP() << "another program of this user runs LibreOffice at the moment";
    }
    const std::string path = "/tmp/OSL_PIPE_" + std::to_string(uid) +
                             "_SingleOfficeIPC_numbrooktest" + std::to_string(::getpid());
    ::unlink(path.c_str());
    const int fd = listeningSocketFile(path, true);

    EXPECT_TRUE(userInstanceRunning("/proc", uid, {}));
    EXPECT_FALSE(userInstanceRunning("/proc", uid, {::getpid()})) << "a pipe of our own";
    ::close(fd);
    EXPECT_TRUE(fs::exists(path));
    EXPECT_FALSE(userInstanceRunning("/proc", uid, {}));
    ::unlink(path.c_str());
}

// ---- ending an instance's processes ----------------------------------------------------

// Whether the child leader comes to have a second process in its group.
bool groupOfTwo(pid_t leader)
{
    return numbrook::testing::eventually(
               [leader] {
                   return childHasEnded(leader) || liveGroupMembers("/proc", leader).size() >= 2;
               },
               std::chrono::seconds(30)) &&
           !childHasEnded(leader);
}

TEST(EndProcessGroup, KillsAStuckGroupWithoutLeavingZombies)
{
    // A launcher that waits for the process it started, as the office's does.
    const pid_t pid = spawnInNewSession("/bin/sh", {"sh", "-c", "sleep 60 & wait"});
    ASSERT_TRUE(groupOfTwo(pid));
    EXPECT_EQ(::getsid(pid), pid) << "the launcher leads a session of its own";

    endProcessGroup(pid, std::chrono::milliseconds(0));

    EXPECT_TRUE(childHasEnded(pid));
    EXPECT_TRUE(groupMembers("/proc", pid).empty());
}

TEST(EndProcessGroup, ReapsAChildThatEndsOnItsOwn)
{
    const pid_t pid = spawnInNewSession("/bin/sh", {"sh", "-c", "exit 0"});
    endProcessGroup(pid, std::chrono::seconds(30));
    EXPECT_TRUE(childHasEnded(pid));
    EXPECT_TRUE(groupMembers("/proc", pid).empty());
}

// ---- starting an office safely ---------------------------------------------------------------

struct UrlCase {
    std::string path;
    std::string url;
    friend void PrintTo(const UrlCase& c, std::ostream* out) { *out << c.path; }
};

class FileUrl : public ::testing::TestWithParam<UrlCase> {};

TEST_P(FileUrl, IsMadeFromThePathsBytes)
{
    EXPECT_EQ(fileUrlFromPath(GetParam().path), GetParam().url);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, FileUrl,
    ::testing::Values(UrlCase{"/usr/lib/numbrook/式题导出.doc",
                              "file:///usr/lib/numbrook/%E5%BC%8F%E9%A2%98%E5%AF%BC%E5%87%BA.doc"},
                      UrlCase{"/tmp/a b/100%#?;.doc", "file:///tmp/a%20b/100%25%23%3F%3B.doc"},
                      UrlCase{"/home/x/My_Files-1.2~/", "file:///home/x/My_Files-1.2~/"},
                      UrlCase{std::string("/t/\xff\x80"), "file:///t/%FF%80"}));

TEST(IsUtf8LocaleName, KnowsTheSpellingsOfUtf8)
{
    for (const char* name :
         {"C.UTF-8", "zh_CN.UTF-8", "en_US.utf8", "de_DE.UTF-8@euro", "zh_CN.Utf-8"}) {
        EXPECT_TRUE(isUtf8LocaleName(name)) << name;
    }
    for (const char* name :
         {"", "C", "POSIX", "zh_CN.GB18030", "zh_CN", "en_US.ISO-8859-1", "utf8"}) {
        EXPECT_FALSE(isUtf8LocaleName(name)) << name;
    }
}

struct EnvironmentCase {
    const char* name;
    std::vector<std::string> ours;
    std::vector<std::string> office;
    friend void PrintTo(const EnvironmentCase& c, std::ostream* out) { *out << c.name; }
};

class OfficeEnvironment : public ::testing::TestWithParam<EnvironmentCase> {};

TEST_P(OfficeEnvironment, HasAFixedPathNoPreloadsAndAUtf8CharacterType)
{
    EXPECT_EQ(officeEnvironment(GetParam().ours), GetParam().office);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OfficeEnvironment,
    ::testing::Values(
        EnvironmentCase{
            "Utf8LangKept",
            {"HOME=/home/t", "PATH=", "LANG=zh_CN.UTF-8", "LD_PRELOAD=/x.so", "LD_LIBRARY_PATH=."},
            {"HOME=/home/t", "LANG=zh_CN.UTF-8", "PATH=/usr/local/bin:/usr/bin:/bin"}},
        EnvironmentCase{"NothingSet",
                        {"DISPLAY=:1"},
                        {"DISPLAY=:1", "PATH=/usr/local/bin:/usr/bin:/bin", "LC_ALL=C.UTF-8"}},
        EnvironmentCase{
            "AllC",
            {"LANG=zh_CN.UTF-8", "LC_ALL=C"},
            {"LANG=zh_CN.UTF-8", "PATH=/usr/local/bin:/usr/bin:/bin", "LC_ALL=C.UTF-8"}},
        EnvironmentCase{
            "Gb18030",
            {"LANG=zh_CN.GB18030", "PATH=./bin"},
            {"LANG=zh_CN.GB18030", "PATH=/usr/local/bin:/usr/bin:/bin", "LC_ALL=C.UTF-8"}},
        EnvironmentCase{"CtypeUtf8OverLang",
                        {"LANG=C", "LC_CTYPE=C.UTF-8"},
                        {"LANG=C", "LC_CTYPE=C.UTF-8", "PATH=/usr/local/bin:/usr/bin:/bin"}},
        EnvironmentCase{"EmptyLcAllIsUnset",
                        {"LC_ALL=", "LANG=en_US.UTF-8"},
                        {"LC_ALL=", "LANG=en_US.UTF-8", "PATH=/usr/local/bin:/usr/bin:/bin"}}),
    [](const ::testing::TestParamInfo<EnvironmentCase>& tested) {
        return std::string(tested.param.name);
    });

using numbrook::testing::readAll;
using numbrook::testing::TempFolder;

// The keeper runs the program in the given folder with the given environment,
// holds none of our descriptors, and clears the profile and files away after it.
TEST(StartKept, RunsTheOfficeInItsFolderAndClearsUpAfterIt)
{
    TempFolder tree;
    const std::string profile = tree.path + "/numbrook-office-t";
    const std::string pipe = tree.path + "/pipe-file";
    const std::string plain = tree.path + "/plain-file";
    const std::string listed = tree.path + "/listed-file";
    const std::string out = tree.path + "/out";
    fs::create_directory(profile);
    listeningSocketFile(pipe);
    std::ofstream(plain) << "x";
    std::ofstream(listed) << "x";
    std::ofstream(profile + "/pipes") << listed << "\n";

    KeptOffice kept;
    kept.program = "/bin/sh";
    kept.arguments = {"sh", "-c",
                      "pwd > \"$OUT\"; echo \"$PATH\" >> \"$OUT\"; umask >> \"$OUT\"; "
                      "ls /proc/self/fd | wc -l >> \"$OUT\""};
    kept.environment = {"OUT=" + out, "PATH=/usr/bin:/bin"};
    kept.workFolder = "/usr/share";
    kept.profileFolder = profile;
    kept.files = {pipe, plain};
    // Of the single-instance pipes there, the keeper removes the one nobody is bound to.
    kept.pipeFolder = tree.path;
    const std::string deadPipe = tree.path + "/" + singleInstancePipePrefix(::getuid()) + "dead";
    const std::string livePipe = tree.path + "/" + singleInstancePipePrefix(::getuid()) + "live";
    listeningSocketFile(deadPipe);
    const int live = listeningSocketFile(livePipe, true);
    const mode_t umaskBefore = ::umask(0);
    const pid_t keeper = startKept(kept);
    ::umask(umaskBefore);
    ASSERT_TRUE(waitForChild(keeper, std::chrono::seconds(30)));

    // The working folder, the PATH, ours umask 000 made 022 (sockets nobody
    // else may connect to, shared files readable), and stdin, stdout, stderr
    // and ls's own directory.
    EXPECT_EQ(readAll(out), "/usr/share\n/usr/bin:/bin\n0022\n4\n");
    EXPECT_FALSE(fs::exists(profile));
    EXPECT_FALSE(fs::exists(pipe));
    EXPECT_TRUE(fs::exists(plain)) << "only socket files are removed";
    EXPECT_FALSE(fs::exists(listed));
    EXPECT_FALSE(fs::exists(deadPipe));
    EXPECT_TRUE(fs::exists(livePipe));
    ::close(live);
}

TEST(StartKept, AKeeperToldToEndEndsItsOfficeAndClearsUp)
{
    TempFolder tree;
    const std::string profile = tree.path + "/numbrook-office-t";
    fs::create_directory(profile);
    KeptOffice kept;
    kept.program = "/bin/sleep";
    kept.arguments = {"sleep", "600"};
    kept.workFolder = "/";
    kept.profileFolder = profile;
    const pid_t keeper = startKept(kept);
    ASSERT_TRUE(groupOfTwo(keeper));
    EXPECT_EQ(::getsid(keeper), keeper);
    // What the keeper gets when this program dies.
    ::kill(keeper, SIGTERM);
    ASSERT_TRUE(waitForChild(keeper, std::chrono::seconds(30)));
    EXPECT_TRUE(groupMembers("/proc", keeper).empty());
    EXPECT_FALSE(fs::exists(profile));
}

TEST(StartKept, AFolderNotOfOurNamingIsNeitherUsedNorRemoved)
{
    TempFolder tree;
    KeptOffice kept;
    kept.program = "/bin/true";
    kept.arguments = {"true"};
    kept.workFolder = "/";
    kept.profileFolder = tree.path;
    const pid_t keeper = startKept(kept);
    int status = 0;
    ASSERT_EQ(::waitpid(keeper, &status, 0), keeper);
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_TRUE(fs::exists(tree.path));
}

// ---- what an earlier run left ------------------------------------------------------------------

TEST(OwnerAlive, IsThisProcessButNotADeadOrReusedPid)
{
    const std::string self = processIdentity("/proc", ::getpid());
    ASSERT_FALSE(self.empty());
    EXPECT_TRUE(ownerAlive("/proc", self + "\n"));
    EXPECT_FALSE(ownerAlive("/proc", std::to_string(::getpid()) + " 1"));
    EXPECT_FALSE(ownerAlive("/proc", "999999999 1"));
    EXPECT_FALSE(ownerAlive("/proc", ""));
    EXPECT_FALSE(ownerAlive("/proc", "garbage"));
}

TEST(SweepOrphans, RemovesWhatADeadOwnerLeftAndNothingElse)
{
    TempFolder temp;
    TempFolder pipes;
    const std::string uid = std::to_string(::getuid());
    const auto profile = [&temp](const std::string& name, const std::string& owner) {
        const std::string folder = temp.path + "/numbrook-office-" + name;
        fs::create_directory(folder);
        std::ofstream(folder + "/numbrook-owner") << owner;
        return folder;
    };
    // The pipes an instance records in its profile go with it.
    const std::string dead = profile("dead", "999999999 1\n");
    const std::string deadListedPipe = pipes.path + "/OSL_PIPE_" + uid + "_SingleOfficeIPC_abc";
    listeningSocketFile(deadListedPipe);
    recordPipes(dead, {deadListedPipe});
    const std::string live = profile("live", processIdentity("/proc", ::getpid()));
    const std::string shown = profile("shown", "999999999 1\n");
    std::ofstream(shown + "/numbrook-shown") << "shown\n";
    const pid_t user = spawnInNewSession(
        "/bin/sh",
        {"sh", "-c", "sleep 600; :", "sh", "-env:UserInstallation=" + fileUrlFromPath(shown)});
    const std::string hidden = profile("hidden", "999999999 1\n");
    const pid_t stray = spawnInNewSession(
        "/bin/sh",
        {"sh", "-c", "sleep 600; :", "sh", "-env:UserInstallation=" + fileUrlFromPath(hidden)});
    const std::string foreign = temp.path + "/other-folder";
    fs::create_directory(foreign);
    const std::string deadPipe = pipes.path + "/OSL_PIPE_" + uid + "_numbrook_999999999_0_ab";
    const std::string livePipe =
        pipes.path + "/OSL_PIPE_" + uid + "_numbrook_" + std::to_string(::getpid()) + "_0_ab";
    listeningSocketFile(deadPipe);
    listeningSocketFile(livePipe);
    // A single-instance pipe nobody is bound to goes, listed or not; a bound one stays.
    const std::string deadSingle = pipes.path + "/" + singleInstancePipePrefix(::getuid()) + "d";
    const std::string liveSingle = pipes.path + "/" + singleInstancePipePrefix(::getuid()) + "l";
    listeningSocketFile(deadSingle);
    const int bound = listeningSocketFile(liveSingle, true);

    const SweepResult result = sweepOrphans("/proc", temp.path, pipes.path, ::getuid());
    EXPECT_FALSE(fs::exists(deadSingle));
    EXPECT_TRUE(fs::exists(liveSingle));
    ::close(bound);

    EXPECT_FALSE(fs::exists(dead));
    EXPECT_FALSE(fs::exists(deadListedPipe));
    EXPECT_FALSE(fs::exists(hidden));
    EXPECT_TRUE(waitForChild(stray, std::chrono::seconds(5)))
        << "the hidden orphan's office is ended";
    ::kill(-stray, SIGKILL);  // the stand-in's own child
    EXPECT_TRUE(fs::exists(live)) << "its owner runs";
    EXPECT_TRUE(fs::exists(shown)) << "the user's instance still runs";
    EXPECT_FALSE(childHasEnded(user));
    EXPECT_TRUE(fs::exists(foreign));
    EXPECT_FALSE(fs::exists(deadPipe));
    EXPECT_TRUE(fs::exists(livePipe));
    EXPECT_EQ(result.foldersRemoved, 2);
    EXPECT_EQ(result.processesKilled, 1);
    EXPECT_EQ(result.filesRemoved, 3) << "the listed pipe, the dead accepting and single pipe";

    // Once the user has ended it, its folder goes too.
    endProcessGroup(user, std::chrono::milliseconds(0));
    ::kill(-user, SIGKILL);
    sweepOrphans("/proc", temp.path, pipes.path, ::getuid());
    EXPECT_FALSE(fs::exists(shown));
}

}  // namespace
}  // namespace numbrook::office
