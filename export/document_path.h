// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace numbrook {

// The file name of the exercise document beside the program.
inline constexpr const char* kExerciseDocumentName = "式题导出.doc";

// The folder of the running executable, without a trailing separator.
// Throws HostError when the system does not tell it.
std::string programFolder();

// Where a file of the program lies: beside the program (the build tree) when
// it is there, else in its installed folder, given relative to the
// program's folder ("../share/numbrook"). The path returned need not exist.
std::string besideOrInstalled(const std::string& programFolder, const std::string& installedFolder,
                              const std::string& name);

// Where a data file of the program lies: beside the program in the build
// tree, in share/numbrook when installed. Throws HostError when the
// program's folder is unknown; the path returned need not exist.
std::string dataFilePath(const std::string& name);

// The presets file's path (generator/presets.h), found as any data file.
inline constexpr const char* kPresetsFileName = "presets.ini";
std::string presetsFilePath();

// The exercise document's path: beside the program in the build tree, in
// share/numbrook when installed. Worked out when an export needs it; throws
// HostError when the program's folder is unknown or the document is missing.
std::string exerciseDocumentPath();

}  // namespace numbrook
