// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace numbrook {

namespace {

// A new file beside path that no one else has: "<path>.<pid>-<n>.part",
// made with the permissions a new file gets (0666 less the umask).
int createBeside(const std::string& path, std::string& name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = path + "." + std::to_string(::getpid()) + "-" + std::to_string(attempt) + ".part";
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

}  // namespace

WriteResult writeWholeFile(const std::string& given, std::string_view bytes)
{
    // Through a link, the file it points to is the one replaced.
    std::string path = given;
    if (char* target = ::realpath(given.c_str(), nullptr)) {
        path = target;
        std::free(target);
    }
    // A file there already: writable, and its permissions go to the new one.
    struct stat existing {};
    const bool replacing = ::stat(path.c_str(), &existing) == 0;
    if (replacing && S_ISDIR(existing.st_mode))
        return {writeFailureReason(EISDIR)};
    if (replacing && ::access(path.c_str(), W_OK) != 0)
        return {writeFailureReason(errno)};

    std::string part;
    const int fd = createBeside(path, part);
    if (fd < 0)
        return {writeFailureReason(errno)};
    bool whole = writeAll(fd, bytes) && (!replacing || ::fchmod(fd, existing.st_mode & 07777) == 0);
    // A full disk or quota may show only when the data reaches it.
    whole = whole && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && whole) {
        whole = false;
        error = errno;
    }
    if (whole && ::rename(part.c_str(), path.c_str()) != 0) {
        whole = false;
        error = errno;
    }
    if (!whole) {
        ::unlink(part.c_str());
        return {writeFailureReason(error)};
    }
    return {};
}

std::string writeFailureReason(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return "文件夹不存在";
    case EACCES:
    case EPERM:
        return "没有写入权限";
    case EROFS:
        return "磁盘是只读的";
    case EISDIR:
        return "已有同名的文件夹";
    case ENOSPC:
    case EDQUOT:
        return "磁盘空间不足";
    case EFBIG:
        return "文件超出了允许的大小";
    case ENAMETOOLONG:
        return "文件名太长";
    default:
        return std::string("写入出错（") + std::strerror(error) + "）";
    }
}

}  // namespace numbrook
