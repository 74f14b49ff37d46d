// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A print server of the test's own: cupsd run as the invoking user on a
// socket in a private folder, with one raw queue that prints into
// /dev/null and keeps every job's document for the test to read. CUPS
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
#include <string>
#include <thread>

extern char** environ;

namespace numbrook::testing {

class PrivatePrintServer {
public:
    static constexpr const char* kQueue = "numbrook-test";

    PrivatePrintServer() = default;
    PrivatePrintServer(const PrivatePrintServer&) = delete;
    PrivatePrintServer& operator=(const PrivatePrintServer&) = delete;

    ~PrivatePrintServer()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
        if (!dir_.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(dir_, ignored);
        }
        ::unsetenv("CUPS_SERVER");
        cupsSetServer(nullptr);
    }

    // Starts the server with the queue as the default destination; on
    // failure, why not (the test then skips).
    std::string start()
    {
        const char* cupsd = "/usr/sbin/cupsd";
        if (::access(cupsd, X_OK) != 0 || std::system("command -v lpadmin >/dev/null") != 0) {
            return "cupsd and lpadmin are needed (cups-daemon, cups-client)";
        }
        char pattern[] = "/tmp/numbrook-cupsd-XXXXXX";
        if (!::mkdtemp(pattern)) {
            return "no folder for the print server";
        }
        dir_ = pattern;
        for (const char* sub : {"/spool/tmp", "/cache", "/state", "/log"}) {
            std::filesystem::create_directories(dir_ + sub);
        }
        const std::string socket = dir_ + "/socket";
        std::ofstream(dir_ + "/cupsd.conf") << "Listen " << socket
                                            << "\nBrowsing No\nPreserveJobFiles Yes\n"
                                               "<Location />\nOrder allow,deny\nAllow all\n"
                                               "</Location>\n<Policy default>\n<Limit All>\n"
                                               "Order allow,deny\nAllow all\n</Limit>\n"
                                               "</Policy>\n";
        std::ofstream(dir_ + "/cups-files.conf")
            << "ServerRoot " << dir_ << "\nRequestRoot " << dir_ << "/spool\nTempDir " << dir_
            << "/spool/tmp\nCacheDir " << dir_ << "/cache\nStateDir " << dir_ << "/state\nErrorLog "
            << dir_ << "/log/error_log\nAccessLog " << dir_ << "/log/access_log\nPageLog " << dir_
            << "/log/page_log\nPrintcap " << dir_ << "/printcap\nFileDevice Yes\n";
        const std::string conf = dir_ + "/cupsd.conf";
        const std::string files = dir_ + "/cups-files.conf";
        const char* argv[] = {cupsd, "-f", "-c", conf.c_str(), "-s", files.c_str(), nullptr};
        if (::posix_spawn(&pid_, cupsd, nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
            pid_ = -1;
            return "cupsd could not be started";
        }
        ::setenv("CUPS_SERVER", socket.c_str(), 1);
        cupsSetServer(socket.c_str());
        // The server is up once it answers; it gives up within seconds when it can't start.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!answers()) {
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                return "cupsd ended at start-up: " + log();
            }
            if (std::chrono::steady_clock::now() > deadline) {
                return "cupsd did not answer: " + log();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (!run(std::string("lpadmin -p ") + kQueue + " -E -v file:///dev/null -m raw") ||
            !run(std::string("lpadmin -d ") + kQueue)) {
            return "lpadmin could not add the queue: " + log();
        }
        return {};
    }

    // Runs a CUPS client command against this server; true when it succeeded.
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
    bool answers() const
    {
        http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC,
                                    HTTP_ENCRYPTION_NEVER, 1, 200, nullptr);
        if (http) {
            httpClose(http);
        }
        return http != nullptr;
    }

    std::string log() const
    {
        std::ifstream in(dir_ + "/log/error_log");
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        return text.substr(text.size() > 2000 ? text.size() - 2000 : 0);
    }

    std::string dir_;
    pid_t pid_ = -1;
};

}  // namespace numbrook::testing
