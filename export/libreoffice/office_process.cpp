// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/libreoffice/office_process.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace numbrook::office {

namespace {

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

std::set<pid_t> withDescendants(const std::vector<ProcessEntry>& processes,
                                const std::set<pid_t>& roots)
{
    std::multimap<pid_t, pid_t> children;
    for (const ProcessEntry& process : processes) {
        children.emplace(process.parent, process.pid);
    }
    std::set<pid_t> found;
    std::vector<pid_t> pending(roots.begin(), roots.end());
    while (!pending.empty()) {
        const pid_t pid = pending.back();
        pending.pop_back();
        if (!found.insert(pid).second) {
            continue;
        }
        const auto [first, last] = children.equal_range(pid);
        for (auto it = first; it != last; ++it) {
            pending.push_back(it->second);
        }
    }
    return found;
}

bool userInstanceRunning(const std::string& procRoot, uid_t uid, const std::set<pid_t>& ownRoots)
{
    const std::vector<ProcessEntry> processes = listProcesses(procRoot);
    // Ours: the roots and everything they started.
    const std::set<pid_t> own = withDescendants(processes, ownRoots);
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

std::string singleInstancePipePrefix(uid_t uid)
{
    return "OSL_PIPE_" + std::to_string(uid) + "_SingleOfficeIPC_";
}

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

// ---- process groups ------------------------------------------------------------------

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

void removeTree(const std::string& path)
{
    if (path.empty()) {
        return;
    }
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

}  // namespace numbrook::office
