#pragma once

#include "check/problem.h"
#include "check/tag_scanner.h"

#include <atomic>

namespace vellumo {

// A problem found by the page check's own rules, placed by offsets into the text.
struct PlacedProblem {
    Problem problem;      // line and column not yet known
    qsizetype start = -1; // -1: the page as a whole
    qsizetype length = 0;
};

QList<PlacedProblem> ownChecks(const CheckRequest &request, const QList<ScannedTag> &tags,
                               const std::atomic_bool &cancel);

} // namespace vellumo
