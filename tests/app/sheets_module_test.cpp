// SPDX-License-Identifier: GPL-3.0-or-later
// The sheets module: what a missing or broken one says, and the sheet
// window opened through the real one.

#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>

#include <stdexcept>
#include <string>

#include "app/sheets_module.h"
#include "export/host_loader.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_folder.h"

namespace numbrook {
namespace {

HostError loadFailure(const std::string& path)
{
    try {
        loadSheetsModule(path);
    } catch (const HostError& error) {
        return error;
    }
    throw std::logic_error(path + " loaded");
}

TEST(SheetsModule, AMissingModuleIsReportedInTheProgramsWords)
{
    const HostError error = loadFailure("/nonexistent/libnumbrook_sheets.so");
    EXPECT_EQ(error.failure(), HostFailure::NotInstalled);
    EXPECT_NE(std::string(error.what()).find("找不到练习纸组件/nonexistent/libnumbrook_sheets.so"),
              std::string::npos);
    EXPECT_NE(std::string(error.what()).find("请重新安装本程序！"), std::string::npos);
}

TEST(SheetsModule, ALibraryWithoutTheEntryIsRefused)
{
    const HostError error = loadFailure(NUMBROOK_EMPTY_MODULE);
    EXPECT_NE(std::string(error.what()).find("练习纸组件无效"), std::string::npos) << error.what();
}

// The sheet windows about, by class name: the module's are its own class.
int sheetWindows()
{
    int found = 0;
    for (QWidget* top : QApplication::topLevelWidgets())
        found += std::string(top->metaObject()->className()) == "numbrook::SheetWindow";
    return found;
}

struct World {
    testing::TempFolder folder;
    QSettings settings{QString::fromStdString(folder.file("numbrook.conf")), QSettings::IniFormat};
    testing::ScriptedBoxes boxes;
    testing::FixedClock clock;
    RandomSource random;
    SheetWindowServices services{boxes, random, settings, clock};
};

TEST(SheetWindowsOnDemand, WithoutTheModuleSaysWhyOpensNothingAndTriesAgain)
{
    World world;
    int loads = 0;
    SheetWindowsOnDemand windows(world.services, {}, [&loads]() -> const SheetsModule& {
        ++loads;
        return loadSheetsModule("/nonexistent/libnumbrook_sheets.so");
    });
    EXPECT_FALSE(windows.open(nullptr, {1}));
    EXPECT_FALSE(windows.show(nullptr, {}));
    EXPECT_EQ(loads, 2);
    ASSERT_EQ(world.boxes.shown.size(), 2u);
    EXPECT_EQ(world.boxes.shown[0].text.rfind("无法打开练习纸：找不到练习纸组件", 0), 0u)
        << world.boxes.shown[0].text;
    EXPECT_EQ(sheetWindows(), 0);
}

TEST(SheetWindowsOnDemand, TheModuleBesideTheProgramOpensOneSheetWindow)
{
    World world;
    int made = 0;
    {
        SheetWindowsOnDemand windows(world.services, [&made](QWidget&) { ++made; });
        ASSERT_TRUE(windows.open(nullptr, {0, 2}));
        ASSERT_TRUE(windows.open(nullptr, {}));
        EXPECT_EQ(sheetWindows(), 1);
    }
    EXPECT_EQ(made, 1);
    EXPECT_TRUE(world.boxes.shown.empty());
    EXPECT_EQ(sheetWindows(), 0) << "the window ends with its holder";
}

}  // namespace
}  // namespace numbrook
