// SPDX-License-Identifier: GPL-3.0-or-later
// The keeper of an office instance: runs the office as its only child, ends
// it when the program that started the keeper dies (unless the office was
// given to the user), and clears its profile and pipes away once it has
// ended, whoever ended it. startKept runs it as
//   <keeper> <owner pid> <work folder> <profile> <pipe folder> <socket file>... -- <program>
//   <argv>...
// in a session of its own, with every signal blocked and the office's environment.

#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "export/libreoffice/office_sweep.h"

extern char** environ;

namespace {

using numbrook::office::removeDeadSingleInstancePipes;
using numbrook::office::removeProfile;

// Runs the office, again when it asks for a restart, until it has ended for
// good or this program's death has ended it.
void keepOffice(const std::string& workFolder, char* const* argv)
{
    sigset_t awaited;
    sigemptyset(&awaited);
    for (const int signal : {SIGCHLD, SIGTERM, SIGINT, SIGHUP, SIGUSR1}) {
        sigaddset(&awaited, signal);
    }
    const pid_t keeper = ::getpid();
    bool released = false;
    for (int restarts = 0;; ++restarts) {
        const pid_t office = ::fork();
        if (office == 0) {
            // The office dies with its keeper.
            ::prctl(PR_SET_PDEATHSIG, SIGKILL, 0, 0, 0);
            if (::getppid() != keeper || ::chdir(workFolder.c_str()) != 0) {
                ::_exit(127);
            }
            sigset_t none;
            sigemptyset(&none);
            ::sigprocmask(SIG_SETMASK, &none, nullptr);
            // Nobody else may write to its files or connect to its pipes
            // (connecting needs write permission), whatever the user's umask.
            // Not stricter: what it shares, such as LibreOffice's extension
            // cache that an office run by root creates, stays readable to all.
            ::umask(::umask(0) | 022);
            ::execve(argv[0], argv + 1, environ);
            ::_exit(127);
        }
        if (office < 0) {
            return;
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
        if (!restart || restarts == 3) {
            return;
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    // This program's death reaches the keeper as SIGTERM, blocked until awaited.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM, 0, 0, 0);
    char** const separator = std::find_if(
        argv, argv + argc, [](const char* argument) { return std::string(argument) == "--"; });
    // Only a profile folder of our naming is ever removed.
    if (argc < 5 || separator - argv < 5 || argv + argc - separator < 3 ||
        std::string(basename(argv[3])).rfind(numbrook::office::kProfilePrefix, 0) != 0) {
        std::fprintf(stderr,
                     "usage: %s <owner pid> <work folder> <profile> <pipe folder> "
                     "<socket file>... -- <program> <argv>...\n",
                     argv[0]);
        return 2;
    }
    const pid_t owner = static_cast<pid_t>(std::strtol(argv[1], nullptr, 10));
    const std::string workFolder = argv[2];
    const std::string profile = argv[3];
    const std::string pipeFolder = argv[4];
    const std::vector<std::string> files(argv + 5, separator);

    ::closefrom(3);
    if (::chdir("/") != 0) {
        // Nothing of the keeper depends on its working folder.
    }
    // An owner that died before the death signal was set has no office started.
    if (::getppid() == owner) {
        keepOffice(workFolder, separator + 1);
    }
    // The clearing up is not cut short by this program's end: the signals
    // stay blocked, and no death signal comes any more.
    ::prctl(PR_SET_PDEATHSIG, 0, 0, 0, 0);
    removeProfile(profile);
    for (const std::string& file : files) {
        struct stat info {};
        if (::lstat(file.c_str(), &info) == 0 && S_ISSOCK(info.st_mode)) {
            ::unlink(file.c_str());
        }
    }
    if (!pipeFolder.empty()) {
        removeDeadSingleInstancePipes("/proc", pipeFolder, ::getuid());
    }
    return 0;
}
