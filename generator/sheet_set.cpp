// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/sheet_set.h"

#include "generator/sheet_options.h"

#include <algorithm>
#include <numeric>
#include <optional>
#include <utility>

namespace numbrook {

namespace {

template <typename T>
void shuffle(std::vector<T>& items, RandomSource& random)
{
    for (size_t i = items.size(); i > 1; --i) {
        const auto j = static_cast<size_t>(random.drawInt(0, static_cast<int>(i)));
        using std::swap;
        swap(items[i - 1], items[j]);
    }
}

// One type's problems for one sheet: drawn at random, or dealt from the
// shuffled pool so that none comes twice before all have come once.
class Dealer {
public:
    Dealer(int type, bool noRepeats) : pool_(problemPool(type)), noRepeats_(noRepeats) {}

    const Problem& next(RandomSource& random)
    {
        const int size = static_cast<int>(pool_.size());
        if (!noRepeats_)
            return pool_[static_cast<size_t>(random.drawInt(0, size))];
        if (dealt_ == 0) {
            if (deck_.empty())
                deck_ = pool_;
            shuffle(deck_, random);
        }
        const Problem& problem = deck_[static_cast<size_t>(dealt_)];
        dealt_ = (dealt_ + 1) % size;
        return problem;
    }

private:
    const std::vector<Problem>& pool_;
    std::vector<Problem> deck_;  // the pool shuffled, without repeats
    bool noRepeats_;
    int dealt_ = 0;
};

// The type of each place on a sheet.
std::vector<int> sheetTypes(const SheetSetOptions& options, RandomSource& random)
{
    std::vector<int> types;
    if (hasCounts(options)) {
        for (int type = 0; type < kTypeCount; ++type)
            types.insert(types.end(), static_cast<size_t>(options.perType[type]), type);
        shuffle(types, random);
    } else {
        const int ticked = static_cast<int>(options.types.size());
        for (int i = 0; i < options.count; ++i)
            types.push_back(options.types[static_cast<size_t>(random.drawInt(0, ticked))]);
    }
    return types;
}

// Which places on a sheet of n problems are 填空.
std::vector<char> blankPlaces(ProblemForm form, int n, RandomSource& random)
{
    std::vector<char> blanks(static_cast<size_t>(n), form == ProblemForm::Blank);
    if (form == ProblemForm::Mixed) {
        // Half of each; an odd one out goes either way.
        const int blankCount = n / 2 + (n % 2 == 1 ? random.drawInt(0, 2) : 0);
        std::fill_n(blanks.begin(), blankCount, true);
        shuffle(blanks, random);
    }
    return blanks;
}

SheetProblems drawSheet(const SheetSetOptions& options, RandomSource& random)
{
    const std::vector<int> types = sheetTypes(options, random);
    const std::vector<char> blanks =
        blankPlaces(options.form, static_cast<int>(types.size()), random);
    std::array<std::optional<Dealer>, kTypeCount> dealers;
    SheetProblems sheet;
    sheet.reserve(types.size());
    for (size_t i = 0; i < types.size(); ++i) {
        auto& dealer = dealers[static_cast<size_t>(types[i])];
        if (!dealer)
            dealer.emplace(types[i], options.noRepeats);
        const Problem& problem = dealer->next(random);
        sheet.push_back(blanks[i] ? blankProblem(problem, random) : problem);
    }
    return sheet;
}

}  // namespace

bool hasCounts(const SheetSetOptions& options)
{
    return std::any_of(options.perType.begin(), options.perType.end(),
                       [](int n) { return n != 0; });
}

int problemsPerSheet(const SheetSetOptions& options)
{
    return hasCounts(options) ? std::accumulate(options.perType.begin(), options.perType.end(), 0)
                              : options.count;
}

std::string optionsProblem(const SheetSetOptions& options)
{
    if (std::any_of(options.perType.begin(), options.perType.end(), [](int n) { return n < 0; }))
        return "每类题数不能是负数";
    if (!hasCounts(options)) {
        if (options.types.empty())
            return "请至少选择一种题型";
        for (int type : options.types) {
            if (type < 0 || type >= kTypeCount)
                return "题型只能是" + typeNumberRange();
        }
    }
    const int n = problemsPerSheet(options);
    if (!kSheetProblemsOption.accepts(n))
        return kSheetProblemsOption.refusal();
    if (!kCopiesOption.accepts(options.copies))
        return kCopiesOption.refusal();
    return {};
}

Problem blankProblem(Problem problem, RandomSource& random)
{
    // 17÷5=（　　）……2 or 17÷5=3……（　　）; else any number before "=".
    problem.blank =
        static_cast<int8_t>(problem.remainder != 0 ? problem.count + random.drawInt(0, 2)
                                                   : random.drawInt(0, problem.count));
    return problem;
}

std::vector<SheetProblems> drawSheetSet(const SheetSetOptions& options, RandomSource& random)
{
    std::vector<SheetProblems> sheets;
    sheets.reserve(static_cast<size_t>(options.copies));
    for (int copy = 0; copy < options.copies; ++copy)
        sheets.push_back(drawSheet(options, random));
    return sheets;
}

std::vector<Sheet> drawClassSet(const SheetSetOptions& options, RandomSource& random,
                                const LocalTime& time)
{
    std::vector<Sheet> set;
    int number = 0;
    for (SheetProblems& problems : drawSheetSet(options, random))
        set.push_back({++number, time, std::move(problems), options.form});
    return set;
}

}  // namespace numbrook
