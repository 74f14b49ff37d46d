// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The name under which every host prints the filled document, so that the
// teacher finds the sheet in the print queue.

#include <string>

namespace numbrook {

// "口算练习 编号" and the sheet number that ends the problem sheet's header;
// "口算练习" when the header ends in no number.
inline std::string printJobName(const std::string& problemHeader)
{
    static const std::string kMark = "编号：";
    const std::string name = "口算练习";
    const size_t at = problemHeader.rfind(kMark);
    if (at == std::string::npos) {
        return name;
    }
    const std::string number = problemHeader.substr(at + kMark.size());
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) {
        return name;
    }
    return name + " 编号" + number;
}

}  // namespace numbrook
