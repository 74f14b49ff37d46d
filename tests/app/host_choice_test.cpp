// SPDX-License-Identifier: GPL-3.0-or-later
// Which host makes the sheets: LibreOffice where its module loads, else the
// built-in host; and what each forced choice gives.

#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/host_choice.h"
#include "export/builtin/builtin_host.h"
#include "app/sheet_window.h"
#include "export/host_loader.h"
#include "tests/export/recording_host.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_folder.h"

namespace numbrook {
namespace {

using testing::Log;
using testing::RecordingHost;

struct Makers {
    testing::TempFolder folder;
    QSettings settings{QString::fromStdString(folder.file("numbrook.conf")), QSettings::IniFormat};
    testing::ScriptedBoxes boxes;
    testing::FixedClock clock;
    RandomSource random;
    SheetWindows sheetWindows{SheetWindowServices{boxes, random, settings, clock}};
    Log log;
    int officeCalls = 0;
    int builtinCalls = 0;
    HostMakers with(bool officeLoads)
    {
        return {[this, officeLoads]() -> std::unique_ptr<DocumentHost> {
                    ++officeCalls;
                    if (!officeLoads)  // as on a machine without LibreOffice
                        return loadDocumentHost("/nonexistent/libnumbrook_libreoffice.so");
                    return std::make_unique<RecordingHost>(log, RecordingHost::Script{});
                },
                [this]() -> std::unique_ptr<DocumentHost> {
                    ++builtinCalls;
                    return realHostMakers([this](const builtin::ShownSheets& sheets) {
                               sheetWindows.open()->showSheets(sheets);
                           })
                        .builtin();
                }};
    }
};

const char* const kChoiceNames[] = {"automatic", "office", "builtin"};

struct ChoiceCase {
    SheetsHost choice;
    bool officeLoads;
    const char* expected;  // "office", "builtin" or "error"
    friend void PrintTo(const ChoiceCase& c, std::ostream* out)
    {
        *out << kChoiceNames[static_cast<int>(c.choice)] << (c.officeLoads ? " with" : " without")
             << " LibreOffice";
    }
};

class HostChoice : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(HostChoice, MakesTheExpectedHost)
{
    const ChoiceCase c = GetParam();
    Makers makers;
    const HostFactory factory = chooseHostFactory(c.choice, makers.with(c.officeLoads));
    std::string made;
    try {
        const auto host = factory();
        made = dynamic_cast<builtin::BuiltinHost*>(host.get()) ? "builtin" : "office";
    } catch (const HostError&) {
        made = "error";
    }
    EXPECT_EQ(made, c.expected);
    if (c.choice == SheetsHost::Builtin) {
        EXPECT_EQ(makers.officeCalls, 0) << "LibreOffice is not even looked for";
    }
}

INSTANTIATE_TEST_SUITE_P(Choices, HostChoice,
                         ::testing::Values(ChoiceCase{SheetsHost::Automatic, true, "office"},
                                           ChoiceCase{SheetsHost::Automatic, false, "builtin"},
                                           ChoiceCase{SheetsHost::Office, true, "office"},
                                           ChoiceCase{SheetsHost::Office, false, "error"},
                                           ChoiceCase{SheetsHost::Builtin, true, "builtin"},
                                           ChoiceCase{SheetsHost::Builtin, false, "builtin"}));

// One export of three problems through the chosen factory, answering the questions.
Log exportThrough(const HostFactory& factory, std::vector<Answer> answers)
{
    const std::vector<std::string> problems{"", "7×8=", "3×5=", "9×9="};
    const std::vector<std::string> results{"", "7×8=56", "3×5=15", "9×9=81"};
    Log log;
    testing::exportLogged(log, {problems, results, 3, 1, exerciseDocumentPath()}, factory,
                          std::move(answers));
    return log;
}

bool hasFailureBox(const Log& log)
{
    return std::any_of(log.begin(), log.end(), [](const std::string& e) {
        return e.rfind("box [提示！] 导出失败：", 0) == 0;
    });
}

// Without LibreOffice: forced office finds no host, the built-in host no
// printer (these tests see no print server, no_printer_environment.cpp).
struct FailingCase {
    SheetsHost choice;
    std::vector<Answer> answers;
    int progressShown;  // the office is looked for before the progress shows
    friend void PrintTo(const FailingCase& c, std::ostream* out)
    {
        *out << kChoiceNames[static_cast<int>(c.choice)];
    }
};

class HostChoiceFailure : public ::testing::TestWithParam<FailingCase> {};

TEST_P(HostChoiceFailure, ShowsTheFailureMessage)
{
    Makers makers;
    const Log log =
        exportThrough(chooseHostFactory(GetParam().choice, makers.with(false)), GetParam().answers);
    EXPECT_TRUE(hasFailureBox(log)) << ::testing::PrintToString(log);
    EXPECT_EQ(std::count(log.begin(), log.end(), "progress shown"), GetParam().progressShown);
}

INSTANTIATE_TEST_SUITE_P(Choices, HostChoiceFailure,
                         ::testing::Values(FailingCase{SheetsHost::Office, {}, 0},
                                           FailingCase{
                                               SheetsHost::Builtin, {Answer::Ok, Answer::Ok}, 1}));

TEST(HostChoiceExport, WithoutLibreOfficeTheBuiltinHostShowsTheSheets)
{
    Makers makers;
    const Log log = exportThrough(chooseHostFactory(SheetsHost::Automatic, makers.with(false)),
                                  {Answer::Cancel});
    EXPECT_FALSE(hasFailureBox(log)) << ::testing::PrintToString(log);
    EXPECT_EQ(makers.builtinCalls, 1);
    int windows = 0;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<SheetWindow*>(top); window && window->isVisible()) {
            ++windows;
            EXPECT_EQ(window->pageCount(), 2);  // the export's sheet and its key
            window->close();
        }
    }
    EXPECT_EQ(windows, 1);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace numbrook
