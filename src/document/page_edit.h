#pragma once

#include <QString>

namespace vellumo {

// One stretch of the page, [start, start + length), to become `text`.
struct RangeEdit {
    int start = 0;
    int length = 0;
    QString text;
};

} // namespace vellumo
