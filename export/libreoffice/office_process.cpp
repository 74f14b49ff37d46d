// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/libreoffice/office_process.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace numbrook::office {

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(10);

std::string readWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return {};
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool isOfficeProcessName(const std::string& name)
{
    return name == "soffice.bin" || name == "oosplash";
}

std::string fileNameOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::optional<ProcessEntry> parseStatLine(const std::string& line)
{
    // "pid (comm) state ppid pgrp ..."; comm may itself hold spaces and brackets.
    const auto open = line.find('(');
    const auto close = line.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open) {
        return std::nullopt;
    }
    ProcessEntry entry;
    std::istringstream head(line.substr(0, open));
    long pid = 0;
    if (!(head >> pid)) {
        return std::nullopt;
    }
    std::istringstream tail(line.substr(close + 1));
    long parent = 0;
    long group = 0;
    if (!(tail >> entry.state >> parent >> group)) {
        return std::nullopt;
    }
    entry.pid = static_cast<pid_t>(pid);
    entry.parent = static_cast<pid_t>(parent);
    entry.group = static_cast<pid_t>(group);
    entry.name = line.substr(open + 1, close - open - 1);
    return entry;
}

std::optional<uid_t> parseStatusUid(const std::string& status)
{
    std::istringstream lines(status);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("Uid:", 0) == 0) {
            std::istringstream fields(line.substr(4));
            unsigned long uid = 0;
            if (fields >> uid) {
                return static_cast<uid_t>(uid);
            }
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::vector<UnixSocketEntry> parseUnixSockets(const std::string& table)
{
    // Num RefCount Protocol Flags Type St Inode [Path]
    constexpr unsigned long kAcceptingConnections = 0x10000;  // __SO_ACCEPTCON
    std::vector<UnixSocketEntry> sockets;
    std::istringstream lines(table);
    std::string line;
    std::getline(lines, line);  // the column titles
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string slot;
        std::string refCount;
        std::string protocol;
        std::string flags;
        std::string type;
        std::string state;
        UnixSocketEntry entry;
        if (!(fields >> slot >> refCount >> protocol >> flags >> type >> state >> entry.inode)) {
            continue;
        }
        entry.listening = (std::strtoul(flags.c_str(), nullptr, 16) & kAcceptingConnections) != 0;
        fields >> entry.path;
        sockets.push_back(std::move(entry));
    }
    return sockets;
}

std::vector<ProcessEntry> listProcesses(const std::string& procRoot)
{
    std::vector<ProcessEntry> processes;
    DIR* folder = ::opendir(procRoot.c_str());
    if (folder == nullptr) {
        return processes;
    }
    while (const dirent* item = ::readdir(folder)) {
        const std::string name = item->d_name;
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        const std::string base = procRoot + "/" + name;
        // A process may end between the listing and the reading: skip it then.
        auto entry = parseStatLine(readWholeFile(base + "/stat"));
        const auto uid = parseStatusUid(readWholeFile(base + "/status"));
        if (!entry || !uid) {
            continue;
        }
        entry->uid = *uid;
        processes.push_back(std::move(*entry));
    }
    ::closedir(folder);
    return processes;
}

std::set<unsigned long> socketInodesOf(const std::string& procRoot, pid_t pid)
{
    std::set<unsigned long> inodes;
    const std::string fdFolder = procRoot + "/" + std::to_string(pid) + "/fd";
    DIR* folder = ::opendir(fdFolder.c_str());
    if (folder == nullptr) {
        return inodes;
    }
    while (const dirent* item = ::readdir(folder)) {
        char target[256];
        const std::string link = fdFolder + "/" + item->d_name;
        const ssize_t length = ::readlink(link.c_str(), target, sizeof target - 1);
        if (length <= 0) {
            continue;
        }
        const std::string text(target, static_cast<size_t>(length));
        unsigned long inode = 0;
        if (std::sscanf(text.c_str(), "socket:[%lu]", &inode) == 1) {
            inodes.insert(inode);
        }
    }
    ::closedir(folder);
    return inodes;
}

bool userInstanceRunning(const std::string& procRoot, uid_t uid, const std::set<pid_t>& ownRoots)
{
    const std::vector<ProcessEntry> processes = listProcesses(procRoot);

    // Ours: the roots and everything they started.
    std::multimap<pid_t, pid_t> children;
    for (const ProcessEntry& process : processes) {
        children.emplace(process.parent, process.pid);
    }
    std::set<pid_t> own;
    std::vector<pid_t> pending(ownRoots.begin(), ownRoots.end());
    while (!pending.empty()) {
        const pid_t pid = pending.back();
        pending.pop_back();
        if (!own.insert(pid).second) {
            continue;
        }
        const auto [first, last] = children.equal_range(pid);
        for (auto it = first; it != last; ++it) {
            pending.push_back(it->second);
        }
    }

    for (const ProcessEntry& process : processes) {
        if (process.uid == uid && process.state != 'Z' && isOfficeProcessName(process.name) &&
            own.count(process.pid) == 0) {
            return true;
        }
    }

    // An instance whose processes are not visible here (another name, another
    // process namespace) still listens on its single-instance pipe.
    const std::string pipePrefix = singleInstancePipePrefix(uid);
    std::set<unsigned long> ownInodes;
    bool ownInodesRead = false;
    for (const UnixSocketEntry& socket : parseUnixSockets(readWholeFile(procRoot + "/net/unix"))) {
        if (!socket.listening || fileNameOf(socket.path).rfind(pipePrefix, 0) != 0) {
            continue;
        }
        if (!ownInodesRead) {
            for (const pid_t pid : own) {
                const auto inodes = socketInodesOf(procRoot, pid);
                ownInodes.insert(inodes.begin(), inodes.end());
            }
            ownInodesRead = true;
        }
        if (ownInodes.count(socket.inode) == 0) {
            return true;
        }
    }
    return false;
}

// ---- starting an office safely -------------------------------------------------------

std::string fileUrlFromPath(const std::string& path)
{
    static const char* const kHex = "0123456789ABCDEF";
    std::string url = "file://";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0 && byte < 0x80) {
            url += c;
        } else if (c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            url += c;
        } else {
            url += '%';
            url += kHex[byte >> 4];
            url += kHex[byte & 0x0F];
        }
    }
    return url;
}

bool isUtf8LocaleName(const std::string& name)
{
    const auto dot = name.find('.');
    if (dot == std::string::npos) {
        return false;
    }
    std::string codeset = name.substr(dot + 1, name.find('@', dot) - dot - 1);
    codeset.erase(std::remove(codeset.begin(), codeset.end(), '-'), codeset.end());
    std::transform(codeset.begin(), codeset.end(), codeset.begin(), [](char c) {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    });
    return codeset == "utf8";
}

std::vector<std::string> officeEnvironment(const std::vector<std::string>& ours)
{
    const auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    const auto valueOf = [&ours, &nameOf](const std::string& name) -> std::string {
        for (const std::string& entry : ours) {
            if (nameOf(entry) == name && entry.size() > name.size()) {
                return entry.substr(name.size() + 1);
            }
        }
        return {};
    };
    // The character type the office would take, as the C library picks it.
    std::string characterType = valueOf("LC_ALL");
    if (characterType.empty())
        characterType = valueOf("LC_CTYPE");
    if (characterType.empty())
        characterType = valueOf("LANG");
    const bool utf8 = isUtf8LocaleName(characterType);

    std::vector<std::string> environment;
    for (const std::string& entry : ours) {
        const std::string name = nameOf(entry);
        if (name == "PATH" || name == "LD_PRELOAD" || name == "LD_LIBRARY_PATH" ||
            name == "LD_AUDIT" || (!utf8 && name == "LC_ALL")) {
            continue;
        }
        environment.push_back(entry);
    }
    environment.emplace_back("PATH=/usr/local/bin:/usr/bin:/bin");
    if (!utf8) {
        environment.emplace_back("LC_ALL=C.UTF-8");
    }
    return environment;
}

namespace {

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

// Removes the pipes listed in the profile, the given files, the profile,
// then the socket files named "$d…" that no socket is bound to any more.
constexpr const char* kCleanUpScript =
    "p=$1; d=$2; shift 2; "
    "if [ -f \"$p/pipes\" ]; then while IFS= read -r f; do case $f in /*) rm -f -- \"$f\";; esac; "
    "done < \"$p/pipes\"; fi; "
    "rm -f -- \"$@\"; rm -rf -- \"$p\"; "
    "case $d in /*) for f in \"$d\"*; do "
    "[ -S \"$f\" ] && ! grep -q \" $f\\$\" /proc/net/unix && rm -f -- \"$f\"; done;; esac";

void closeDescriptorsFrom(int first)
{
#ifdef SYS_close_range
    if (::syscall(SYS_close_range, static_cast<unsigned>(first), ~0U, 0U) == 0) {
        return;
    }
#endif
    for (int fd = first; fd < 65536; ++fd) {
        ::close(fd);
    }
}

// The keeper, after the fork: only async-signal-safe calls from here on.
[[noreturn]] void keeperMain(pid_t owner, const char* program, char* const* argv, char* const* envp,
                             const char* workFolder, char* const* cleanUpArgv,
                             char* const* cleanUpEnvp)
{
    ::setsid();
    ::prctl(PR_SET_NAME, "officekeeper", 0, 0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGTERM, 0, 0, 0);
    const bool ownerGone = ::getppid() != owner;

    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal) {
        if (signal != SIGKILL && signal != SIGSTOP) {
            ::sigaction(signal, &byDefault, nullptr);
        }
    }
    const int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
    }
    closeDescriptorsFrom(3);
    if (::chdir("/") != 0) {
        // Nothing of the keeper depends on its working folder.
    }

    sigset_t awaited;
    sigemptyset(&awaited);
    for (const int signal : {SIGCHLD, SIGTERM, SIGINT, SIGHUP, SIGUSR1}) {
        sigaddset(&awaited, signal);
    }
    bool released = false;
    bool ending = ownerGone;
    const pid_t keeper = ::getpid();
    for (int restarts = 0; !ending;) {
        const pid_t office = ::fork();
        if (office == 0) {
            // The office dies with its keeper.
            ::prctl(PR_SET_PDEATHSIG, SIGKILL, 0, 0, 0);
            if (::getppid() != keeper || ::chdir(workFolder) != 0) {
                ::_exit(127);
            }
            sigset_t none;
            sigemptyset(&none);
            ::sigprocmask(SIG_SETMASK, &none, nullptr);
            // Its pipes and files are the user's alone, whatever the user's umask.
            ::umask(077);
            ::execve(program, argv, envp);
            ::_exit(127);
        }
        if (office < 0) {
            break;
        }
        int status = 0;
        bool killed = false;
        for (;;) {
            siginfo_t info;
            const int signal = ::sigwaitinfo(&awaited, &info);
            if (signal == SIGUSR1) {
                released = true;
            } else if ((signal == SIGTERM || signal == SIGINT || signal == SIGHUP) && !released) {
                // The program has ended: so does the instance it ran hidden.
                killed = true;
                ::kill(office, SIGKILL);
            }
            if (::waitpid(office, &status, WNOHANG) == office) {
                break;
            }
        }
        // The office asks for a restart with these codes, as after a first start.
        const bool restart = !killed && WIFEXITED(status) &&
                             (WEXITSTATUS(status) == 79 || WEXITSTATUS(status) == 81);
        ending = !restart || ++restarts > 3;
    }
    // The clearing up is not cut short by this program's end: no death
    // signal, and the signals of an ending session ignored.
    ::prctl(PR_SET_PDEATHSIG, 0, 0, 0, 0);
    struct sigaction ignored {};
    ignored.sa_handler = SIG_IGN;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        ::sigaction(signal, &ignored, nullptr);
    }
    ::execve("/bin/sh", cleanUpArgv, cleanUpEnvp);
    ::_exit(0);
}

}  // namespace

pid_t startKept(const KeptOffice& office)
{
    // Everything the keeper needs is made before the fork.
    const std::vector<char*> argv = cStrings(office.arguments);
    const std::vector<char*> envp = cStrings(office.environment);
    std::vector<std::string> cleanUp{
        "sh", "-c", kCleanUpScript, "sh", office.profileFolder, office.deadPipes};
    cleanUp.insert(cleanUp.end(), office.files.begin(), office.files.end());
    const std::vector<char*> cleanUpArgv = cStrings(cleanUp);
    const std::vector<std::string> cleanUpEnvironment{"PATH=/usr/bin:/bin", "LC_ALL=C"};
    const std::vector<char*> cleanUpEnvp = cStrings(cleanUpEnvironment);
    const pid_t owner = ::getpid();

    // No handler of this program may run in the child: all signals stay
    // blocked across the fork, and the keeper waits for them synchronously.
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &previous);
    const pid_t keeper = ::fork();
    if (keeper == 0) {
        keeperMain(owner, office.program.c_str(), argv.data(), envp.data(),
                   office.workFolder.c_str(), cleanUpArgv.data(), cleanUpEnvp.data());
    }
    const int error = errno;
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (keeper < 0) {
        throw std::runtime_error(std::string("fork: ") + std::strerror(error));
    }
    return keeper;
}

void releaseKept(pid_t keeper)
{
    if (keeper > 0) {
        ::kill(keeper, SIGUSR1);
    }
}

// ---- what an earlier run left ---------------------------------------------------------------

std::string processIdentity(const std::string& procRoot, pid_t pid)
{
    const std::string stat = readWholeFile(procRoot + "/" + std::to_string(pid) + "/stat");
    const auto close = stat.rfind(')');
    if (close == std::string::npos) {
        return {};
    }
    std::istringstream fields(stat.substr(close + 1));
    std::string field;
    // After the command name: state is field 3 of the line, the start time field 22.
    for (int index = 3; index <= 22; ++index) {
        if (!(fields >> field)) {
            return {};
        }
    }
    return std::to_string(pid) + " " + field;
}

bool ownerAlive(const std::string& procRoot, const std::string& ownerText)
{
    std::istringstream fields(ownerText);
    long pid = 0;
    std::string started;
    if (!(fields >> pid >> started) || pid <= 0) {
        return false;
    }
    return processIdentity(procRoot, static_cast<pid_t>(pid)) ==
           std::to_string(pid) + " " + started;
}

namespace {

std::vector<pid_t> processesOnProfile(const std::string& procRoot, const std::string& profile)
{
    const std::string needle = "-env:UserInstallation=" + fileUrlFromPath(profile);
    std::vector<pid_t> users;
    for (const ProcessEntry& process : listProcesses(procRoot)) {
        if (process.state == 'Z') {
            continue;
        }
        std::string command =
            readWholeFile(procRoot + "/" + std::to_string(process.pid) + "/cmdline");
        std::replace(command.begin(), command.end(), '\0', '\n');
        command += '\n';
        if (command.find(needle + "\n") != std::string::npos) {
            users.push_back(process.pid);
        }
    }
    return users;
}

bool removeFile(const std::string& path)
{
    return ::unlink(path.c_str()) == 0;
}

}  // namespace

std::string singleInstancePipePrefix(uid_t uid)
{
    return "OSL_PIPE_" + std::to_string(uid) + "_SingleOfficeIPC_";
}

int removeDeadSingleInstancePipes(const std::string& procRoot, const std::string& pipeFolder,
                                  uid_t uid)
{
    namespace fs = std::filesystem;
    const std::string prefix = singleInstancePipePrefix(uid);
    std::error_code error;
    std::vector<std::string> candidates;
    for (const fs::directory_entry& entry : fs::directory_iterator(pipeFolder, error)) {
        struct stat info {};
        if (entry.path().filename().string().rfind(prefix, 0) == 0 &&
            ::lstat(entry.path().c_str(), &info) == 0 && S_ISSOCK(info.st_mode) &&
            info.st_uid == uid) {
            candidates.push_back(entry.path().string());
        }
    }
    // Read after the listing: a socket bound meanwhile is seen as bound.
    std::set<std::string> bound;
    for (const UnixSocketEntry& socket : parseUnixSockets(readWholeFile(procRoot + "/net/unix"))) {
        bound.insert(socket.path);
    }
    int removed = 0;
    for (const std::string& path : candidates) {
        if (bound.count(path) == 0 && removeFile(path)) {
            ++removed;
        }
    }
    return removed;
}

SweepResult sweepOrphans(const std::string& procRoot, const std::string& tempFolder,
                         const std::string& pipeFolder, uid_t uid)
{
    SweepResult result;
    namespace fs = std::filesystem;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(tempFolder, error)) {
        const std::string name = entry.path().filename().string();
        const std::string folder = entry.path().string();
        struct stat info {};
        if (name.rfind(kProfilePrefix, 0) != 0 || ::lstat(folder.c_str(), &info) != 0 ||
            !S_ISDIR(info.st_mode) || info.st_uid != uid) {
            continue;
        }
        const std::string owner = readWholeFile(folder + "/" + kOwnerFile);
        if (owner.empty()) {
            // A folder another run is setting up right now has no owner yet.
            if (::time(nullptr) - info.st_mtime < 60) {
                continue;
            }
        } else if (ownerAlive(procRoot, owner)) {
            continue;
        }
        std::vector<pid_t> users = processesOnProfile(procRoot, folder);
        if (!users.empty()) {
            if (fs::exists(folder + "/" + kShownFile, error)) {
                continue;  // the user's instance: it goes when the user ends it
            }
            for (const pid_t pid : users) {
                if (::kill(pid, SIGKILL) == 0) {
                    ++result.processesKilled;
                }
            }
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
            while (!processesOnProfile(procRoot, folder).empty() &&
                   std::chrono::steady_clock::now() < deadline) {
                std::this_thread::sleep_for(kPollInterval);
            }
        }
        std::istringstream pipes(readWholeFile(folder + "/" + kPipesFile));
        std::string pipe;
        while (std::getline(pipes, pipe)) {
            if (!pipe.empty() && pipe[0] == '/' && removeFile(pipe)) {
                ++result.filesRemoved;
            }
        }
        removeTree(folder);
        ++result.foldersRemoved;
    }
    // "OSL_PIPE_<uid>_numbrook_<pid>_…": the accepting pipes of our instances.
    const std::string pipePrefix = "OSL_PIPE_" + std::to_string(uid) + "_" + kPipePrefix;
    for (const fs::directory_entry& entry : fs::directory_iterator(pipeFolder, error)) {
        const std::string name = entry.path().filename().string();
        struct stat info {};
        if (name.rfind(pipePrefix, 0) != 0 || ::lstat(entry.path().c_str(), &info) != 0 ||
            !S_ISSOCK(info.st_mode) || info.st_uid != uid) {
            continue;
        }
        const long pid = std::strtol(name.c_str() + pipePrefix.size(), nullptr, 10);
        if (pid > 0 && !fs::exists(procRoot + "/" + std::to_string(pid), error) &&
            removeFile(entry.path().string())) {
            ++result.filesRemoved;
        }
    }
    result.filesRemoved += removeDeadSingleInstancePipes(procRoot, pipeFolder, uid);
    return result;
}

SpawnedProcess spawnInNewSession(const std::string& program,
                                 const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawnattr_init(&attributes);
    ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    // Its own session: the instance is not hit by signals meant for this
    // program's terminal or group, and can outlive the program once shown.
    ::posix_spawnattr_setflags(&attributes,
                               POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    sigset_t signals;
    sigemptyset(&signals);
    ::posix_spawnattr_setsigmask(&attributes, &signals);
    sigfillset(&signals);
    ::posix_spawnattr_setsigdefault(&attributes, &signals);

    pid_t pid = -1;
    const int error =
        ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        throw std::runtime_error(program + ": " + std::strerror(error));
    }
    return SpawnedProcess{pid};
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

std::vector<ProcessEntry> groupMembers(const std::string& procRoot, pid_t group)
{
    std::vector<ProcessEntry> members;
    for (ProcessEntry& process : listProcesses(procRoot)) {
        if (process.group == group) {
            members.push_back(std::move(process));
        }
    }
    return members;
}

std::vector<pid_t> liveGroupMembers(const std::string& procRoot, pid_t group)
{
    std::vector<pid_t> members;
    for (const ProcessEntry& process : groupMembers(procRoot, group)) {
        if (process.state != 'Z') {
            members.push_back(process.pid);
        }
    }
    return members;
}

std::vector<std::string> listeningSocketPaths(const std::string& procRoot,
                                              const std::vector<pid_t>& pids)
{
    std::set<unsigned long> held;
    for (const pid_t pid : pids) {
        const auto inodes = socketInodesOf(procRoot, pid);
        held.insert(inodes.begin(), inodes.end());
    }
    std::vector<std::string> paths;
    for (const UnixSocketEntry& socket : parseUnixSockets(readWholeFile(procRoot + "/net/unix"))) {
        if (socket.listening && !socket.path.empty() && socket.path[0] == '/' &&
            held.count(socket.inode) != 0) {
            paths.push_back(socket.path);
        }
    }
    return paths;
}

void endProcessGroup(pid_t pid, std::chrono::milliseconds grace)
{
    if (pid <= 0) {
        return;
    }
    if (!waitForChild(pid, grace)) {
        // Kill the others first and let the child reap them: an orphan would
        // stay a zombie where init does not reap.
        for (const pid_t member : liveGroupMembers("/proc", pid)) {
            if (member != pid) {
                ::kill(member, SIGKILL);
            }
        }
        const auto othersLeft = [pid] {
            for (const ProcessEntry& member : groupMembers("/proc", pid)) {
                if (member.pid != pid) {
                    return true;
                }
            }
            return false;
        };
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

void removeTree(const std::string& path)
{
    if (path.empty()) {
        return;
    }
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

}  // namespace numbrook::office
