// SPDX-License-Identifier: GPL-3.0-or-later
// Mean attempts per problem and time per problem for each type.
//   build/bin/generator_bench [problems per type]
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "core/clock.h"
#include "generator/problem_types.h"

int main(int argc, char** argv)
{
    using namespace numbrook;
    const int problems = argc > 1 ? std::atoi(argv[1]) : 200000;
    SystemClock clock;
    RandomSource random(12345);
    std::printf("type  mean attempts  ns/problem  (%d problems each)\n", problems);
    for (int type = 0; type < kTypeCount; ++type) {
        long long attempts = 0;
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < problems; ++i) {
            int a = 0;
            makeProblemOfType(type, random, clock, &a);
            attempts += a;
        }
        const double ns =
            std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start)
                .count();
        std::printf("%4d  %13.3f  %10.0f\n", type, double(attempts) / problems, ns / problems);
    }
}
