// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Our profile folders, and what an earlier run of this program left: folders
// whose owner has died, their offices and their pipes.

#include <sys/types.h>

#include <string>

namespace numbrook::office {

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

// Removes a profile folder and the socket files it lists (absolute paths
// only); returns how many of those it removed.
int removeProfile(const std::string& profileFolder);

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
// in pipeFolder whose pid is gone, and the dead single-instance pipes. A
// shown instance that still runs is left alone; its folder goes once it has ended.
SweepResult sweepOrphans(const std::string& procRoot, const std::string& tempFolder,
                         const std::string& pipeFolder, uid_t uid);

}  // namespace numbrook::office
