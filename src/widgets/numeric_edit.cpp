#include "widgets/numeric_edit.h"

#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace vellumo {

NumericEdit::NumericEdit(QWidget *parent)
    : QLineEdit(parent) {
    // A validator rather than a key filter, so that pasted text obeys the same rule
    // as typed text.
    setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?[0-9]*")), this));
}

} // namespace vellumo
