#pragma once

#include "dialogs/tag_writer.h"

#include <QList>
#include <QString>

#include <optional>

namespace vellumo {

enum class FrameOrientation { Rows, Columns };

inline constexpr int MinimumFrameCount = 2;
inline constexpr int MaximumFrameCount = 8;

// The first step of the Frame Wizard: how the page is divided.
struct FrameLayout {
    FrameOrientation orientation = FrameOrientation::Rows;
    int count = MinimumFrameCount;
};

// One frame of the second step, every text exactly as shown in its field.
struct FrameSettings {
    QString name;
    QString address;
    QString scrolling;
    bool noResize = false;
};

// The frame count that a count text names: exactly "2" ... "8". Anything else
// ("9", "02", " 3", "") names none.
std::optional<int> frameCountFromText(const QString &text);

// The size list of the frameset start tag for `count` frames, the same for rows
// and columns: one "*" and a percentage for every other frame. Empty outside 2 ... 8.
QString framesetSizes(int count);

// The frameset block: the start tag, one frame line for each of the first
// layout.count entries of `frames` and the end tag, each line followed by '\n'.
// Every attribute is written, empty or not, and no value is changed in any way.
// `frames` must hold at least layout.count entries.
QString buildFrameset(const FrameLayout &layout, const QList<FrameSettings> &frames,
                      const MarkupStyle &style);

} // namespace vellumo
