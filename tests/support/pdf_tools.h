// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reading printed output back in tests: page counts (PDF or PostScript) and
// the text of a PDF page through poppler's command-line tools.

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace numbrook::testing {

// Standard output of a shell command, or "" when it can't run.
inline std::string commandOutput(const std::string& command)
{
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            out.append(buffer, n);
        }
        ::pclose(pipe);
    }
    return out;
}

inline bool havePoppler()
{
    return std::system(
               "command -v pdfinfo >/dev/null 2>&1 && command -v pdftotext >/dev/null 2>&1") == 0;
}

// Pages of a PDF (by pdfinfo) or PostScript file (by its page comments); -1 if unreadable.
inline int pageCountOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string text = bytes.str();
    if (text.rfind("%PDF", 0) == 0) {
        int pages = -1;
        std::istringstream info(commandOutput("pdfinfo '" + path + "' 2>/dev/null"));
        for (std::string line; std::getline(info, line);) {
            std::sscanf(line.c_str(), "Pages: %d", &pages);
        }
        return pages;
    }
    if (text.rfind("%!PS", 0) != 0) {
        return -1;
    }
    int pages = 0;
    for (size_t at = text.find("\n%%Page:"); at != std::string::npos;
         at = text.find("\n%%Page:", at + 1)) {
        ++pages;
    }
    return pages;
}

// pdftotext of one page; layout: keep the page's arrangement; bbox: words with boxes (XHTML).
inline std::string pdfPageText(const std::string& path, int page,
                               const std::string& mode = "-layout")
{
    return commandOutput("pdftotext " + mode + " -f " + std::to_string(page) + " -l " +
                         std::to_string(page) + " '" + path + "' - 2>/dev/null");
}

}  // namespace numbrook::testing
