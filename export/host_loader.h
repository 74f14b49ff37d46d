// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "export/document_host.h"
#include "export/document_path.h"

namespace numbrook {

// The file name of the LibreOffice host module beside the program.
inline constexpr const char* kLibreOfficeModuleName = "libnumbrook_libreoffice.so";
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
