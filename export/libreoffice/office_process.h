// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The office processes of this machine, as /proc shows them, and the
// starting, watching and ending of the instance the host runs itself.
// Nothing here knows UNO.

#include <sys/types.h>

#include <chrono>
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

// Every process under procRoot ("/proc" or a copy laid out alike).
std::vector<ProcessEntry> listProcesses(const std::string& procRoot);
// The inodes of the sockets a process holds open.
std::set<unsigned long> socketInodesOf(const std::string& procRoot, pid_t pid);

// Whether an office instance of user uid runs that is not one of ours: a live
// (non-zombie) soffice.bin or oosplash process, or a listening single-instance
// pipe "OSL_PIPE_<uid>_SingleOfficeIPC_…" that no process of ours holds. The
// processes of ours are ownRoots and all their descendants. A socket file
// that nobody listens on any more does not count.
bool userInstanceRunning(const std::string& procRoot, uid_t uid, const std::set<pid_t>& ownRoots);

// ---- starting an office safely -------------------------------------------------

// A file URL for an absolute local path, made from the path's bytes: every
// byte but the unreserved ones and "/" is percent-encoded, so that no locale
// is needed to name a file whose name is Chinese.
std::string fileUrlFromPath(const std::string& path);

// Whether a locale name ("zh_CN.UTF-8", "C.utf8") names the UTF-8 character set.
bool isUtf8LocaleName(const std::string& name);

// The environment an office runs in, made from this program's ("NAME=value"
// entries): a fixed PATH of system folders; no preloaded libraries or library
// path; and, unless the character type the office would take from LC_ALL,
// LC_CTYPE or LANG is UTF-8 already, LC_ALL=C.UTF-8, so that it can name
// files whatever the user's locale.
std::vector<std::string> officeEnvironment(const std::vector<std::string>& ours);

// What the keeper of an office instance starts and clears away.
struct KeptOffice {
    std::string program;                 // absolute path of soffice.bin
    std::vector<std::string> arguments;  // argv, [0] the program
    std::vector<std::string> environment;
    std::string workFolder;          // the office's working folder
    std::string profileFolder;       // removed when the office has ended
    std::vector<std::string> files;  // removed with it (the pipes' socket files)
    // "<folder>/<name prefix>": the socket files so named that no socket is
    // bound to any more are removed with it too (the office's single-instance pipe).
    std::string deadPipes;
};

// Starts the office under a keeper: a small process of this program, in a
// session and process group of its own, whose only child is the office.
// The keeper dies with the calling thread's process (SIGTERM on its death)
// and then ends the office, unless it was released (releaseKept) to the user;
// the office dies with the keeper. When the office has ended, for whatever
// reason, the keeper removes the profile folder, the files listed in
// "<profile>/pipes", the given files and the dead pipes, and ends.
// The office runs with umask 077. The office's standard
// streams are /dev/null and it holds no other descriptor of this program.
// Returns the keeper's pid (the group's leader); throws std::runtime_error.
pid_t startKept(const KeptOffice& office);
// Tells the keeper that the office is the user's now: it outlives this program.
void releaseKept(pid_t keeper);

// The marker files in a profile folder of ours.
inline constexpr const char* kOwnerFile = "numbrook-owner";  // "<pid> <start time>"
inline constexpr const char* kShownFile = "numbrook-shown";  // the user's instance
inline constexpr const char* kPipesFile = "pipes";           // socket files, one a line
// The name prefix of our profile folders (in $TMPDIR or /tmp) and of our pipes.
inline constexpr const char* kProfilePrefix = "numbrook-office-";
inline constexpr const char* kPipePrefix = "numbrook_";

// "<pid> <start time>" of a process, as the owner file holds it; empty if it is gone.
std::string processIdentity(const std::string& procRoot, pid_t pid);
// Whether the process an owner file names still runs (same pid, same start time).
bool ownerAlive(const std::string& procRoot, const std::string& ownerText);

// The name that the single-instance pipes' socket files of user uid begin
// with ("OSL_PIPE_<uid>_SingleOfficeIPC_").
std::string singleInstancePipePrefix(uid_t uid);
// Removes the single-instance pipes' socket files of user uid in pipeFolder
// that no socket is bound to any more: what an office that was killed left.
// Returns how many it removed.
int removeDeadSingleInstancePipes(const std::string& procRoot, const std::string& pipeFolder,
                                  uid_t uid);

// What a sweep found and did.
struct SweepResult {
    int foldersRemoved = 0;
    int processesKilled = 0;
    int filesRemoved = 0;
};

// Clears away what an earlier run of this program left in tempFolder: the
// profile folders of our naming owned by uid whose owner has died, the
// office processes that still run on such a profile unless it was shown to
// the user, their listed pipes, and socket files "OSL_PIPE_<uid>_numbrook_<pid>_…"
// in pipeFolder whose pid is gone, and the dead single-instance pipes. A shown instance that still
// runs is left alone; its folder goes once it has ended.
SweepResult sweepOrphans(const std::string& procRoot, const std::string& tempFolder,
                         const std::string& pipeFolder, uid_t uid);

// A started office process: its own session and process group (so that it
// can outlive this program), its standard streams on /dev/null.
struct SpawnedProcess {
    pid_t pid = -1;
};

// Starts program with arguments (argv[0] is program) in a new session.
// Throws std::runtime_error with the reason on failure.
SpawnedProcess spawnInNewSession(const std::string& program,
                                 const std::vector<std::string>& arguments);

// Reaps the child when it has ended; true if it has ended (now or before).
bool childHasEnded(pid_t pid);
// Waits up to timeout for the child to end; true if it ended.
bool waitForChild(pid_t pid, std::chrono::milliseconds timeout);
// Ends the child and every process of its group (the child leads it): waits
// up to grace for the child to end on its own, then kills the others before
// the child, so that the child reaps them, and reaps the child.
void endProcessGroup(pid_t pid, std::chrono::milliseconds grace);
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
