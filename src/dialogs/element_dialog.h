#pragma once

#include "dialogs/dialog_context.h"
#include "dialogs/tag_writer.h"
#include "editor/tag_at_caret.h"
#include "platform/platform.h"

#include <QDialog>
#include <QFrame>

#include <optional>

class QBoxLayout;
class QCheckBox;
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

// One field of a dialog and the attribute of an element it stands for, so that the
// dialog can re-open markup it wrote (or could have written).
struct AttributeField {
    QString attribute; // empty: the element's text
    // A text field, a list field or a number field takes the attribute's value; a
    // check box is checked when the element has the attribute.
    QWidget *field = nullptr;
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

    // Whether the dialog can re-open any element of its kind, attribute by attribute.
    bool editsAttributes() const { return !attributeFields().isEmpty(); }
    // Whether a dialog that writes a block of markup only whole (a script) finds
    // exactly what it writes for some values at `element`.
    virtual bool recognisesMarkup(const PageElement &element) const {
        Q_UNUSED(element);
        return false;
    }
    // Opens the dialog on `element` of the page, its fields filled from the element
    // once the dialog's own opening actions have run. OK then writes what the user
    // changed into that element as one undo step (see elementEdits) instead of
    // inserting at the caret, and Cancel leaves the page as it was. Returns the
    // dialog's result.
    int editElement(const PageElement &element);

protected:
    InsertionCore &core() const { return m_context.core; }
    Platform &platform() const { return m_context.platform; }
    // The tag case and attribute quote as they stand now; while an element is edited,
    // the case of that element's name.
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

    // The fields filled from an element's attributes, in the order they are filled.
    virtual QList<AttributeField> attributeFields() const { return {}; }
    // Fills the fields from `element`; by default as attributeFields() says.
    virtual void fillFromElement(const PageElement &element);
    // The markup OK writes for the fields as they stand.
    virtual QString markup() const { return {}; }

    // Puts the snippet at the caret (replacing a selection), optionally steps the
    // caret back over a closing tag and focuses the editor, then closes with OK.
    // While the dialog edits an element, the snippet goes into that element instead.
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
    // The element being edited, and the dialog's markup for it as it was filled.
    std::optional<PageElement> m_edited;
    bool m_filled = false;
    QString m_filledMarkup;
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

// Fills a loop count and its Infinite box from the element's LOOP attribute: a count
// unchecks the box as typing it would. Without the attribute both stay as they are.
void fillLoop(const PageElement &element, NumberField *loop, QCheckBox *infinite);

// The name under which `folder` lists a file called `name`: the stored spelling when
// the listing holds it in other letter case, `name` itself when it is not listed.
QString listedFileName(const QString &folder, const QString &name);

} // namespace vellumo
