// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/builtin/print_job.h"

#include <cups/cups.h>

#include <algorithm>
#include <memory>

#include "export/document_host.h"

namespace numbrook::builtin {

namespace {

std::string lastCupsError()
{
    const char* text = cupsLastErrorString();
    return text ? text : "";
}

// A refusal of the printer itself, as against a server or queue that isn't there.
HostFailure failureOf(ipp_status_t status)
{
    switch (status) {
    case IPP_STATUS_ERROR_NOT_FOUND:
    case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
        return HostFailure::NoPrinter;
    default:
        return HostFailure::PrintFailed;
    }
}

}  // namespace

int submitPdfToPrinter(const std::string& pdf, const std::string& jobName,
                       const std::string& destination, int copies)
{
    // No name: the default destination as every CUPS program sees it:
    // lpoptions, then LPDEST and PRINTER, then the server's default. A name
    // may end in "/instance".
    const size_t slash = destination.find('/');
    const std::string queue = destination.substr(0, slash);
    const std::string instance = slash == std::string::npos ? "" : destination.substr(slash + 1);
    const std::unique_ptr<cups_dest_t, void (*)(cups_dest_t*)> dest(
        cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.empty() ? nullptr : queue.c_str(),
                         instance.empty() ? nullptr : instance.c_str()),
        [](cups_dest_t* d) { cupsFreeDests(1, d); });
    if (!dest) {
        throw HostError((destination.empty() ? "没有默认打印机（" : "找不到打印机" + destination + "（") +
                            lastCupsError() + "）",
                        HostFailure::NoPrinter);
    }
    const std::string printer = dest->name;
    const std::unique_ptr<cups_dinfo_t, void (*)(cups_dinfo_t*)> info(
        cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest.get()), cupsFreeDestInfo);
    if (!info) {
        throw HostError("打印机" + printer + "不可用（" + lastCupsError() + "）",
                        failureOf(cupsLastError()));
    }

    cups_option_t* options = nullptr;
    int optionCount = cupsAddOption(CUPS_MEDIA, CUPS_MEDIA_A4, 0, &options);
    optionCount =
        cupsAddOption(CUPS_COPIES, std::to_string(std::max(1, copies)).c_str(), optionCount, &options);
    int jobId = 0;
    const ipp_status_t created = cupsCreateDestJob(CUPS_HTTP_DEFAULT, dest.get(), info.get(),
                                                   &jobId, jobName.c_str(), optionCount, options);
    cupsFreeOptions(optionCount, options);
    if (created >= IPP_STATUS_REDIRECTION_OTHER_SITE || jobId <= 0) {
        throw HostError("打印机" + printer + "拒绝了打印作业（" + lastCupsError() + "）",
                        failureOf(created));
    }

    bool sent =
        cupsStartDestDocument(CUPS_HTTP_DEFAULT, dest.get(), info.get(), jobId, jobName.c_str(),
                              CUPS_FORMAT_PDF, 0, nullptr, 1) == HTTP_STATUS_CONTINUE;
    sent = sent &&
           cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.data(), pdf.size()) == HTTP_STATUS_CONTINUE;
    // The document's fate is known only once the server has answered for it.
    const ipp_status_t finished = cupsFinishDestDocument(CUPS_HTTP_DEFAULT, dest.get(), info.get());
    if (!sent || finished >= IPP_STATUS_REDIRECTION_OTHER_SITE) {
        const std::string detail = lastCupsError();
        cupsCancelDestJob(CUPS_HTTP_DEFAULT, dest.get(), jobId);
        throw HostError(
            "打印作业" + std::to_string(jobId) + "未能送到打印机" + printer + "（" + detail + "）",
            HostFailure::PrintFailed);
    }
    return jobId;
}

}  // namespace numbrook::builtin
