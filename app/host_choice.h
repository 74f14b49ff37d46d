// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Which document host makes the exercise sheets: LibreOffice Writer where
// it is installed and its module loads, else the host built into the program.

#include <functional>
#include <memory>

#include "export/builtin/builtin_host.h"
#include "export/export_run.h"

namespace numbrook {

enum class SheetsHost {
    Automatic,  // the office host if it loads, else the built-in one
    Office,     // LibreOffice only; without it the export fails with its message
    Builtin,    // the built-in host only
};

struct HostMakers {
    HostFactory office;  // throws HostError when the office host can't be had
    HostFactory builtin;
};

// The real makers: the LibreOffice module beside the program, the built-in
// host that shows its sheets through `show`.
HostMakers realHostMakers(builtin::ShowSheets show = {});

// The factory the window's export calls once per export.
HostFactory chooseHostFactory(SheetsHost choice, HostMakers makers = realHostMakers());

}  // namespace numbrook
