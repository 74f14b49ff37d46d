#include "app/host_choice.h"

#include <cstdio>

#include "export/builtin/builtin_host.h"
#include "export/host_loader.h"

namespace numbrook {

HostMakers realHostMakers()
{
    return {[] { return loadLibreOfficeHost(); },
            []() -> std::unique_ptr<DocumentHost> { return std::make_unique<builtin::BuiltinHost>(); }};
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
            std::fprintf(stderr, "numbrook: LibreOffice not usable, using the built-in sheets: %s\n",
                         error.what());
        }
        return makers.builtin();
    };
}

}  // namespace numbrook
