// Finding a running office in /proc, and ending the instance's processes.

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <thread>
#include <string>
#include <vector>

#include "export/libreoffice/office_process.h"

namespace numbrook::office {
namespace {

namespace fs = std::filesystem;

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
    FakeProc() : root_(fs::temp_directory_path() / ("numbrook-fake-proc-" + std::to_string(::getpid())))
    {
        fs::remove_all(root_);
        fs::create_directories(root_ / "net");
        unix_ = "Num       RefCount Protocol Flags    Type St Inode Path\n";
    }
    ~FakeProc() { fs::remove_all(root_); }

    void process(pid_t pid, pid_t parent, uid_t uid, const std::string& name, char state = 'S',
                 std::vector<unsigned long> sockets = {})
    {
        const fs::path folder = root_ / std::to_string(pid);
        fs::create_directories(folder / "fd");
        std::ofstream(folder / "stat") << pid << " (" << name << ") " << state << ' ' << parent << ' ' << pid
                                       << " 0 0 -1\n";
        std::ofstream(folder / "status") << "Name:\t" << name << "\nUid:\t" << uid << '\t' << uid << '\t' << uid
                                         << '\t' << uid << "\n";
        int fd = 3;
        for (const unsigned long inode : sockets) {
            fs::create_symlink("socket:[" + std::to_string(inode) + "]", folder / "fd" / std::to_string(fd++));
        }
    }

    void socket(unsigned long inode, bool listening, const std::string& path)
    {
        unix_ += "0000000000000000: 00000002 00000000 " + std::string(listening ? "00010000" : "00000000") +
                 " 0001 " + (listening ? "01 " : "03 ") + std::to_string(inode) + " " + path + "\n";
    }

    std::string root()
    {
        std::ofstream(root_ / "net" / "unix") << unix_;
        return root_.string();
    }

private:
    fs::path root_;
    std::string unix_;
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
        InstanceCase{"UsersOffice", [](FakeProc& p) { p.process(600, 400, kUser, "soffice.bin"); }, true},
        InstanceCase{"UsersLauncherAlone", [](FakeProc& p) { p.process(600, 400, kUser, "oosplash"); }, true},
        InstanceCase{"ZombieOffice", [](FakeProc& p) { p.process(600, 1, kUser, "soffice.bin", 'Z'); }, false},
        InstanceCase{"OtherUsersOffice", [](FakeProc& p) { p.process(600, 1, 0, "soffice.bin"); }, false},
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
        InstanceCase{"ListeningPipeWithoutVisibleProcess",
                     [](FakeProc& p) { p.socket(92, true, "/tmp/OSL_PIPE_1000_SingleOfficeIPC_abc"); }, true},
        InstanceCase{"StalePipe",
                     [](FakeProc& p) { p.socket(93, false, "/tmp/OSL_PIPE_1000_SingleOfficeIPC_abc"); }, false},
        InstanceCase{"OtherUsersPipe",
                     [](FakeProc& p) { p.socket(94, true, "/tmp/OSL_PIPE_0_SingleOfficeIPC_abc"); }, false},
        InstanceCase{"ConnectionPipeIsNoInstance",
                     [](FakeProc& p) { p.socket(95, true, "/tmp/OSL_PIPE_1000_numbrook_1_0_ab"); }, false}),
    [](const ::testing::TestParamInfo<InstanceCase>& tested) { return std::string(tested.param.name); });

// The same decision on the machine's own /proc, with a pipe this test opens.
TEST(UserInstanceRunningHere, ListeningPipeCountsAndItsLeftoverFileDoesNot)
{
    const uid_t uid = ::getuid();
    if (userInstanceRunning("/proc", uid, {})) {
        GTEST_SKIP() << "an office instance of this user is running";
    }
    const std::string path = "/tmp/OSL_PIPE_" + std::to_string(uid) + "_SingleOfficeIPC_numbrooktest" +
                             std::to_string(::getpid());
    ::unlink(path.c_str());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(fd, 1), 0);

    EXPECT_TRUE(userInstanceRunning("/proc", uid, {}));
    EXPECT_FALSE(userInstanceRunning("/proc", uid, {::getpid()})) << "a pipe of our own";
    ::close(fd);
    EXPECT_TRUE(fs::exists(path));
    EXPECT_FALSE(userInstanceRunning("/proc", uid, {}));
    ::unlink(path.c_str());
}

// ---- ending an instance's processes ----------------------------------------------------

TEST(EndProcessGroup, KillsAStuckGroupWithoutLeavingZombies)
{
    // A launcher that waits for the process it started, as the office's does.
    const pid_t pid = spawnInNewSession("/bin/sh", {"sh", "-c", "sleep 60 & wait"}).pid;
    while (liveGroupMembers("/proc", pid).size() < 2) {
        ASSERT_FALSE(childHasEnded(pid));
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(::getsid(pid), pid) << "the launcher leads a session of its own";

    endProcessGroup(pid, std::chrono::milliseconds(0));

    EXPECT_TRUE(childHasEnded(pid));
    EXPECT_TRUE(groupMembers("/proc", pid).empty());
}

TEST(EndProcessGroup, ReapsAChildThatEndsOnItsOwn)
{
    const pid_t pid = spawnInNewSession("/bin/sh", {"sh", "-c", "exit 0"}).pid;
    endProcessGroup(pid, std::chrono::seconds(30));
    EXPECT_TRUE(childHasEnded(pid));
    EXPECT_TRUE(groupMembers("/proc", pid).empty());
}

TEST(SpawnInNewSession, MissingProgramThrows)
{
    EXPECT_THROW(spawnInNewSession("/nonexistent/soffice", {"soffice"}), std::runtime_error);
}

}  // namespace
}  // namespace numbrook::office
