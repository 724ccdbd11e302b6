#pragma once

// What a dialog test needs: a page editor behind the insertion core, the scripted
// platform, and quick access to a dialog's named controls.

#include "dialogs/dialog_context.h"
#include "document/page.h"
#include "editor/insertion_core.h"
#include "editor/page_editor.h"
#include "scripted_platform.h"
#include "whole_page.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QTest>

namespace vellumo {

struct DialogFixture {
    PageEditor editor;
    InsertionCore core{&editor};
    ScriptedPlatform platform;
    DialogContext context{core, platform};

    explicit DialogFixture(bool upper = true) {
        core.setTagCase(upper ? UpperTagCase : LowerTagCase);
    }

    // Puts `text` in the editor as a page just opened (nothing to undo, unmodified) with
    // the selection from `anchor` to `position`.
    void page(const QString &text, int anchor = -1, int position = -1) {
        setPageText(core.page(), text);
        const int from = anchor < 0 ? static_cast<int>(text.size()) : anchor;
        core.page().select(from, position < 0 ? from : position);
    }
    QString text() const { return pageText(core.page()); }
    int caret() const { return core.page().caret(); }
};

template <typename T> T *control(QWidget &dialog, const char *name) {
    T *found = dialog.findChild<T *>(QLatin1String(name));
    if (found == nullptr)
        qFatal("no control %s in %s", name, qPrintable(dialog.objectName()));
    return found;
}

inline QLineEdit *edit(QWidget &dialog, const char *name) {
    return control<QLineEdit>(dialog, name);
}
inline QComboBox *combo(QWidget &dialog, const char *name) {
    return control<QComboBox>(dialog, name);
}
inline void click(QWidget &dialog, const char *name) {
    control<QAbstractButton>(dialog, name)->click();
}

// Shows a dialog the way a launcher does, but without blocking the test.
inline void open(QDialog &dialog) {
    dialog.show();
    QApplication::setActiveWindow(&dialog);
}

// Types text into a field as the user would, one key at a time.
inline void type(QLineEdit *field, const QString &text) {
    field->setFocus();
    QTest::keyClicks(field, text);
}

} // namespace vellumo
