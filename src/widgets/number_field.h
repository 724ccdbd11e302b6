#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace vellumo {

// A text field with an up/down arrow pair beside it. The arrows step a whole number
// within [minimum, maximum] and write it into the field, but the field takes any
// text the user types and hands it back unchanged: it is never parsed, checked or
// corrected. The Up and Down keys inside the field work like the arrows.
class NumberField final : public QWidget {
    Q_OBJECT
public:
    // `editName` names the text field and `arrowsName` the arrow pair, so that both
    // can be found by their object names. `edit` replaces the plain text field, for a
    // field that filters what is typed (the field takes ownership).
    NumberField(const QString &editName, const QString &arrowsName, int minimum, int maximum,
                QWidget *parent = nullptr, QLineEdit *edit = nullptr);

    QLineEdit *edit() const { return m_edit; }
    QWidget *arrows() const { return m_arrows; }
    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

    QString text() const;
    void setText(const QString &text);
    void clear() { setText(QString()); }

    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    // Where the arrows stand: the last number they wrote, or the minimum at first.
    int position() const { return m_position; }

    // Moves by `steps` (negative for down) from the number in the field, or from the
    // arrows' own position when the field holds no number, and writes the result.
    void stepBy(int steps);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_edit;
    QWidget *m_arrows;
    QToolButton *m_up;
    QToolButton *m_down;
    int m_minimum;
    int m_maximum;
    int m_position;
};

} // namespace vellumo
