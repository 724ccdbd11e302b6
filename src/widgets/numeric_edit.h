#pragma once

#include <QLineEdit>

namespace vellumo {

// A one-line field for whole numbers as people type them: it accepts the digits 0
// to 9 and a minus sign as the first character, and nothing else; deleting always
// works. Text set by the program is taken as it is.
class NumericEdit final : public QLineEdit {
    Q_OBJECT
public:
    explicit NumericEdit(QWidget *parent = nullptr);
};

} // namespace vellumo
