#pragma once

#include <QDialog>
#include <QKeySequence>
#include <QString>

#include <functional>
#include <vector>

class QLineEdit;
class QTreeWidget;

namespace vellumo {

// One thing the palette can run: a command of the window, or a button of its side panel.
struct PaletteEntry {
    QString title;
    QString place; // where it stands in the window: "Edit menu, Standard toolbar"
    QKeySequence keys;
    std::function<void()> run;
};

// Every command of the window behind one filter field, for people who keep their hands on
// the keyboard: typing narrows the list (every word must appear in the title or the
// place), Up and Down choose, Enter runs the chosen one exactly as its button does, Escape
// leaves. The entry runs after the palette has closed, so a dialog it opens is on its own.
class CommandPalette final : public QDialog {
    Q_OBJECT
public:
    explicit CommandPalette(QWidget *parent);

    void setEntries(std::vector<PaletteEntry> entries);
    // Shows the palette with an empty filter and runs what was chosen, if anything.
    void choose();

    QLineEdit *filterField() const { return m_filter; }
    QTreeWidget *list() const { return m_list; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyFilter(const QString &text);

    QLineEdit *m_filter;
    QTreeWidget *m_list;
    std::vector<PaletteEntry> m_entries;
};

} // namespace vellumo
