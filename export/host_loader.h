// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "export/document_host.h"

namespace numbrook {

// The file name of the LibreOffice host module beside the program.
inline constexpr const char* kLibreOfficeModuleName = "libnumbrook_libreoffice.so";
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

// The exercise document's path: beside the program in the build tree, in
// share/numbrook when installed. Worked out when an export needs it; throws
// HostError when the program's folder is unknown or the document is missing.
std::string exerciseDocumentPath();

// The path of a host module: beside the program in the build tree, in the
// program's private library folder when installed.
std::string hostModulePath(const std::string& name);

// Loads the LibreOffice host module and makes a host.
// Throws HostError when the module or LibreOffice itself is missing.
std::unique_ptr<DocumentHost> loadLibreOfficeHost();

// Loads a host module from an explicit path. The module stays loaded for the
// life of the process: hosts it made may still live.
std::unique_ptr<DocumentHost> loadDocumentHost(const std::string& modulePath);

}  // namespace numbrook
