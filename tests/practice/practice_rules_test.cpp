// SPDX-License-Identifier: GPL-3.0-or-later
// The practice rules: answers as pupils type them, a session with its
// 错题重练, the 错题本's entries and exits, and the deal.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "generator/problem_text.h"
#include "practice/answer.h"
#include "practice/mistake_book.h"

namespace numbrook {
namespace {

Problem make(int type, int a, Operator op, int b, int result, int remainder = 0,
             int8_t blank = kNoBlank)
{
    Problem p;
    p.type = static_cast<int16_t>(type);
    p.operands = {a, b, 0};
    p.operators = {op, Operator::Add};
    p.result = result;
    p.remainder = remainder;
    p.blank = blank;
    return p;
}

const Problem kAdd = make(0, 8, Operator::Add, 7, 15);
const Problem kAddBlank = make(0, 8, Operator::Add, 7, 15, 0, 1);
const Problem kRemainder = make(8, 17, Operator::Divide, 5, 3, 2);
const Problem kRemainderBlank = make(8, 17, Operator::Divide, 5, 3, 2, 3);  // the remainder

struct AnswerCase {
    Problem problem;
    const char* typed;
    bool right;
    friend void PrintTo(const AnswerCase& c, std::ostream* out)
    {
        *out << problemText(c.problem) << " \"" << c.typed << '"';
    }
};

class AnswerTest : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(AnswerTest, IsCheckedAgainstTheProblemsNumber)
{
    EXPECT_EQ(isRightAnswer(GetParam().problem, GetParam().typed), GetParam().right);
}

INSTANTIATE_TEST_SUITE_P(
    Typed, AnswerTest,
    ::testing::Values(AnswerCase{kAdd, "15", true}, AnswerCase{kAdd, "  15\t", true},
                      AnswerCase{kAdd, "\xEF\xBC\x91\xEF\xBC\x95", true},  // １５
                      AnswerCase{kAdd, "\xE3\x80\x80" "1\xEF\xBC\x95", true},
                      AnswerCase{kAdd, "015", true}, AnswerCase{kAdd, "16", false},
                      AnswerCase{kAdd, "", false}, AnswerCase{kAdd, "1 5", false},
                      AnswerCase{kAdd, "15.", false}, AnswerCase{kAdd, "-15", false},
                      AnswerCase{kAdd, "15a", false}, AnswerCase{kAdd, "99999999999999", false},
                      AnswerCase{kAddBlank, "7", true}, AnswerCase{kAddBlank, "15", false},
                      AnswerCase{kRemainder, "3\xE2\x80\xA6\xE2\x80\xA6" "2", true},  // 3……2
                      AnswerCase{kRemainder, "3...2", true}, AnswerCase{kRemainder, "3 2", true},
                      AnswerCase{kRemainder, "3\xE4\xBD\x99" "2", true},  // 3余2
                      AnswerCase{kRemainder, "3", false}, AnswerCase{kRemainder, "3...", false},
                      AnswerCase{kRemainder, "3...1", false},
                      AnswerCase{kRemainderBlank, "2", true},
                      AnswerCase{kRemainderBlank, "3 2", false}));

TEST(PracticeSessionTest, CountsAndRetriesTheMissedUntilRight)
{
    const std::vector<Problem> problems{kAdd, kRemainder, kAddBlank, kAdd};
    PracticeSession session(problems);
    for (const char* typed : {"15", "3", "6", "15"})
        session.answer(typed, 1000);
    EXPECT_TRUE(session.finished());
    EXPECT_EQ(session.rightCount(), 2);
    EXPECT_EQ(session.wrongCount(), 2);
    EXPECT_EQ(session.totalMs(), 4000);
    ASSERT_EQ(session.typeRows().size(), 2u);
    EXPECT_EQ(session.typeRows()[0].right, 2);
    EXPECT_EQ(session.typeRows()[1].wrong, 1);
    EXPECT_EQ(session.wrongAttempts()[1].given, "6");
    EXPECT_EQ(session.missed(), (std::vector<Problem>{kRemainder, kAddBlank}));

    // Missed again, it comes again at the end, until right once.
    PracticeSession retry(session.missed(), PracticeKind::Retry);
    for (const char* typed : {"3 2", "5", "5", "7"}) {
        ASSERT_FALSE(retry.finished());
        retry.answer(typed, 500);
    }
    EXPECT_TRUE(retry.finished());
    EXPECT_EQ(retry.wrongCount(), 2);
}

// A pupil's history, one attempt a step: the session, its kind, the
// problem, right or not and the time; then who is in the book.
struct Step {
    int64_t session;
    PracticeKind kind;
    int problem;  // index in kBookProblems
    bool right;
    int ms;
};
struct BookCase {
    const char* name;
    std::vector<Step> steps;
    std::vector<int> book;
    friend void PrintTo(const BookCase& c, std::ostream* out) { *out << c.name; }
};

const std::vector<Problem> kBookProblems{kAdd, kAddBlank, make(0, 2, Operator::Add, 3, 5)};
constexpr PracticeKind O = PracticeKind::Ordinary;
constexpr PracticeKind R = PracticeKind::Retry;

class MistakeBookTest : public ::testing::TestWithParam<BookCase> {};

TEST_P(MistakeBookTest, EntersAndLeaves)
{
    std::vector<PastAttempt> history;
    for (const Step& s : GetParam().steps)
        history.push_back({s.session, s.kind, kBookProblems[static_cast<size_t>(s.problem)],
                           s.right, s.ms});
    std::vector<Problem> expected;
    for (int i : GetParam().book)
        expected.push_back(kBookProblems[static_cast<size_t>(i)]);
    EXPECT_EQ(mistakeBook(history), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Histories, MistakeBookTest,
    ::testing::Values(
        BookCase{"AllRight", {{1, O, 0, true, 2000}, {1, O, 1, true, 2000}}, {}},
        BookCase{"WrongEnters", {{1, O, 0, true, 2000}, {1, O, 1, false, 2000}}, {1}},
        BookCase{"SlowEnters",
                 {{1, O, 0, true, 2000}, {1, O, 2, true, 2000}, {1, O, 1, true, 9000}},
                 {1}},
        BookCase{"SlowUnderFiveSecondsDoesNot",
                 {{1, O, 0, true, 1000}, {1, O, 2, true, 1000}, {1, O, 1, true, 4000}},
                 {}},
        BookCase{"RightInTwoLaterSessionsLeaves",
                 {{1, O, 0, false, 2000}, {2, O, 0, true, 2000}, {3, O, 0, true, 2000}},
                 {}},
        BookCase{"OneLaterSessionIsNotEnough",
                 {{1, O, 0, false, 2000}, {2, O, 0, true, 2000}, {2, O, 0, true, 2000}},
                 {0}},
        BookCase{"TheSameSessionAndRetriesDoNotCount",
                 {{1, O, 0, false, 2000}, {1, O, 0, true, 2000}, {2, R, 0, true, 2000},
                  {3, O, 0, true, 2000}},
                 {0}},
        BookCase{"AMissStartsAgain",
                 {{1, O, 0, false, 2000}, {2, O, 0, true, 2000}, {3, O, 0, false, 2000},
                  {4, O, 0, true, 2000}, {5, O, 2, false, 2000}},
                 {0, 2}}));

TEST(DealTest, AQuarterFromTheBookOfTheChosenTypesAndNoRepeats)
{
    SheetSetOptions options;
    options.perType[0] = 8;
    options.perType[6] = 4;
    // Three of type 0 (the same numbers twice), one of a type not chosen.
    std::vector<Problem> book{kAdd, kAddBlank, make(0, 2, Operator::Add, 3, 5),
                              make(0, 4, Operator::Add, 4, 8), make(8, 12, Operator::Divide, 3, 4)};
    for (int seed = 1; seed <= 20; ++seed) {
        RandomSource random(static_cast<uint64_t>(seed));
        const auto dealt = dealPractice(options, book, random);
        ASSERT_EQ(dealt.size(), 12u);
        std::map<int, int> perType;
        std::set<std::string> keys;
        int fromBook = 0;
        for (const Problem& p : dealt) {
            ++perType[p.type];
            fromBook += std::count(book.begin(), book.end(), p) > 0 ? 1 : 0;
            Problem numbers = p;
            numbers.blank = kNoBlank;
            EXPECT_TRUE(keys.insert(keyText(numbers)).second) << "repeated " << keyText(p);
        }
        EXPECT_EQ(perType, (std::map<int, int>{{0, 8}, {6, 4}}));
        EXPECT_EQ(fromBook, 3);  // (12 + 2) / 4
    }
    RandomSource random(3);
    EXPECT_EQ(dealBook(book, 3, random).size(), 3u);
}

}  // namespace
}  // namespace numbrook
