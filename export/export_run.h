// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/message_boxes.h"
#include "export/document_host.h"

namespace numbrook {

// What one export writes: the problems of the finished export run.
struct ExportJob {
    const std::vector<std::string>& problemTexts;  // index 1..problemCount; 0 unused
    const std::vector<std::string>& answerTexts;   // same indexing
    int problemCount = 0;                          // 1..100
    int exportNumber = 0;                          // the sheet number
    // The exercise document. Empty: worked out by locateDocument when the
    // export opens it, so that a failure there is the export's failure.
    std::string documentPath;
    std::function<std::string()> locateDocument = {};  // empty: exerciseDocumentPath
};

// The window's side of an export: the progress box (Frame7 and Label9).
class ExportView {
public:
    virtual ~ExportView() = default;
    virtual void setProgressVisible(bool visible) = 0;
    virtual void setProgressText(const std::string& text) = 0;
};

// Makes the document host; throws HostError when there is none (the word
// processor is not installed).
using HostFactory = std::function<std::unique_ptr<DocumentHost>()>;
// Pauses the calling thread for a number of milliseconds.
using Pause = std::function<void(int ms)>;

// The short reason after "导出失败：" that the teacher reads for a failure.
std::string failureReason(HostFailure failure);

// What an export needs of the world besides the window: made at start-up and
// carried through the window to the export untouched.
struct ExportServices {
    HostFactory makeHost;
    // The exercise document; empty: found when the export opens it.
    std::string documentPath;
    Pause pause;
};

// Fills the exercise document with the job's problems and answers and offers
// to print it. Failures of the word processor are caught here: the instance
// the export started is ended, the progress box hidden, "导出失败：" with the
// failure's short reason is shown and the error's text goes to standard error.
void exportToDocument(const ExportJob& job, const HostFactory& makeHost, ExportView& view,
                      MessageBoxes& boxes, const Clock& clock, const Pause& pause);

}  // namespace numbrook
