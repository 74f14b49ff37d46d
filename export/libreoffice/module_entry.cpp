// SPDX-License-Identifier: GPL-3.0-or-later
// The module's one exported symbol: the program finds it with dlsym.

#include <memory>
#include <type_traits>

#include "export/libreoffice/libreoffice_host.h"

extern "C" __attribute__((visibility("default"))) numbrook::DocumentHost*
numbrook_create_document_host()
{
    static_assert(std::is_same_v<decltype(&numbrook_create_document_host), NumbrookCreateHostFn>);
    std::unique_ptr<numbrook::LibreOfficeHost> host;
    try {
        host = std::make_unique<numbrook::LibreOfficeHost>();
    } catch (...) {
        return nullptr;
    }
    // Without Writer the HostError goes to the program, which tells the
    // teacher or takes the built-in sheets.
    host->requireWriter();
    return host.release();
}
