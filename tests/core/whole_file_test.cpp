// SPDX-License-Identifier: GPL-3.0-or-later
// A file written whole or not at all, and the reason given when it can't be.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <ostream>

#include "core/whole_file.h"
#include "tests/support/temp_folder.h"

namespace numbrook {
namespace {

namespace fs = std::filesystem;

struct FileCase {
    const char* name;
    // Makes the situation in folder and gives the path to write.
    std::string (*prepare)(const std::string& folder);
    const char* reason;             // empty: written
    bool needsPermissions = false;  // root writes anyway
    friend void PrintTo(const FileCase& c, std::ostream* out) { *out << c.name; }
};

class WholeFile : public ::testing::TestWithParam<FileCase> {};

TEST_P(WholeFile, IsWrittenOrSaysWhyNotAndKeepsWhatWasThere)
{
    const FileCase c = GetParam();
    if (c.needsPermissions && ::geteuid() == 0)
        GTEST_SKIP() << "root writes without the permission";
    const testing::TempFolder temp;
    const std::string path = c.prepare(temp.path);
    const std::string before = fs::is_regular_file(path) ? testing::readAll(path) : "";
    const WriteResult result = writeWholeFile(path, "new bytes");
    EXPECT_EQ(result.reason, c.reason);
    if (result.written()) {
        EXPECT_EQ(testing::readAll(path), "new bytes");
        EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640)) << "the old file's mode";
    } else if (fs::is_regular_file(path)) {
        EXPECT_EQ(testing::readAll(path), before);
    }
    // No part-written file is left beside it.
    fs::permissions(temp.path, fs::perms::owner_all);
    for (const auto& entry : fs::recursive_directory_iterator(temp.path))
        EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
}

std::string oldFile(const std::string& folder, fs::perms mode)
{
    const std::string path = folder + "/set.pdf";
    std::ofstream(path) << "old bytes";
    fs::permissions(path, mode);
    return path;
}

INSTANTIATE_TEST_SUITE_P(
    Situations, WholeFile,
    ::testing::Values(
        FileCase{"ReplacesAFile", [](const std::string& f) { return oldFile(f, fs::perms(0640)); },
                 ""},
        FileCase{"ThroughALink",
                 [](const std::string& f) {
                     const std::string target = oldFile(f, fs::perms(0640));
                     fs::create_symlink(target, f + "/link.pdf");
                     return f + "/link.pdf";
                 },
                 ""},
        FileCase{"NoSuchFolder", [](const std::string& f) { return f + "/missing/set.pdf"; },
                 "文件夹不存在"},
        FileCase{"AFileForTheFolder",
                 [](const std::string& f) { return oldFile(f, fs::perms(0640)) + "/set.pdf"; },
                 "文件夹不存在"},
        FileCase{"AFolderOfThatName",
                 [](const std::string& f) {
                     fs::create_directory(f + "/set.pdf");
                     return f + "/set.pdf";
                 },
                 "已有同名的文件夹"},
        FileCase{"AFolderNotWritable",
                 [](const std::string& f) {
                     const std::string path = oldFile(f, fs::perms(0640));
                     fs::permissions(f, fs::perms(0500));
                     return path;
                 },
                 "没有写入权限", true},
        FileCase{"AFileNotWritable",
                 [](const std::string& f) { return oldFile(f, fs::perms(0440)); }, "没有写入权限",
                 true}),
    [](const auto& tested) { return std::string(tested.param.name); });

}  // namespace
}  // namespace numbrook
