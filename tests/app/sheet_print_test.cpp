// SPDX-License-Identifier: GPL-3.0-or-later
// 打印… of the sheet window through a print server of the test's own: a
// queue that refuses jobs shows the refusal and why; once it accepts, the
// set arrives as one job named after its sheets.

#include <gtest/gtest.h>

#include <QSettings>

#include <fstream>
#include <string>

#include "app/sheet_window.h"
#include "tests/export/private_print_server.h"
#include "tests/support/fakes.h"
#include "tests/support/pdf_tools.h"
#include "tests/support/temp_folder.h"

namespace numbrook {
namespace {

using testing::PrivatePrintServer;

TEST(SheetWindowPrinting, ARefusedPrintSaysWhyAndAnAcceptedSetIsOneNamedJob)
{
    if (!testing::havePoppler())
        GTEST_SKIP() << "pdfinfo (poppler-utils) is needed";
    PrivatePrintServer server;
    if (const std::string whyNot = server.start(); !whyNot.empty())
        GTEST_SKIP() << whyNot;
    testing::TempFolder folder;
    std::ofstream(folder.file("numbrook.conf")) << "[sheets]\ntypes=0\ncopies=2\n";
    QSettings settings(QString::fromStdString(folder.file("numbrook.conf")), QSettings::IniFormat);
    testing::ScriptedBoxes boxes;
    testing::FixedClock clock;
    RandomSource random;
    SheetWindow window(SheetWindowServices{boxes, random, settings, clock});
    ASSERT_EQ(window.pageCount(), 4);

    ASSERT_TRUE(PrivatePrintServer::run(std::string("cupsreject ") + PrivatePrintServer::kQueue));
    EXPECT_EQ(window.submitPrint(PrivatePrintServer::kQueue, 1, 1, 4), 0);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text.rfind("打印失败：", 0), 0u) << boxes.shown[0].text;
    EXPECT_NE(boxes.shown[0].text.find(PrivatePrintServer::kQueue), std::string::npos)
        << boxes.shown[0].text;

    ASSERT_TRUE(PrivatePrintServer::run(std::string("cupsaccept ") + PrivatePrintServer::kQueue));
    EXPECT_GT(window.submitPrint({}, 2, 2, 3), 0) << "the default printer";
    EXPECT_EQ(boxes.shown.size(), 1u);

    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
    ASSERT_EQ(count, 1) << "the refused print left no job";
    EXPECT_STREQ(jobs[0].title, "口算练习 编号01-02");
    const std::string document = server.spooledDocument(jobs[0].id);
    cupsFreeJobs(count, jobs);
    EXPECT_EQ(testing::pageCountOf(document), 2) << "pages 2 to 3";
}

}  // namespace
}  // namespace numbrook
