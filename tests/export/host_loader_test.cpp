// SPDX-License-Identifier: GPL-3.0-or-later
// Loading the document host module, and the paths beside the program.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>

#include <unistd.h>

#include "export/host_loader.h"
#include "tests/support/temp_folder.h"

namespace numbrook {
namespace {

namespace fs = std::filesystem;

// The build tree holds the module and the document beside the program.
TEST(ProgramFolder, IsTheFolderOfThisExecutableWithItsFilesBesideIt)
{
    const fs::path folder = programFolder();
    EXPECT_TRUE(folder.is_absolute());
    EXPECT_TRUE(fs::exists(folder / "numbrook_export_tests"));
    EXPECT_EQ(exerciseDocumentPath(), folder.string() + "/式题导出.doc");
    EXPECT_EQ(hostModulePath(kLibreOfficeModuleName),
              programFolder() + "/" + kLibreOfficeModuleName);
}

// Installed: a file beside the program comes first, then the one in its
// installed folder, and where neither is, the installed path for the error.
TEST(InstalledLayout, FindsTheFileBesideTheProgramFirstThenInItsInstalledFolder)
{
    testing::TempFolder prefix;
    const std::string bin = prefix.file("bin");
    fs::create_directories(bin);
    fs::create_directories(prefix.file("share/numbrook"));
    const auto found = [&bin](const char* folder, const char* file) {
        return besideOrInstalled(bin, folder, file);
    };
    std::ofstream(prefix.file("share/numbrook/式题导出.doc")) << "x";
    EXPECT_EQ(found("../share/numbrook", "式题导出.doc"),
              prefix.file("share/numbrook/式题导出.doc"));
    std::ofstream(bin + "/式题导出.doc") << "x";
    EXPECT_EQ(found("../share/numbrook", "式题导出.doc"), bin + "/式题导出.doc");
    EXPECT_EQ(found("../lib/x86_64-linux-gnu/numbrook", "m.so"),
              prefix.file("lib/x86_64-linux-gnu/numbrook/m.so"));
}

// A module that isn't there asks to reinstall and reads to the teacher as
// LibreOffice missing; one that won't load names LibreOffice and the
// loader's reason; one that loads but isn't ours says so.
std::string notAModulePath()
{
    return (fs::temp_directory_path() / "numbrook-not-a-module.so").string();
}

struct ModuleCase {
    const char* name;
    std::string module;
    const char* begins;
    const char* names;
    HostFailure failure;
    friend void PrintTo(const ModuleCase& c, std::ostream* out) { *out << c.name; }
};

class LoadDocumentHost : public ::testing::TestWithParam<ModuleCase> {};

TEST_P(LoadDocumentHost, FailsSayingWhatIsWrong)
{
    const std::string notAModule = notAModulePath();
    std::ofstream(notAModule) << "not a shared object";
    try {
        loadDocumentHost(GetParam().module);
        ADD_FAILURE() << "loaded";
    } catch (const HostError& error) {
        const std::string text = error.what();
        EXPECT_EQ(text.rfind(GetParam().begins, 0), 0u) << text;
        EXPECT_NE(text.find(GetParam().names), std::string::npos) << text;
        EXPECT_EQ(error.failure(), GetParam().failure);
    }
    fs::remove(notAModule);
}

INSTANTIATE_TEST_SUITE_P(
    Modules, LoadDocumentHost,
    ::testing::Values(ModuleCase{"Missing", "/nonexistent/libnumbrook_libreoffice.so",
                                 "找不到文档组件/nonexistent/libnumbrook_libreoffice.so",
                                 "请重新安装本程序！", HostFailure::NotInstalled},
                      ModuleCase{"Unloadable", notAModulePath(),
                                 "无法加载文档组件，请确认已安装LibreOffice Writer！（",
                                 "numbrook-not-a-module.so", HostFailure::NotInstalled},
                      ModuleCase{"WithoutTheEntry", NUMBROOK_EMPTY_MODULE, "文档组件无效",
                                 "numbrook_create_document_host", HostFailure::Other}),
    [](const auto& tested) { return std::string(tested.param.name); });

}  // namespace
}  // namespace numbrook
