#pragma once

#include "check/problem.h"
#include "check/tidy_diagnostics.h"

#include <optional>

namespace vellumo {

// A Tidy diagnostic in this program's own words and severity, without its
// position yet; none for diagnostics the page check reports better itself (IMG
// without ALT, duplicate anchors, obsolete elements) or that are noise
// (unquoted attribute values are valid HTML).
std::optional<Problem> problemFromTidy(const TidyDiagnostic &diagnostic);

} // namespace vellumo
