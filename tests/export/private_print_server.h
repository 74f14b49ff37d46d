// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A print server of the test's own: cupsd run as the invoking user on a
// socket in a private folder, with one raw queue, the default, that prints
// into /dev/null and keeps every job's document for the test to read. CUPS
// clients of this process and of its children (lpadmin, cupsaccept) talk to
// it alone while it lives.

#include <cups/cups.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "tests/support/environment.h"

extern char** environ;

namespace numbrook::testing {

class PrivatePrintServer {
public:
    static constexpr const char* kQueue = "numbrook-test";

    ~PrivatePrintServer()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
        if (!dir_.empty())
            std::filesystem::remove_all(dir_);
        ::unsetenv("CUPS_SERVER");
        cupsSetServer(nullptr);
    }

    // Starts the server; on failure, why not (the test then skips).
    std::string start()
    {
        const char* cupsd = "/usr/sbin/cupsd";
        char folder[] = "/tmp/numbrook-cupsd-XXXXXX";
        if (::access(cupsd, X_OK) != 0 || !run("command -v lpadmin"))
            return "cupsd and lpadmin are needed (cups-daemon, cups-client)";
        if (!::mkdtemp(folder))
            return "no folder for the print server";
        dir_ = folder;
        std::filesystem::create_directories(dir_ + "/spool/tmp");
        const auto write = [this](const char* name, const std::string& text) {
            std::ofstream(dir_ + name) << std::regex_replace(text, std::regex("@"), dir_);
        };
        write("/cupsd.conf",
              "Listen @/socket\nBrowsing No\nPreserveJobFiles Yes\n"
              "<Location />\nOrder allow,deny\nAllow all\n</Location>\n"
              "<Policy default>\n<Limit All>\nOrder allow,deny\nAllow all\n"
              "</Limit>\n</Policy>\n");
        write("/cups-files.conf",
              "ServerRoot @\nRequestRoot @/spool\nTempDir @/spool/tmp\n"
              "CacheDir @\nStateDir @\nErrorLog @/log\nAccessLog @/log\n"
              "PageLog @/log\nPrintcap @/printcap\nFileDevice Yes\n");
        const std::string conf = dir_ + "/cupsd.conf", files = dir_ + "/cups-files.conf";
        const char* argv[] = {cupsd, "-f", "-c", conf.c_str(), "-s", files.c_str(), nullptr};
        if (::posix_spawn(&pid_, cupsd, nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
            pid_ = -1;
            return "cupsd could not be started";
        }
        const std::string socket = dir_ + "/socket";
        ::setenv("CUPS_SERVER", socket.c_str(), 1);
        ::unsetenv("LPDEST");  // the default is the server's: the queue
        ::unsetenv("PRINTER");
        cupsSetServer(socket.c_str());
        // Up once it answers; it ends within seconds when it can't start.
        const auto upOrEnded = [this] {
            return answers() || ::waitpid(pid_, nullptr, WNOHANG) == pid_;
        };
        if (!eventually(upOrEnded, std::chrono::seconds(10)) || !answers())
            return "cupsd did not start: " + log();
        if (!run(std::string("lpadmin -p ") + kQueue + " -E -v file:///dev/null -m raw") ||
            !run(std::string("lpadmin -d ") + kQueue))
            return "lpadmin could not add the queue: " + log();
        return {};
    }

    // Runs a command (a CUPS client against this server); true when it succeeded.
    static bool run(const std::string& command)
    {
        return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
    }

    // The document of job id as the server spooled it.
    std::string spooledDocument(int job) const
    {
        char name[32];
        std::snprintf(name, sizeof name, "/spool/d%05d-001", job);
        return dir_ + name;
    }

private:
    static bool answers()
    {
        http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC,
                                    HTTP_ENCRYPTION_NEVER, 1, 200, nullptr);
        httpClose(http);
        return http != nullptr;
    }

    std::string log() const
    {
        std::ifstream in(dir_ + "/log");
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        return text.substr(text.size() > 2000 ? text.size() - 2000 : 0);
    }

    std::string dir_;
    pid_t pid_ = -1;
};

}  // namespace numbrook::testing
