// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The office processes of this machine and their sockets, as /proc shows
// them. Nothing here knows UNO.

#include <sys/types.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace numbrook::office {

struct ProcessEntry {
    pid_t pid = 0;
    pid_t parent = 0;
    pid_t group = 0;
    uid_t uid = 0;
    char state = '?';  // 'Z' for a zombie
    std::string name;  // the kernel's command name, e.g. "soffice.bin"
};

struct UnixSocketEntry {
    unsigned long inode = 0;
    bool listening = false;
    std::string path;  // empty for an unnamed socket
};

// One /proc/<pid>/stat line; the uid is left 0.
std::optional<ProcessEntry> parseStatLine(const std::string& line);
// The real uid from the text of /proc/<pid>/status.
std::optional<uid_t> parseStatusUid(const std::string& status);
// The sockets listed in the text of /proc/net/unix.
std::vector<UnixSocketEntry> parseUnixSockets(const std::string& table);
// The bytes of a whole file; empty if it cannot be read.
std::string readWholeFile(const std::string& path);

// Every process under procRoot ("/proc" or a copy laid out alike).
std::vector<ProcessEntry> listProcesses(const std::string& procRoot);
// The inodes of the sockets a process holds open.
std::set<unsigned long> socketInodesOf(const std::string& procRoot, pid_t pid);

// The given processes and all they started, as far as processes lists them.
std::set<pid_t> withDescendants(const std::vector<ProcessEntry>& processes,
                                const std::set<pid_t>& roots);

// The name that the single-instance pipes' socket files of user uid begin
// with ("OSL_PIPE_<uid>_SingleOfficeIPC_").
std::string singleInstancePipePrefix(uid_t uid);

// Whether an office instance of user uid runs that is not one of ours: a live
// (non-zombie) soffice.bin or oosplash process, or a listening single-instance
// pipe "OSL_PIPE_<uid>_SingleOfficeIPC_…" that no process of ours holds. The
// processes of ours are ownRoots and all their descendants. A socket file
// that nobody listens on any more does not count.
bool userInstanceRunning(const std::string& procRoot, uid_t uid, const std::set<pid_t>& ownRoots);

// A file URL for an absolute local path, made from the path's bytes: every
// byte but the unreserved ones and "/" is percent-encoded, so that no locale
// is needed to name a file whose name is Chinese.
std::string fileUrlFromPath(const std::string& path);

// ---- process groups ------------------------------------------------------------

// The processes of a process group, zombies included.
std::vector<ProcessEntry> groupMembers(const std::string& procRoot, pid_t group);
// The live (non-zombie) processes of a process group.
std::vector<pid_t> liveGroupMembers(const std::string& procRoot, pid_t group);
// The paths of the listening unix sockets that the given processes hold.
std::vector<std::string> listeningSocketPaths(const std::string& procRoot,
                                              const std::vector<pid_t>& pids);

// Removes a folder tree, ignoring errors.
void removeTree(const std::string& path);

}  // namespace numbrook::office
