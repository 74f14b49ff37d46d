// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Hands a PDF document to a printer through CUPS and learns there and then
// whether the print server took the job.

#include <string>

namespace numbrook::builtin {

// A job the server has taken. It may wait in the queue, nothing lost: it
// prints once the printer goes on or the job is released.
struct SubmittedJob {
    enum class Wait { No, PrinterStopped, JobHeld };
    int id = 0;
    Wait wait = Wait::No;
};

// Submits the PDF as one job named jobName to the destination (a CUPS
// queue, "queue/instance"; empty: the default printer), on A4 paper, in
// `copies` copies; the pages carry their own orientation. Throws HostError:
// NoPrinter when there is no such printer or it can't be reached,
// PrintFailed when the server refuses the job or its document; its text
// says why, in the server's words.
SubmittedJob submitPdfToPrinter(const std::string& pdf, const std::string& jobName,
                                const std::string& destination = {}, int copies = 1);

// What the teacher is told of a job that waits; empty when it does not.
std::string waitNotice(SubmittedJob::Wait wait);

// The built-in export's sheet: one copy on the default printer.
inline SubmittedJob submitPdfToDefaultPrinter(const std::string& pdf, const std::string& jobName)
{
    return submitPdfToPrinter(pdf, jobName);
}

}  // namespace numbrook::builtin
