// SPDX-License-Identifier: GPL-3.0-or-later
// Loading the document host module, and the paths beside the program.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "export/host_loader.h"

namespace numbrook {
namespace {

namespace fs = std::filesystem;

TEST(ProgramFolder, IsTheFolderOfThisExecutable)
{
    const fs::path folder = programFolder();
    EXPECT_TRUE(folder.is_absolute());
    EXPECT_TRUE(fs::exists(folder / "numbrook_export_tests"));
    EXPECT_EQ(exerciseDocumentPath(), folder.string() + "/式题导出.doc");
}

// A module that isn't there reads to the teacher as LibreOffice missing, a
// module that loads but isn't ours as anything else.
TEST(HostModule, FailuresSayWhatIsMissing)
{
    const auto failureOf = [](const std::string& module) {
        try {
            loadDocumentHost(module);
        } catch (const HostError& error) {
            return error.failure();
        }
        return HostFailure::Other;
    };
    EXPECT_EQ(failureOf("/nonexistent/libnumbrook_libreoffice.so"), HostFailure::NotInstalled);
    EXPECT_EQ(failureOf(NUMBROOK_EMPTY_MODULE), HostFailure::Other);
}

// A prefix with the program in bin/ and, when asked, files beside it and
// in share/numbrook.
class InstalledLayout : public ::testing::Test {
protected:
    fs::path prefix = fs::temp_directory_path() / ("numbrook-layout-" + std::to_string(::getpid()));
    fs::path bin = prefix / "bin";

    void SetUp() override
    {
        fs::create_directories(bin);
        fs::create_directories(prefix / "share/numbrook");
    }
    void TearDown() override { fs::remove_all(prefix); }
    static void touch(const fs::path& file) { std::ofstream(file) << "x"; }
};

TEST_F(InstalledLayout, FileBesideTheProgramComesFirst)
{
    touch(bin / "式题导出.doc");
    touch(prefix / "share/numbrook/式题导出.doc");
    EXPECT_EQ(besideOrInstalled(bin.string(), "../share/numbrook", "式题导出.doc"),
              (bin / "式题导出.doc").string());
}

TEST_F(InstalledLayout, InstalledFileIsFoundRelativeToTheProgram)
{
    touch(prefix / "share/numbrook/式题导出.doc");
    EXPECT_EQ(besideOrInstalled(bin.string(), "../share/numbrook", "式题导出.doc"),
              (prefix / "share/numbrook/式题导出.doc").string());
    // Missing in both places: the installed path, for the error to name.
    EXPECT_EQ(besideOrInstalled(bin.string(), "../lib/x86_64-linux-gnu/numbrook", "m.so"),
              (prefix / "lib/x86_64-linux-gnu/numbrook/m.so").string());
}

TEST(ProgramFiles, TheModuleLiesBesideTheProgramInTheBuildTree)
{
    EXPECT_EQ(hostModulePath(kLibreOfficeModuleName),
              programFolder() + "/" + kLibreOfficeModuleName);
}

std::string failureOf(const std::string& modulePath)
{
    try {
        loadDocumentHost(modulePath);
    } catch (const HostError& error) {
        return error.what();
    }
    return "(no error)";
}

TEST(LoadDocumentHost, MissingModuleAsksToReinstall)
{
    const std::string text = failureOf("/nonexistent/libnumbrook_libreoffice.so");
    EXPECT_EQ(text.rfind("找不到文档组件/nonexistent/libnumbrook_libreoffice.so", 0), 0u) << text;
    EXPECT_NE(text.find("请重新安装本程序！"), std::string::npos) << text;
}

TEST(LoadDocumentHost, UnloadableModuleNamesLibreOfficeAndTheLoadersReason)
{
    const fs::path fake = fs::temp_directory_path() / "numbrook-not-a-module.so";
    std::ofstream(fake) << "not a shared object";
    const std::string text = failureOf(fake.string());
    fs::remove(fake);
    EXPECT_EQ(text.rfind("无法加载文档组件，请确认已安装LibreOffice Writer！（", 0), 0u) << text;
    EXPECT_NE(text.find("numbrook-not-a-module.so"), std::string::npos)
        << "dlerror's text: " << text;
}

TEST(LoadDocumentHost, LibraryWithoutTheEntryIsRejected)
{
    const std::string text = failureOf(NUMBROOK_EMPTY_MODULE);
    EXPECT_EQ(text.rfind("文档组件无效", 0), 0u) << text;
    EXPECT_NE(text.find("numbrook_create_document_host"), std::string::npos) << text;
}

}  // namespace
}  // namespace numbrook
