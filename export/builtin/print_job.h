// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Hands a PDF document to the system's default printer through CUPS and
// learns there and then whether the print server took the job.

#include <string>

namespace numbrook::builtin {

// A job the server has taken. It may wait in the queue, nothing lost: it
// prints once the printer goes on or the job is released.
struct SubmittedJob {
    enum class Wait { No, PrinterStopped, JobHeld };
    int id = 0;
    Wait wait = Wait::No;
};

// Submits the PDF as one job named jobName, on A4 paper, one copy; the
// pages carry their own orientation. Throws HostError: NoPrinter when there
// is no default printer or it can't be reached, PrintFailed when the server
// refuses the job or its document.
SubmittedJob submitPdfToDefaultPrinter(const std::string& pdf, const std::string& jobName);

}  // namespace numbrook::builtin
