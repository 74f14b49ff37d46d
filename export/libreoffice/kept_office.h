// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The starting, watching and ending of the office instance the host runs
// itself, under a keeper program. Nothing here knows UNO.

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace numbrook::office {

// What the keeper of an office instance starts and clears away.
struct KeptOffice {
    std::string program;                 // absolute path of soffice.bin
    std::vector<std::string> arguments;  // argv, [0] the program
    std::vector<std::string> environment;
    std::string workFolder;          // the office's working folder
    std::string profileFolder;       // "…/numbrook-office-…", removed when the office has ended
    std::vector<std::string> files;  // socket files removed with it (the pipes'), absolute
    // The folder whose single-instance pipes of this user that no socket is
    // bound to any more are removed with it too.
    std::string pipeFolder;
};

// The keeper program: beside the code that starts it (the module, or the
// executable it is linked into). Throws std::runtime_error when unknown.
std::string keeperProgram();

// Starts the office under a keeper: the keeper program, run in a session and
// process group of its own with the office's environment, whose only child is
// the office. The keeper dies with the calling thread (SIGTERM on its death)
// and then ends the office, unless it was released (releaseKept) to the
// user; the office dies with the keeper. When the office has ended, for
// whatever reason, the keeper removes the profile folder with the files it
// lists, the given files and the dead single-instance pipes, and ends.
// The office runs with the user's umask, at least 022. The standard streams
// are /dev/null, and the keeper holds no other descriptor of this program.
// Returns the keeper's pid (the group's leader); throws std::runtime_error.
pid_t startKept(const KeptOffice& office);
// Tells the keeper that the office is the user's now: it outlives this program.
void releaseKept(pid_t keeper);

// Reaps the child when it has ended; true if it has ended (now or before).
bool childHasEnded(pid_t pid);
// Waits up to timeout for the child to end; true if it ended.
bool waitForChild(pid_t pid, std::chrono::milliseconds timeout);
// Sends signal to every live process of the group that leader leads, but
// not to the leader.
void signalGroupButLeader(pid_t leader, int signal);
// Ends the child and every process of its group (the child leads it): waits
// up to grace for the child to end on its own, then kills the others before
// the child, so that the child reaps them, and reaps the child.
void endProcessGroup(pid_t pid, std::chrono::milliseconds grace);

}  // namespace numbrook::office
