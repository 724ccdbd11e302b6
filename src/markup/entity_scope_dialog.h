#pragma once

#include "markup/page_conversions.h"

#include <QString>

#include <optional>

class QWidget;

namespace vellumo {

// Asks which characters Characters to Entities writes as references: only those
// the page's `encoding` cannot hold, or every one outside ASCII. `initial` is
// chosen when the dialog opens. Nothing when the user cancels.
std::optional<EntityScope> askEntityScope(QWidget *parent, EntityScope initial,
                                          TextEncoding encoding);

} // namespace vellumo
