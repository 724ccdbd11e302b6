#pragma once

#include "check/problem.h"

#include <atomic>

namespace vellumo {

// Checks a page: HTML Tidy's diagnostics in this program's words, and the checks
// Tidy does not make (local references, fragments and image maps, duplicate
// ids, IMG without ALT, the declared charset, frameset pages, obsolete
// elements). Pure apart from looking at the files local references name; never
// writes anything. Returns early, with `stopped` set, once `cancel` is set.
CheckResult checkPage(const CheckRequest &request, const std::atomic_bool &cancel);

} // namespace vellumo
