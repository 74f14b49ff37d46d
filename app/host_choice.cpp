// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/host_choice.h"

#include <cstdio>

#include "app/event_loop_waiter.h"
#include "app/sheets_module.h"
#include "export/host_loader.h"
#include "export/off_thread_host.h"

namespace numbrook {

HostMakers realHostMakers(builtin::ShowSheets show)
{
    // The office is another process: its calls run off the window's thread,
    // which keeps painting meanwhile. The built-in host paints on it; it
    // comes from the sheets module, loaded at the first export through it.
    return {[] { return runOffThread(loadLibreOfficeHost(), std::make_shared<EventLoopWaiter>()); },
            [show]() -> std::unique_ptr<DocumentHost> {
                return std::unique_ptr<DocumentHost>(sheetsModule().makeBuiltinHost(show));
            }};
}

HostFactory chooseHostFactory(SheetsHost choice, HostMakers makers)
{
    switch (choice) {
    case SheetsHost::Office:
        return makers.office;
    case SheetsHost::Builtin:
        return makers.builtin;
    case SheetsHost::Automatic:
        break;
    }
    // Asked anew at every export: LibreOffice installed meanwhile is used.
    return [makers] {
        try {
            return makers.office();
        } catch (const HostError& error) {
            std::fprintf(stderr,
                         "numbrook: LibreOffice not usable, using the built-in sheets: %s\n",
                         error.what());
        }
        return makers.builtin();
    };
}

}  // namespace numbrook
