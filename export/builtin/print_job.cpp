// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/builtin/print_job.h"

#include <cups/cups.h>

#include <algorithm>
#include <cstdlib>
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

// Whether the job waits, as the server says now: its printer stopped, or the job held.
SubmittedJob::Wait howJobWaits(const std::string& printer, int jobId)
{
    bool stopped = false;
    if (cups_dest_t* now = cupsGetNamedDest(CUPS_HTTP_DEFAULT, printer.c_str(), nullptr)) {
        const char* state = cupsGetOption("printer-state", now->num_options, now->options);
        stopped = state != nullptr && std::atoi(state) == IPP_PSTATE_STOPPED;
        cupsFreeDests(1, now);
    }
    if (stopped)
        return SubmittedJob::Wait::PrinterStopped;
    bool held = false;
    cups_job_t* jobs = nullptr;
    const int count =
        cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, printer.c_str(), 0, CUPS_WHICHJOBS_ACTIVE);
    for (int i = 0; i < count; ++i)
        held = held || (jobs[i].id == jobId && jobs[i].state == IPP_JSTATE_HELD);
    cupsFreeJobs(count, jobs);
    return held ? SubmittedJob::Wait::JobHeld : SubmittedJob::Wait::No;
}

}  // namespace

SubmittedJob submitPdfToPrinter(const std::string& pdf, const std::string& jobName,
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
        throw HostError(
            (destination.empty() ? "没有默认打印机（" : "找不到打印机" + destination + "（") +
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
    optionCount = cupsAddOption(CUPS_COPIES, std::to_string(std::max(1, copies)).c_str(),
                                optionCount, &options);
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
    return {jobId, howJobWaits(printer, jobId)};
}

std::string waitNotice(SubmittedJob::Wait wait)
{
    switch (wait) {
    case SubmittedJob::Wait::PrinterStopped:
        return "打印机已暂停，打印任务在队列中等待";
    case SubmittedJob::Wait::JobHeld:
        return "打印任务被挂起，在队列中等待";
    case SubmittedJob::Wait::No:
        break;
    }
    return {};
}

}  // namespace numbrook::builtin
