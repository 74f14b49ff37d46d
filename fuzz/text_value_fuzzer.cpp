// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: every input is the text of a count or interval box.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "fuzz/text_invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto violations = numbrook::fuzz::invariantViolations(text);
    if (!violations.empty()) {
        for (const std::string& v : violations)
            std::fprintf(stderr, "invariant broken: %s\n", v.c_str());
        std::abort();
    }
    return 0;
}
