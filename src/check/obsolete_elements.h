#pragma once

#include <QString>

namespace vellumo {

// What replaces an element that HTML no longer has ("CSS font properties" for
// FONT), or an empty string for an element that is current. `name` is lower case.
QString modernEquivalent(const QString &name);

} // namespace vellumo
