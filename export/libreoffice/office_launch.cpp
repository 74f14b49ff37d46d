// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/libreoffice/office_launch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "export/libreoffice/office_process.h"

namespace numbrook::office {

namespace {

// Inodes a profile takes, with a margin.
constexpr fsfilcnt_t kProfileInodes = 256;

[[noreturn]] void throwFileError(const std::string& path, int error)
{
    const std::string reason = path + ": " + std::strerror(error);
    if (error == ENOSPC || error == EDQUOT) {
        throw NoRoomError(reason);
    }
    throw std::runtime_error(reason);
}

// Writes a whole file, telling a full disk from other failures.
void writeFile(const std::string& path, const std::string& text)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        throwFileError(path, errno);
    }
    for (size_t done = 0; done < text.size();) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            const int error = errno;
            ::close(fd);
            throwFileError(path, error);
        }
        done += static_cast<size_t>(written);
    }
    if (::close(fd) != 0) {
        throwFileError(path, errno);
    }
}

void makeFolder(const std::string& path)
{
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        throwFileError(path, errno);
    }
}

}  // namespace

std::string tempFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    struct stat info {};
    if (tmp != nullptr && *tmp == '/' && ::stat(tmp, &info) == 0 && S_ISDIR(info.st_mode) &&
        ::access(tmp, W_OK | X_OK) == 0) {
        return tmp;
    }
    return "/tmp";
}

void requireRoom(const std::string& folder)
{
    struct statvfs info {};
    if (::statvfs(folder.c_str(), &info) != 0) {
        return;  // not known: the profile's writes tell
    }
    const unsigned long long bytes = static_cast<unsigned long long>(info.f_bavail) * info.f_frsize;
    // A file system that counts no inodes (f_files 0) has no limit on them.
    if (bytes < kProfileRoom || (info.f_files != 0 && info.f_favail < kProfileInodes)) {
        throw NoRoomError(folder + ": " + std::to_string(bytes / 1024) + " KiB, " +
                          std::to_string(info.f_favail) + " inodes free");
    }
}

std::string writerMissing(const std::string& programFolder)
{
    // Writer's core and its Word 97 import: a library that is hidden or
    // emptied counts as missing.
    for (const char* library : {"libswlo.so", "libmswordlo.so"}) {
        const std::string path = programFolder + "/" + library;
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size == 0 ||
            ::access(path.c_str(), R_OK) != 0) {
            return path;
        }
    }
    // The filter that reads the type, as Writer's part of the registry declares it.
    const std::string registry = programFolder + "/../share/registry";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(registry, error)) {
        if (entry.path().extension() != ".xcd" || !entry.is_regular_file(error)) {
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        if (text.str().find("<node oor:name=\"MS Word 97\" ") != std::string::npos) {
            return {};
        }
    }
    return registry + "/writer.xcd";
}

std::string officeProgram(const std::string& programFolder)
{
    return programFolder + "/soffice.bin";
}

std::string setupVersionFromRegistry(const std::string& registry)
{
    // <prop oor:name="ooSetupVersion"> <value>7.4</value>
    const auto name = registry.find("<prop oor:name=\"ooSetupVersion\">");
    const auto value = name == std::string::npos ? name : registry.find("<value>", name);
    if (value == std::string::npos) {
        return {};
    }
    const auto begin = value + 7;
    const auto end = registry.find('<', begin);
    if (end == std::string::npos || end - begin > 8) {
        return {};
    }
    return registry.substr(begin, end - begin);
}

std::string setupVersion(const std::string& programFolder)
{
    std::ifstream in(programFolder + "/../share/registry/main.xcd", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return setupVersionFromRegistry(text.str());
}

std::string buildIdOf(const std::string& programFolder)
{
    std::ifstream in(programFolder + "/versionrc");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("buildid=", 0) == 0) {
            return line.substr(8);
        }
    }
    return {};
}

std::string makeProfileFolder(const std::string& parent)
{
    std::string pattern = parent + "/" + kProfilePrefix + "XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        throwFileError(parent, errno);
    }
    try {
        writeFile(pattern + "/" + kOwnerFile, processIdentity("/proc", ::getpid()) + "\n");
    } catch (...) {
        removeTree(pattern);
        throw;
    }
    return pattern;
}

std::string profileTempFolder(const std::string& profileFolder)
{
    return profileFolder + "/tmp";
}

void seedProfile(const std::string& profileFolder, const std::string& version,
                 const std::string& buildId)
{
    makeFolder(profileTempFolder(profileFolder));
    const std::string userFolder = profileFolder + "/user";
    makeFolder(userFolder);
    if (!buildId.empty()) {
        // The extension cache is marked as made by this build: a new profile
        // then needs no restart after its first start.
        const std::string extensions = userFolder + "/extensions";
        makeFolder(extensions);
        writeFile(extensions + "/buildid", buildId);
    }
    std::ostringstream out;
    out << R"(<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
)";
    if (!version.empty()) {
        out << R"(<item oor:path="/org.openoffice.Setup/Office"><prop oor:name="ooSetupLastVersion" oor:op="fuse"><value>)"
            << version << "</value></prop></item>\n";
    }
    out << R"(<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="FirstRun" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="ShowTipOfTheDay" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Save/Document"><prop oor:name="WarnAlienFormat" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="UseLocking" oor:op="fuse"><value>false</value></prop></item>
</oor:items>
)";
    writeFile(userFolder + "/registrymodifications.xcu", out.str());
}

std::string uniquePipeName()
{
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    std::ostringstream name;
    name << kPipePrefix << ::getpid() << '_' << counter.fetch_add(1) << '_' << std::hex << random();
    return name.str();
}

std::string pipeConnection(const std::string& pipe)
{
    return "pipe,name=" + pipe + ";urp;StarOffice.ComponentContext";
}

std::string pipeSocketPath(const std::string& pipe, uid_t uid)
{
    return std::string(kPipeFolder) + "/OSL_PIPE_" + std::to_string(uid) + "_" + pipe;
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

std::vector<std::string> currentEnvironment()
{
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        entries.emplace_back(*entry);
    }
    return entries;
}

bool hasDisplay(const std::vector<std::string>& environment)
{
    for (const std::string& entry : environment) {
        for (const char* name : {"DISPLAY=", "WAYLAND_DISPLAY="}) {
            const std::string prefix(name);
            if (entry.size() > prefix.size() && entry.compare(0, prefix.size(), prefix) == 0) {
                return true;
            }
        }
    }
    return false;
}

KeptOffice launchPlan(const std::string& programFolder, const std::string& profileFolder,
                      const std::string& pipe, const std::vector<std::string>& ours, uid_t uid)
{
    KeptOffice kept;
    kept.program = officeProgram(programFolder);
    kept.arguments = {kept.program,
                      "--invisible",
                      "--nologo",
                      "--norestore",
                      "--nodefault",
                      "--nolockcheck",
                      "-env:UserInstallation=" + fileUrlFromPath(profileFolder),
                      "--accept=" + pipeConnection(pipe)};
    if (!hasDisplay(ours)) {
        kept.arguments.insert(kept.arguments.begin() + 1, "--headless");
    }
    // Its temporary files go with the profile, whatever TMPDIR said.
    kept.environment = officeEnvironment(ours);
    kept.environment.erase(
        std::remove_if(kept.environment.begin(), kept.environment.end(),
                       [](const std::string& entry) { return entry.rfind("TMPDIR=", 0) == 0; }),
        kept.environment.end());
    kept.environment.push_back("TMPDIR=" + profileTempFolder(profileFolder));
    kept.workFolder = programFolder;
    kept.profileFolder = profileFolder;
    kept.files = {pipeSocketPath(pipe, uid)};
    kept.pipeFolder = kPipeFolder;
    return kept;
}

void recordPipes(const std::string& profileFolder, const std::vector<std::string>& socketFiles)
{
    std::ofstream pipes(profileFolder + "/" + kPipesFile);
    for (const std::string& path : socketFiles) {
        pipes << path << '\n';
    }
}

void markShown(const std::string& profileFolder)
{
    std::ofstream(profileFolder + "/" + kShownFile) << "shown\n";
}

}  // namespace numbrook::office
