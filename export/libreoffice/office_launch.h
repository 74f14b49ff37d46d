// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What an office instance of ours needs before it starts: its private
// profile, the name of the pipe it accepts on, how it is started and in
// which environment. Nothing here knows UNO.

#include <sys/types.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "export/libreoffice/kept_office.h"
#include "export/libreoffice/office_sweep.h"

namespace numbrook::office {

// Where the office puts its pipes' socket files.
inline constexpr const char* kPipeFolder = "/tmp";

// The folder for our profiles: $TMPDIR if it is an absolute path to a
// folder this user may write in, else /tmp.
std::string tempFolder();

// A folder without room for a profile.
class NoRoomError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The room an office's profile needs in the temporary folder: the profile
// and the office's temporary files take well under a mebibyte.
inline constexpr unsigned long long kProfileRoom = 4ULL << 20;
// Throws NoRoomError when the file system of folder has less than
// kProfileRoom bytes or a few inodes free for this user.
void requireRoom(const std::string& folder);

// The office's own program in its program folder (never the launcher script).
std::string officeProgram(const std::string& programFolder);

// What keeps the office in programFolder from loading the exercise
// document's type (Word 97) in Writer: the missing part's path, or empty
// when Writer's core, its Word import and the filter declaring the type are there.
std::string writerMissing(const std::string& programFolder);

// The setup version ("7.4") that the text of the office's main.xcd names, or empty.
std::string setupVersionFromRegistry(const std::string& registry);
// The setup version of the office installed in programFolder, or empty.
std::string setupVersion(const std::string& programFolder);
// The office's build id ("40(Build:2)") from the program folder's versionrc, or empty.
std::string buildIdOf(const std::string& programFolder);

// A fresh profile folder in parent, of our naming, whose owner file names
// this process, so that a later run can tell it from one in use when this
// process has died. Throws NoRoomError when the folder is full, else
// std::runtime_error with the reason; leaves nothing behind then.
std::string makeProfileFolder(const std::string& parent);

// The office's temporary folder inside its profile: whatever it leaves
// there goes with the profile.
std::string profileTempFolder(const std::string& profileFolder);

// Fills a profile folder so that the office takes it for one it has run
// on before: the first start's graphics self-test and welcome dialogs are
// skipped. Documents are not locked: the exercise document is never saved,
// and a lock file left by an instance that died would make every later open fail.
// Makes the profile's temporary folder. version and buildId may be empty (unknown).
// Throws NoRoomError when a file does not fit, else std::runtime_error.
void seedProfile(const std::string& profileFolder, const std::string& version,
                 const std::string& buildId);

// A pipe name of our naming ("numbrook_<pid>_…"), never the same twice.
std::string uniquePipeName();
// The UNO connection over a pipe, as --accept and a "uno:" URL take it.
std::string pipeConnection(const std::string& pipe);
// The socket file the office makes for the pipe of user uid.
std::string pipeSocketPath(const std::string& pipe, uid_t uid);

// Whether a locale name ("zh_CN.UTF-8", "C.utf8") names the UTF-8 character set.
bool isUtf8LocaleName(const std::string& name);

// The environment an office runs in, made from this program's ("NAME=value"
// entries): a fixed PATH of system folders; no preloaded libraries or library
// path; and, unless the character type the office would take from LC_ALL,
// LC_CTYPE or LANG is UTF-8 already, LC_ALL=C.UTF-8, so that it can name
// files whatever the user's locale.
std::vector<std::string> officeEnvironment(const std::vector<std::string>& ours);

// This process's environment as "NAME=value" entries.
std::vector<std::string> currentEnvironment();
// Whether an environment names an X or Wayland display.
bool hasDisplay(const std::vector<std::string>& environment);

// The office started hidden on a profile, accepting on a pipe; headless
// (no window system at all) when there is no display; its temporary files
// in the profile's temporary folder.
// ours: this program's environment; the office gets one made from it.
KeptOffice launchPlan(const std::string& programFolder, const std::string& profileFolder,
                      const std::string& pipe, const std::vector<std::string>& ours, uid_t uid);

// Records the instance's pipes' socket files in its profile, for the keeper
// and for a later sweep to remove.
void recordPipes(const std::string& profileFolder, const std::vector<std::string>& socketFiles);
// Marks a profile as the user's instance: a sweep leaves it alone while it runs.
void markShown(const std::string& profileFolder);

}  // namespace numbrook::office
