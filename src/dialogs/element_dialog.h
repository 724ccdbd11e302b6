#pragma once

#include "dialogs/dialog_context.h"
#include "dialogs/tag_writer.h"
#include "platform/platform.h"

#include <QDialog>
#include <QFrame>

class QBoxLayout;
class QComboBox;

class QLabel;
class QLineEdit;
class QPushButton;

namespace vellumo {

class InsertionCore;
class NumberField;

// What sets one element dialog apart from the others in the shared behaviour.
struct DialogTraits {
    QString objectName;
    QString caption;
    int helpTopic = 0; // 0: no help topic, F1 does nothing
    bool escapeCancels = false;
    QString okName = QStringLiteral("Button1");
    QString cancelName = QStringLiteral("Button2");
    bool cancelFirst = false; // Cancel comes before OK in the keyboard order
};

// The behaviour every element dialog shares: a fixed frame centred on the screen, OK
// as the default button, Escape as Cancel only where the dialog allows it, F1 for
// its help topic, opening actions on showing and on activation, a close query that
// resets the fields on every road out, insertion through the insertion core and the
// browse buttons of the file fields. A dialog connects okButton() to its own OK
// handler; Cancel closes.
class ElementDialog : public QDialog {
    Q_OBJECT
public:
    ElementDialog(DialogContext &context, const DialogTraits &traits, QWidget *parent);

    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }
    int helpTopic() const { return m_traits.helpTopic; }

    // Every road out (OK, Cancel, Escape, the close box, Alt+F4) ends here, so the
    // close query runs exactly once per close and never refuses it.
    void done(int result) override;

protected:
    InsertionCore &core() const { return m_context.core; }
    Platform &platform() const { return m_context.platform; }
    // The tag case and attribute quote as they stand now.
    MarkupStyle markupStyle() const;

    // The area above the buttons where a dialog lays out its fields.
    QWidget *body() const { return m_body; }
    // A decorative picture at the top left, beside the fields.
    void setPicture(const QPixmap &picture);
    // The fields sit in a bevelled panel.
    void setBevelled();

    // Sets the keyboard order: `fields` in the given order, then the two buttons.
    void setKeyboardOrder(const QList<QWidget *> &fields);

    // Opening actions bound to showing: once per showing.
    virtual void FormShow() {}
    // Opening actions bound to activation: on showing, and again when a message box
    // of this dialog has closed.
    virtual void FormActivate() {}
    // Resets the fields for the next showing.
    virtual void FormCloseQuery() {}

    // Puts the snippet at the caret (replacing a selection), optionally steps the
    // caret back over a closing tag and focuses the editor, then closes with OK.
    void insertAndClose(const QString &snippet, int stepBack = 0, bool focusEditor = false);
    // An error box captioned "Error"; afterwards the dialog is active again.
    void reportError(const QString &text);
    // Fills `field` from a file-open chooser: the chosen file's folder becomes the
    // current folder and the field gets the bare file name as the folder lists it.
    // The focus then moves to `focusAfter`, or stays where it was when that is null.
    // Returns whether the field was filled.
    bool browse(QLineEdit *field, const FileChooserRequest &request, QWidget *focusAfter);

    void showEvent(QShowEvent *event) override;
    void setVisible(bool visible) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    DialogContext m_context; // a copy: the two references it holds outlive every dialog
    DialogTraits m_traits;
    QFrame *m_body;
    QLabel *m_picture;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};

// An editable list field that takes the text exactly as typed: no inline completion
// and no new list items from Enter. It starts empty.
QComboBox *makeListField(QWidget *parent, const QString &objectName, const QStringList &items);
// Sets a list field to the empty text.
void clearListField(QComboBox *combo);
// Moves a field's caret `count` characters to the right, stopping at the end.
void moveCaretRight(QLineEdit *field, int count);
// A text field with its object name.
QLineEdit *makeTextField(QWidget *parent, const QString &objectName);
// The small picture button at the right end of a file field.
QPushButton *makeBrowseButton(QWidget *parent,
                              const QString &objectName = QStringLiteral("BitBtn1"));

// A number field that takes digits and a leading minus only, arrows 0 to 100,
// starting at "0".
NumberField *makeDigitsField(QWidget *parent, const QString &editName, const QString &arrowsName);

// The name under which `folder` lists a file called `name`: the stored spelling when
// the listing holds it in other letter case, `name` itself when it is not listed.
QString listedFileName(const QString &folder, const QString &name);

} // namespace vellumo
