// SPDX-License-Identifier: GPL-3.0-or-later
// Makes the manual from its source: the line "@TYPES@" becomes the table
// of problem types, number, caption and gloss, as --types takes them.
//   numbrook_man_page numbrook.1.in numbrook.1

#include <fstream>
#include <iostream>
#include <string>

#include "generator/problem_types.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: numbrook_man_page <source> <manual>\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    std::ofstream out(argv[2]);
    if (!in || !out) {
        std::cerr << "numbrook_man_page: cannot read " << argv[1] << " or write " << argv[2]
                  << "\n";
        return 1;
    }
    for (std::string line; std::getline(in, line);) {
        if (line != "@TYPES@") {
            out << line << '\n';
            continue;
        }
        for (int type = 0; type < numbrook::kTypeCount; ++type) {
            const numbrook::ProblemType& row = numbrook::problemType(type);
            out << (type == 0 ? ".TP 4\n" : ".TP\n") << type << '\n'
                << row.caption << " (" << row.gloss << ")\n";
        }
    }
    return out.flush() ? 0 : 1;
}
