// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/mistake_book.h"

#include <algorithm>

namespace numbrook {

namespace {

template <typename T>
void shuffle(std::vector<T>& items, RandomSource& random)
{
    for (size_t i = items.size(); i > 1; --i)
        std::swap(items[i - 1], items[static_cast<size_t>(random.drawInt(0, static_cast<int>(i)))]);
}

// The same problem whatever its form: a drawn 8＋7= repeats a kept 8＋（　　）=15.
bool sameNumbers(Problem a, Problem b)
{
    a.blank = b.blank = kNoBlank;
    return a == b;
}

struct Entry {
    Problem problem;
    int64_t missedIn = 0;     // the session of the last miss
    int64_t lastGoodIn = -1;  // the last session that counted towards leaving
    int goodSessions = 0;
};

constexpr int kSessionsToLeave = 2;

}  // namespace

std::array<int, kTypeCount> usualTimes(const std::vector<PastAttempt>& history)
{
    std::array<std::vector<int>, kTypeCount> times;
    for (const PastAttempt& a : history) {
        if (a.right && a.problem.type >= 0 && a.problem.type < kTypeCount)
            times[static_cast<size_t>(a.problem.type)].push_back(a.ms);
    }
    std::array<int, kTypeCount> usual{};
    for (size_t t = 0; t < times.size(); ++t) {
        auto& v = times[t];
        if (v.empty())
            continue;
        const auto middle = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
        std::nth_element(v.begin(), middle, v.end());
        usual[t] = *middle;
    }
    return usual;
}

bool isSlow(int ms, int usualMs)
{
    return ms > kSlowFloorMs && usualMs > 0 && ms > 2 * usualMs;
}

std::vector<Problem> mistakeBook(const std::vector<PastAttempt>& history)
{
    const auto usual = usualTimes(history);
    std::vector<Entry> book;
    for (const PastAttempt& a : history) {
        const auto found = std::find_if(book.begin(), book.end(),
                                        [&](const Entry& e) { return e.problem == a.problem; });
        const int usualMs =
            a.problem.type >= 0 && a.problem.type < kTypeCount ? usual[static_cast<size_t>(a.problem.type)] : 0;
        if (!a.right || isSlow(a.ms, usualMs)) {
            if (found == book.end()) {
                book.push_back({a.problem, a.session});
            } else {
                found->missedIn = a.session;
                found->goodSessions = 0;
                found->lastGoodIn = -1;
            }
        } else if (found != book.end() && a.kind != PracticeKind::Retry &&
                   a.session != found->missedIn && a.session != found->lastGoodIn) {
            found->lastGoodIn = a.session;
            if (++found->goodSessions >= kSessionsToLeave)
                book.erase(found);
        }
    }
    std::vector<Problem> problems;
    problems.reserve(book.size());
    for (const Entry& e : book)
        problems.push_back(e.problem);
    return problems;
}

std::vector<Problem> dealPractice(SheetSetOptions options, const std::vector<Problem>& book,
                                  RandomSource& random)
{
    options.copies = 1;
    options.noRepeats = true;
    const bool counts = hasCounts(options);
    const int n = problemsPerSheet(options);
    const auto chosen = [&](int type) {
        return counts ? options.perType[static_cast<size_t>(type)] > 0
                      : std::find(options.types.begin(), options.types.end(), type) !=
                            options.types.end();
    };

    // A quarter from the book, of the chosen types, never more of a type
    // than its count.
    std::vector<Problem> kept;
    std::copy_if(book.begin(), book.end(), std::back_inserter(kept),
                 [&](const Problem& p) { return chosen(p.type); });
    shuffle(kept, random);
    std::vector<Problem> dealt;
    const int fromBook = (n + 2) / 4;
    for (const Problem& p : kept) {
        if (static_cast<int>(dealt.size()) >= fromBook)
            break;
        int& left = counts ? options.perType[static_cast<size_t>(p.type)] : options.count;
        const bool again = std::any_of(dealt.begin(), dealt.end(),
                                       [&](const Problem& d) { return sameNumbers(d, p); });
        if (left > 0 && !again) {
            --left;
            dealt.push_back(p);
        }
    }
    const size_t fromBookDealt = dealt.size();

    // The rest drawn; one that repeats a problem from the book is drawn again.
    if (problemsPerSheet(options) > 0) {
        const SheetProblems drawn = drawSheetSet(options, random).front();
        for (Problem p : drawn) {
            for (int tries = 0; tries < 20; ++tries) {
                const bool repeats =
                    std::any_of(dealt.begin(), dealt.begin() + static_cast<std::ptrdiff_t>(fromBookDealt),
                                [&](const Problem& k) { return sameNumbers(k, p); });
                if (!repeats)
                    break;
                SheetSetOptions one = options;
                one.perType = {};
                one.types = {p.type};
                one.count = 1;
                const int8_t blank = p.blank;
                p = drawSheetSet(one, random).front().front();
                if (blank != kNoBlank)
                    p.blank = blank;
            }
            dealt.push_back(p);
        }
    }
    shuffle(dealt, random);
    return dealt;
}

std::vector<Problem> dealBook(std::vector<Problem> book, int count, RandomSource& random)
{
    shuffle(book, random);
    if (static_cast<int>(book.size()) > count)
        book.resize(static_cast<size_t>(std::max(count, 0)));
    return book;
}

}  // namespace numbrook
