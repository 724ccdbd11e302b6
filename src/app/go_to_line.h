#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace vellumo {

class Page;
class Platform;

// Where Go to Line takes the caret: a line, and a column on it (1 when not given).
struct LineTarget {
    qint64 line = 1;
    qint64 column = 1;
    friend bool operator==(const LineTarget &, const LineTarget &) = default;
};

// "12" or "12:5", spaces around the numbers allowed; nothing for anything else.
std::optional<LineTarget> parseLineTarget(const QString &text);

// Puts the caret at `target`, or at the nearest line and column that exist (columns
// count characters, a tab as one), and scrolls it into view.
void goToLine(Page &page, const LineTarget &target);

// Asks for a line ("line" or "line:column") in a small dialog and goes there; text that
// is not a line number is refused with a message and the caret stays where it was.
void askAndGoToLine(Page &page, Platform &platform, QWidget *parent);

} // namespace vellumo
