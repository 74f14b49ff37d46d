// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/document_path.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "export/document_host.h"

namespace numbrook {

std::string programFolder()
{
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        throw HostError("无法确定程序所在的文件夹：" + error.message(),
                        HostFailure::DocumentUnusable);
    }
    return exe.parent_path().string();
}

// NUMBROOK_INSTALLED_DATA_DIR is the installed data folder relative to the
// installed program's folder.

std::string besideOrInstalled(const std::string& programFolder, const std::string& installedFolder,
                              const std::string& name)
{
    namespace fs = std::filesystem;
    const fs::path folder(programFolder);
    std::error_code error;
    if (fs::exists(folder / name, error))
        return (folder / name).string();
    return (folder / installedFolder / name).lexically_normal().string();
}

std::string dataFilePath(const std::string& name)
{
    return besideOrInstalled(programFolder(), NUMBROOK_INSTALLED_DATA_DIR, name);
}

std::string presetsFilePath()
{
    return dataFilePath(kPresetsFileName);
}

std::string exerciseDocumentPath()
{
    const std::string path = dataFilePath(kExerciseDocumentName);
    if (::access(path.c_str(), R_OK) != 0) {
        throw HostError(
            "找不到练习文档" + path + "（" + std::strerror(errno) + "），请重新安装本程序！",
            HostFailure::DocumentUnusable);
    }
    return path;
}

}  // namespace numbrook
