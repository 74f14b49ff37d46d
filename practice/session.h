// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A practice session: the problems in order, the pupil's answers with their
// times, and what the end shows of them. No clock: the window measures each
// answer's time and hands it in.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "generator/problem.h"
#include "generator/problem_types.h"

namespace numbrook {

// What a session practises; the records keep it as this number.
enum class PracticeKind : int8_t {
    Ordinary = 0,  // the chosen types, some of them from the 错题本
    Book = 1,      // the 错题本 alone
    Retry = 2,     // 错题重练: the problems just missed
};

struct Attempt {
    Problem problem;
    std::string given;  // as typed, blanks around taken off
    bool right = false;
    int ms = 0;  // from the problem shown to the answer checked
};

// One type's row at the end.
struct TypeRow {
    int type = 0;
    int right = 0;
    int wrong = 0;
    int64_t ms = 0;
};

class PracticeSession {
public:
    // A retry session deals a missed problem again, at the end, until each
    // has been answered right once.
    explicit PracticeSession(std::vector<Problem> problems,
                             PracticeKind kind = PracticeKind::Ordinary);

    PracticeKind kind() const { return kind_; }
    bool finished() const { return next_ >= problems_.size(); }
    // The problem on screen; only while not finished.
    const Problem& current() const { return problems_[next_]; }
    // 第 n 题 / 共 N 题.
    int number() const { return static_cast<int>(next_) + 1; }
    int size() const { return static_cast<int>(problems_.size()); }

    // Checks typed against the current problem, keeps the attempt and moves on.
    const Attempt& answer(std::string_view typed, int ms);
    // More problems after the last (a practice against the clock).
    void extend(const std::vector<Problem>& more);
    // Time is up: the problems answered are the whole session.
    void endNow() { problems_.resize(next_); }

    const std::vector<Attempt>& attempts() const { return attempts_; }
    int rightCount() const { return right_; }
    int wrongCount() const { return static_cast<int>(attempts_.size()) - right_; }
    int64_t totalMs() const { return totalMs_; }
    // A row for each type that came, in the order of the types.
    std::vector<TypeRow> typeRows() const;
    // The wrong attempts, in order.
    std::vector<Attempt> wrongAttempts() const;
    // Each problem answered wrong, once, in the order it was first missed:
    // what 错题重练 deals.
    std::vector<Problem> missed() const;

private:
    std::vector<Problem> problems_;
    PracticeKind kind_;
    size_t next_ = 0;
    std::vector<Attempt> attempts_;
    int right_ = 0;
    int64_t totalMs_ = 0;
};

}  // namespace numbrook
