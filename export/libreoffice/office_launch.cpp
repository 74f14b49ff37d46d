// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/libreoffice/office_launch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace numbrook::office {

std::string tempFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    return tmp != nullptr && *tmp == '/' ? tmp : "/tmp";
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
        throw std::runtime_error(std::strerror(errno));
    }
    std::ofstream(pattern + "/" + kOwnerFile) << processIdentity("/proc", ::getpid()) << '\n';
    return pattern;
}

void seedProfile(const std::string& profileFolder, const std::string& version,
                 const std::string& buildId)
{
    const std::string userFolder = profileFolder + "/user";
    ::mkdir(userFolder.c_str(), 0700);
    if (!buildId.empty()) {
        // The extension cache is marked as made by this build: a new profile
        // then needs no restart after its first start.
        const std::string extensions = userFolder + "/extensions";
        ::mkdir(extensions.c_str(), 0700);
        std::ofstream(extensions + "/buildid") << buildId;
    }
    std::ofstream out(userFolder + "/registrymodifications.xcu", std::ios::binary);
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
    kept.environment = officeEnvironment(ours);
    kept.workFolder = programFolder;
    kept.profileFolder = profileFolder;
    kept.files = {pipeSocketPath(pipe, uid)};
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
