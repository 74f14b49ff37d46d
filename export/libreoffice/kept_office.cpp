// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/libreoffice/kept_office.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "export/libreoffice/office_process.h"

namespace numbrook::office {

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(10);

std::vector<char*> cStrings(const std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    pointers.reserve(strings.size() + 1);
    for (const std::string& text : strings) {
        pointers.push_back(const_cast<char*>(text.c_str()));
    }
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

std::string keeperProgram()
{
    // Where this code was loaded from: the module, or the executable itself
    // (whose link map has no name).
    static const char anchor = 0;
    Dl_info info{};
    link_map* map = nullptr;
    if (::dladdr1(&anchor, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0 ||
        map == nullptr) {
        throw std::runtime_error("cannot tell where the office keeper lies");
    }
    std::error_code error;
    const std::filesystem::path code = map->l_name[0] != '\0'
                                           ? std::filesystem::path(map->l_name)
                                           : std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        throw std::runtime_error("cannot tell where the office keeper lies: " + error.message());
    }
    return (code.parent_path() / NUMBROOK_KEEPER_NAME).string();
}

pid_t startKept(const KeptOffice& office)
{
    // <keeper> <owner pid> <work folder> <profile> <pipe folder> <socket file>... -- <program>
    // <argv...>
    const std::string keeper = keeperProgram();
    std::vector<std::string> line{keeper, std::to_string(::getpid()), office.workFolder,
                                  office.profileFolder, office.pipeFolder};
    line.insert(line.end(), office.files.begin(), office.files.end());
    line.push_back("--");
    line.push_back(office.program);
    line.insert(line.end(), office.arguments.begin(), office.arguments.end());
    const std::vector<char*> argv = cStrings(line);
    const std::vector<char*> envp = cStrings(office.environment);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawnattr_init(&attributes);
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        ::posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", O_RDWR, 0);
    }
    // A session of its own, no handler or ignored signal of this program, and
    // every signal blocked: the keeper waits for the ones it heeds.
    ::posix_spawnattr_setflags(&attributes,
                               POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    sigset_t signals;
    sigfillset(&signals);
    ::posix_spawnattr_setsigmask(&attributes, &signals);
    ::posix_spawnattr_setsigdefault(&attributes, &signals);
    pid_t pid = -1;
    const int error =
        ::posix_spawn(&pid, keeper.c_str(), &actions, &attributes, argv.data(), envp.data());
    ::posix_spawn_file_actions_destroy(&actions);
    ::posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        throw std::runtime_error(keeper + ": " + std::strerror(error));
    }
    return pid;
}

void releaseKept(pid_t keeper)
{
    if (keeper > 0) {
        ::kill(keeper, SIGUSR1);
    }
}

bool childHasEnded(pid_t pid)
{
    int status = 0;
    const pid_t result = ::waitpid(pid, &status, WNOHANG);
    return result == pid || (result < 0 && errno == ECHILD);
}

bool waitForChild(pid_t pid, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!childHasEnded(pid)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    return true;
}

void signalGroupButLeader(pid_t leader, int signal)
{
    for (const pid_t member : liveGroupMembers("/proc", leader)) {
        if (member != leader) {
            ::kill(member, signal);
        }
    }
}

void endProcessGroup(pid_t pid, std::chrono::milliseconds grace)
{
    if (pid <= 0) {
        return;
    }
    if (!waitForChild(pid, grace)) {
        // Kill the others first and let the child reap them: an orphan would
        // stay a zombie where init does not reap.
        signalGroupButLeader(pid, SIGKILL);
        const auto othersLeft = [pid] { return groupMembers("/proc", pid).size() > 1; };
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (othersLeft() && !childHasEnded(pid) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(kPollInterval);
        }
        ::kill(pid, SIGKILL);
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    // Anything of the group still alive has lost its parent: kill it.
    ::kill(-pid, SIGKILL);
}

}  // namespace numbrook::office
