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
std::string programFolder();

// The exercise document's absolute path: the program's folder + "/式题导出.doc".
std::string exerciseDocumentPath();

// Loads the LibreOffice host module from the program's folder and makes a host.
// Throws HostError when the module or LibreOffice itself is missing.
std::unique_ptr<DocumentHost> loadLibreOfficeHost();

// Loads a host module from an explicit path. The module stays loaded for the
// life of the process: hosts it made may still live.
std::unique_ptr<DocumentHost> loadDocumentHost(const std::string& modulePath);

}  // namespace numbrook
