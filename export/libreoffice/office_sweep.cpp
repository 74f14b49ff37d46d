// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/libreoffice/office_sweep.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include "export/libreoffice/office_process.h"

namespace numbrook::office {

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

constexpr auto kPollInterval = std::chrono::milliseconds(10);

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

int removeProfile(const std::string& profileFolder)
{
    int removed = 0;
    std::istringstream pipes(readWholeFile(profileFolder + "/" + kPipesFile));
    std::string pipe;
    while (std::getline(pipes, pipe)) {
        if (!pipe.empty() && pipe[0] == '/' && removeFile(pipe)) {
            ++removed;
        }
    }
    removeTree(profileFolder);
    return removed;
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
        result.filesRemoved += removeProfile(folder);
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

}  // namespace numbrook::office
