// SPDX-License-Identifier: GPL-3.0-or-later
// The built-in host printing through a print server of the test's own: a
// queue that refuses jobs fails the print at once, and once it accepts
// again the next print arrives as one job of landscape A4 pages named
// after the sheet; a paused queue keeps the job and the host says so.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "export/builtin/builtin_host.h"
#include "tests/support/pdf_tools.h"
#include "tests/export/private_print_server.h"
#include "tests/support/sample_sheets.h"

namespace numbrook {
namespace {

using testing::PrivatePrintServer;

TEST(BuiltinHostPrinting, ARefusedJobFailsAtOnceAndAnAcceptedOneIsNamedLandscapeA4)
{
    if (!testing::havePoppler())
        GTEST_SKIP() << "pdfinfo (poppler-utils) is needed";
    PrivatePrintServer server;
    if (const std::string whyNot = server.start(); !whyNot.empty())
        GTEST_SKIP() << whyNot;

    builtin::BuiltinHost host;
    host.startInstance();
    host.open("x");
    host.selectCell(1, 1, 1);
    host.typeText(testing::problemHeader("07"));

    ASSERT_TRUE(PrivatePrintServer::run(std::string("cupsreject ") + PrivatePrintServer::kQueue));
    const auto asked = std::chrono::steady_clock::now();
    try {
        host.printPages("1-1");
        ADD_FAILURE() << "a refused job passed for printed";
    } catch (const HostError& error) {
        EXPECT_EQ(error.failure(), HostFailure::PrintFailed) << error.what();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(5));

    ASSERT_TRUE(PrivatePrintServer::run(std::string("cupsaccept ") + PrivatePrintServer::kQueue));
    host.printPages("1-2");

    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
    ASSERT_EQ(count, 1) << "the refused print left no job";
    EXPECT_STREQ(jobs[0].title, "口算练习 编号07");
    const std::string document = server.spooledDocument(jobs[0].id);
    cupsFreeJobs(count, jobs);
    EXPECT_EQ(testing::pageCountOf(document), 2);
    double width = 0;
    double height = 0;
    const std::string info = testing::commandOutput("pdfinfo '" + document + "'");
    const auto at = info.find("Page size:");
    ASSERT_NE(at, std::string::npos) << info;
    std::sscanf(info.c_str() + at, "Page size: %lf x %lf", &width, &height);
    EXPECT_NEAR(width, 841.9, 1) << "A4 landscape, not a turned portrait page";
    EXPECT_NEAR(height, 595.3, 1);

    // A paused printer takes the job and keeps it: nothing failed, but the teacher is told.
    EXPECT_EQ(host.printNotice(), "");
    ASSERT_TRUE(PrivatePrintServer::run(std::string("cupsdisable ") + PrivatePrintServer::kQueue));
    host.printPages("1-1");
    EXPECT_EQ(host.printNotice(), "打印机已暂停，打印任务在队列中等待");
}

}  // namespace
}  // namespace numbrook
