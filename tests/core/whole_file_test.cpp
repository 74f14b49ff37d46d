// SPDX-License-Identifier: GPL-3.0-or-later
// A file written whole or not at all, and the reason given when it can't be.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/whole_file.h"
#include "tests/support/temp_folder.h"

namespace numbrook {
namespace {

namespace fs = std::filesystem;

struct FileCase {
    const char* name;
    const char* path;  // in a folder holding "old.pdf" (mode 0640) and the folder "folder.pdf"
    const char* reason;
    fs::perms folderMode = fs::perms::owner_all;
};

class WholeFile : public ::testing::TestWithParam<FileCase> {};

TEST_P(WholeFile, IsWrittenOrSaysWhyNotAndKeepsWhatWasThere)
{
    const FileCase c = GetParam();
    if (c.folderMode != fs::perms::owner_all && ::geteuid() == 0)
        GTEST_SKIP() << "root writes without the permission";
    const testing::TempFolder temp;
    std::ofstream(temp.file("old.pdf")) << "old";
    fs::permissions(temp.file("old.pdf"), fs::perms(0640));
    fs::create_directory(temp.file("folder.pdf"));
    fs::permissions(temp.path, c.folderMode);
    const WriteResult result = writeWholeFile(temp.file(c.path), "new");
    fs::permissions(temp.path, fs::perms::owner_all);
    EXPECT_EQ(result.reason, c.reason);
    EXPECT_EQ(testing::readAll(temp.file("old.pdf")), result.written() ? "new" : "old");
    EXPECT_EQ(fs::status(temp.file("old.pdf")).permissions(), fs::perms(0640));
    // Nothing part-written is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.path), {}), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Situations, WholeFile,
    ::testing::Values(FileCase{"ReplacesTheFile", "old.pdf", ""},
                      FileCase{"NoSuchFolder", "missing/old.pdf", "文件夹不存在"},
                      FileCase{"AFolderOfThatName", "folder.pdf", "已有同名的文件夹"},
                      FileCase{"AFolderNotWritable", "old.pdf", "没有写入权限", fs::perms(0500)}),
    [](const auto& tested) { return std::string(tested.param.name); });

}  // namespace
}  // namespace numbrook
