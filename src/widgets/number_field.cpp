#include "widgets/number_field.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vellumo {

namespace {

QToolButton *makeArrow(QWidget *parent, Qt::ArrowType type, const QString &name) {
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setArrowType(type);
    button->setAutoRepeat(true);
    // The arrows never take the focus, so the caret stays in the field beside them.
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(16, 11);
    return button;
}

} // namespace

NumberField::NumberField(const QString &editName, const QString &arrowsName, int minimum,
                         int maximum, QWidget *parent, QLineEdit *edit)
    : QWidget(parent)
    , m_edit(edit != nullptr ? edit : new QLineEdit)
    , m_arrows(new QWidget(this))
    , m_minimum(minimum)
    , m_maximum(maximum)
    , m_position(minimum) {
    m_edit->setParent(this);
    m_edit->setObjectName(editName);
    m_arrows->setObjectName(arrowsName);
    m_up = makeArrow(m_arrows, Qt::UpArrow, QStringLiteral("up"));
    m_down = makeArrow(m_arrows, Qt::DownArrow, QStringLiteral("down"));

    auto *arrowLayout = new QVBoxLayout(m_arrows);
    arrowLayout->setContentsMargins(0, 0, 0, 0);
    arrowLayout->setSpacing(0);
    arrowLayout->addWidget(m_up);
    arrowLayout->addWidget(m_down);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_arrows);

    setFocusProxy(m_edit);
    m_edit->installEventFilter(this);
    connect(m_up, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { stepBy(-1); });
}

QString NumberField::text() const {
    return m_edit->text();
}

void NumberField::setText(const QString &text) {
    m_edit->setText(text);
}

void NumberField::stepBy(int steps) {
    bool isNumber = false;
    const int typed = m_edit->text().toInt(&isNumber);
    const int from = isNumber ? std::clamp(typed, m_minimum, m_maximum) : m_position;
    m_position = std::clamp(from + steps, m_minimum, m_maximum);
    m_edit->setText(QString::number(m_position));
}

bool NumberField::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() == Qt::NoModifier &&
            (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
            stepBy(key->key() == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vellumo
