// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/session.h"

#include <algorithm>
#include <array>

#include "practice/answer.h"

namespace numbrook {

namespace {

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](std::string_view t, bool front) {
        for (std::string_view b : {" ", "\t", "\xE3\x80\x80"}) {
            if (t.size() >= b.size() &&
                (front ? t.substr(0, b.size()) : t.substr(t.size() - b.size())) == b)
                return b.size();
        }
        return size_t{0};
    };
    while (size_t n = blank(text, true))
        text.remove_prefix(n);
    while (size_t n = blank(text, false))
        text.remove_suffix(n);
    return text;
}

}  // namespace

PracticeSession::PracticeSession(std::vector<Problem> problems, PracticeKind kind)
    : problems_(std::move(problems)), kind_(kind)
{
}

const Attempt& PracticeSession::answer(std::string_view typed, int ms)
{
    const Problem problem = problems_[next_++];
    Attempt attempt{problem, std::string(trimmed(typed)), isRightAnswer(problem, typed),
                    std::max(ms, 0)};
    right_ += attempt.right ? 1 : 0;
    totalMs_ += attempt.ms;
    if (!attempt.right && kind_ == PracticeKind::Retry)
        problems_.push_back(problem);
    attempts_.push_back(std::move(attempt));
    return attempts_.back();
}

void PracticeSession::extend(const std::vector<Problem>& more)
{
    problems_.insert(problems_.end(), more.begin(), more.end());
}

std::vector<TypeRow> PracticeSession::typeRows() const
{
    std::array<TypeRow, kTypeCount> rows{};
    std::array<bool, kTypeCount> came{};
    for (const Attempt& a : attempts_) {
        const auto t = static_cast<size_t>(a.problem.type);
        came[t] = true;
        rows[t].type = a.problem.type;
        (a.right ? rows[t].right : rows[t].wrong) += 1;
        rows[t].ms += a.ms;
    }
    std::vector<TypeRow> shown;
    for (size_t t = 0; t < rows.size(); ++t) {
        if (came[t])
            shown.push_back(rows[t]);
    }
    return shown;
}

std::vector<Attempt> PracticeSession::wrongAttempts() const
{
    std::vector<Attempt> wrong;
    std::copy_if(attempts_.begin(), attempts_.end(), std::back_inserter(wrong),
                 [](const Attempt& a) { return !a.right; });
    return wrong;
}

std::vector<Problem> PracticeSession::missed() const
{
    std::vector<Problem> problems;
    for (const Attempt& a : attempts_) {
        if (!a.right && std::find(problems.begin(), problems.end(), a.problem) == problems.end())
            problems.push_back(a.problem);
    }
    return problems;
}

}  // namespace numbrook
