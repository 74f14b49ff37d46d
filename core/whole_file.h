// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A file written whole or not at all, and the reason the teacher reads when
// it can't be: the bytes go to a new file beside it, every one of them
// accounted for and flushed to the disk, and only then does the new file
// take the name; until then a file already there keeps its old content.

#include <string>
#include <string_view>

namespace numbrook {

struct WriteResult {
    std::string reason;  // empty: written; else why not, in Chinese
    bool written() const { return reason.empty(); }
};

// Writes bytes to path, replacing what is there and keeping its permissions.
WriteResult writeWholeFile(const std::string& path, std::string_view bytes);

// Why a file can't be written, from the errno of the step that failed: no
// such folder, no permission, a folder of that name, no room on the disk …
std::string writeFailureReason(int error);

}  // namespace numbrook
