// SPDX-License-Identifier: GPL-3.0-or-later
// The same export scenarios against every document host: the recording
// fake, the built-in host and, where LibreOffice is installed, the office
// host. Each host is read back cell by cell as it holds the sheets just
// before it prints or shows them, and what it printed is counted.

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "export/builtin/builtin_host.h"
#include "export/export_run.h"
#include "export/document_path.h"
#include "tests/support/pdf_tools.h"
#include "tests/support/sample_sheets.h"
#include "tests/support/temp_folder.h"
#include "tests/export/recording_host.h"
#ifdef NUMBROOK_WITH_OFFICE_HOST
#include "export/libreoffice/libreoffice_host.h"
#endif

namespace numbrook {
namespace {

namespace fs = std::filesystem;
using testing::Log;
using testing::RecordingHost;

// [table 1..4][cell number 1..100]; the headers use cell 1.
using Cells = std::array<std::array<std::string, 101>, 5>;
using CellReader = std::function<std::string(DocumentHost&, int table, int row, int column)>;

Cells readAll(DocumentHost& host, const CellReader& read)
{
    Cells cells;
    for (const int table : {1, 3})
        cells[table][1] = read(host, table, 1, 1);
    for (const int table : {2, 4}) {
        for (int n = 1; n <= 100; ++n)
            cells[table][n] = read(host, table, (n - 1) / 10 + 1, (n - 1) % 10 + 1);
    }
    return cells;
}

// Passes every operation on and reads the sheets back just before they are
// printed or shown.
class SnapshotHost final : public DocumentHost {
public:
    SnapshotHost(std::unique_ptr<DocumentHost> inner, CellReader read, Cells& seen)
        : inner_(std::move(inner)), read_(std::move(read)), seen_(seen)
    {
    }
    bool isInstanceRunning() override { return inner_->isInstanceRunning(); }
    void startInstance() override { inner_->startInstance(); }
    void open(const std::string& path) override { inner_->open(path); }
    void selectCell(int t, int r, int c) override { inner_->selectCell(t, r, c); }
    void typeText(const std::string& text) override { inner_->typeText(text); }
    void printPages(const std::string& pages) override
    {
        seen_ = readAll(*inner_, read_);
        inner_->printPages(pages);
    }
    void closeDocument() override { inner_->closeDocument(); }
    void quit() override { inner_->quit(); }
    void show() override
    {
        seen_ = readAll(*inner_, read_);
        inner_->show();
    }

private:
    std::unique_ptr<DocumentHost> inner_;
    CellReader read_;
    Cells& seen_;
};

using testing::TempFolder;

// ---- the hosts under contract ------------------------------------------------------

// The recording fake: its cells are replayed from its log of selections and typings.
struct RecordingFake {
    static constexpr bool kShowsHere = true;
    Log hostLog;
    void skipUnlessUsable() {}
    std::unique_ptr<DocumentHost> make()
    {
        return std::make_unique<RecordingHost>(hostLog, RecordingHost::Script{});
    }
    CellReader reader()
    {
        return [this](DocumentHost&, int table, int row, int column) {
            const std::string wanted = "select " + std::to_string(table) + "," +
                                       std::to_string(row) + "," + std::to_string(column);
            std::string selected;
            std::string text;
            for (const std::string& entry : hostLog) {
                if (entry.rfind("select ", 0) == 0)
                    selected = entry;
                if (entry.rfind("type ", 0) == 0 && selected == wanted)
                    text = entry.substr(5);
            }
            return text;
        };
    }
    int printedPages()
    {
        for (const std::string& entry : hostLog) {
            if (entry == "print 1-1")
                return 1;
            if (entry == "print 1-2")
                return 2;
        }
        return 0;
    }
    void expectShownAndClose()
    {
        EXPECT_NE(std::find(hostLog.begin(), hostLog.end(), "show"), hostLog.end());
    }
};

// The built-in host printing to a PDF file; its sheets as it laid them out.
struct Builtin {
    static constexpr bool kShowsHere = true;
    TempFolder folder;
    std::string printFile = folder.file("printed.pdf");
    void skipUnlessUsable()
    {
        if (!testing::havePoppler())
            GTEST_SKIP() << "pdfinfo and pdftotext (poppler-utils) are needed";
    }
    std::unique_ptr<DocumentHost> make()
    {
        auto host = std::make_unique<builtin::BuiltinHost>(
            [this](const builtin::ShownSheets& sheets) { shown = sheets; });
        host->setPrintFile(printFile);
        return host;
    }
    CellReader reader()
    {
        return [](DocumentHost& host, int table, int row, int column) {
            return static_cast<builtin::BuiltinHost&>(host).sheets().text(table, row, column);
        };
    }
    int printedPages() { return fs::exists(printFile) ? testing::pageCountOf(printFile) : 0; }
    // The window that shows them gets its own copy, which outlives the host.
    std::optional<builtin::ShownSheets> shown;
    void expectShownAndClose()
    {
        ASSERT_TRUE(shown) << "the sheets are handed to the window that shows them";
        ASSERT_EQ(shown->pages.size(), 2u);
        EXPECT_EQ(shown->pages[0].cells.at(0).rfind("(1)", 0), 0u) << shown->pages[0].cells[0];
        EXPECT_EQ(shown->jobName.rfind("口算练习 编号", 0), 0u) << shown->jobName;
    }
};

#ifdef NUMBROOK_WITH_OFFICE_HOST
// LibreOffice, printing to a file; read back through UNO before it prints.
struct Office {
    static constexpr bool kShowsHere = false;  // a shown instance belongs to the user
    TempFolder folder;
    std::string printFile = folder.file("printed.out");
    void skipUnlessUsable()
    {
        if (LibreOfficeHost().isInstanceRunning())
            GTEST_SKIP() << "this user runs LibreOffice; the export would refuse";
    }
    std::unique_ptr<DocumentHost> make()
    {
        auto host = std::make_unique<LibreOfficeHost>();
        host->setPrintFile(printFile);
        return host;
    }
    CellReader reader()
    {
        return [](DocumentHost& host, int table, int row, int column) {
            return static_cast<LibreOfficeHost&>(host).cellText(table, row, column);
        };
    }
    int printedPages() { return fs::exists(printFile) ? testing::pageCountOf(printFile) : 0; }
    void expectShownAndClose() {}
};
#endif

// ---- the scenarios ---------------------------------------------------------------

struct Scenario {
    int problemCount;
    std::vector<Answer> answers;  // to the two questions
    int pagesPrinted;             // 0: shown instead
};

using testing::sampleAnswer;
using testing::sampleProblem;

const std::string kProblemHeader = testing::problemHeader("07");
const std::string kAnswerHeader = testing::answerHeader("07");

template <class Host>
class HostContract : public ::testing::Test {
protected:
    void SetUp() override { host->skipUnlessUsable(); }

    // Runs one export; returns the log of view and boxes and fills seen.
    Log runExport(const Scenario& s)
    {
        const testing::SampleProblems p(s.problemCount);
        Log log;
        testing::exportLogged(
            log, {p.problems, p.answers, s.problemCount, 7, exerciseDocumentPath()},
            [this]() -> std::unique_ptr<DocumentHost> {
                return std::make_unique<SnapshotHost>(host->make(), host->reader(), seen);
            },
            s.answers, {LocalTime{2026, 12, 5, 19, 8, 5}, LocalTime{2026, 12, 5, 19, 8, 6}});
        return log;
    }

    void expectSheetsOf(int problemCount)
    {
        EXPECT_EQ(seen[1][1], kProblemHeader);
        EXPECT_EQ(seen[3][1], kAnswerHeader);
        for (int n = 1; n <= 100; ++n) {
            SCOPED_TRACE("cell " + std::to_string(n));
            if (n <= problemCount) {
                EXPECT_EQ(seen[2][n], "(" + std::to_string(n) + ")" + sampleProblem(n));
                EXPECT_EQ(seen[4][n], "(" + std::to_string(n) + ")" + sampleAnswer(n));
            } else {
                EXPECT_EQ(seen[2][n], " ");
                EXPECT_EQ(seen[4][n], " ");
            }
        }
    }

    std::unique_ptr<Host> host = std::make_unique<Host>();
    Cells seen;
};

struct HostNames {
    template <class T>
    static std::string GetName(int)
    {
        if (std::is_same_v<T, RecordingFake>)
            return "RecordingFake";
        if (std::is_same_v<T, Builtin>)
            return "Builtin";
        return "Office";
    }
};

using Hosts = ::testing::Types<RecordingFake, Builtin
#ifdef NUMBROOK_WITH_OFFICE_HOST
                               ,
                               Office
#endif
                               >;
TYPED_TEST_SUITE(HostContract, Hosts, HostNames);

bool failed(const Log& log)
{
    return std::any_of(log.begin(), log.end(), [](const std::string& e) {
        return e.find("导出失败") != std::string::npos;
    });
}

TYPED_TEST(HostContract, PrintsTheSheetsItWasGiven)
{
    const Scenario scenarios[] = {
        {1, {Answer::Ok, Answer::Ok}, 2},
        {15, {Answer::Ok, Answer::Cancel}, 1},
        {100, {Answer::Ok, Answer::Ok}, 2},
    };
    for (const Scenario& s : scenarios) {
        SCOPED_TRACE("problems " + std::to_string(s.problemCount));
        this->host = std::make_unique<TypeParam>();
        const Log log = this->runExport(s);
        ASSERT_FALSE(failed(log)) << ::testing::PrintToString(log);
        this->expectSheetsOf(s.problemCount);
        EXPECT_EQ(this->host->printedPages(), s.pagesPrinted);
    }
}

TYPED_TEST(HostContract, ShowsTheSheetsItWasGiven)
{
    if (!TypeParam::kShowsHere)
        GTEST_SKIP() << "a shown office instance is the user's; its cells are read in the e2e test";
    const Log log = this->runExport({15, {Answer::Cancel}, 0});
    ASSERT_FALSE(failed(log)) << ::testing::PrintToString(log);
    this->expectSheetsOf(15);
    EXPECT_EQ(this->host->printedPages(), 0);
    this->host->expectShownAndClose();
}

}  // namespace
}  // namespace numbrook
