#include "dialogs/element_dialog.h"

#include "widgets/fixed_dialog.h"
#include "widgets/glyph_icon.h"

#include "dialogs/element_edit.h"
#include "editor/insertion_core.h"
#include "widgets/number_field.h"
#include "widgets/numeric_edit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace vellumo {

ElementDialog::ElementDialog(DialogContext &context, const DialogTraits &traits, QWidget *parent)
    : QDialog(parent)
    , m_context(context)
    , m_traits(traits)
    , m_body(new QFrame(this))
    , m_picture(new QLabel(this))
    , m_ok(new QPushButton(QStringLiteral("OK"), this))
    , m_cancel(new QPushButton(QStringLiteral("Cancel"), this)) {
    setUpFixedDialog(this, traits.objectName, traits.caption);

    m_ok->setObjectName(traits.okName);
    m_cancel->setObjectName(traits.cancelName);
    m_ok->setDefault(true);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    if (traits.cancelFirst) {
        buttons->addWidget(m_cancel);
        buttons->addWidget(m_ok);
    } else {
        buttons->addWidget(m_ok);
        buttons->addWidget(m_cancel);
    }
    // The picture, when a dialog has one, stands at the top left of the fields.
    m_picture->setObjectName(QStringLiteral("Picture"));
    m_picture->hide();
    auto *fields = new QHBoxLayout;
    fields->addWidget(m_picture, 0, Qt::AlignLeft | Qt::AlignTop);
    fields->addWidget(m_body, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(fields);
    layout->addLayout(buttons);
}

void ElementDialog::setPicture(const QPixmap &picture) {
    m_picture->setPixmap(picture);
    m_picture->setFixedSize(picture.size() / picture.devicePixelRatio());
    m_picture->show();
}

void ElementDialog::setBevelled() {
    m_body->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    if (QLayout *inside = m_body->layout())
        inside->setContentsMargins(8, 8, 8, 8);
}

MarkupStyle ElementDialog::markupStyle() const {
    // An element being edited keeps its own case: what the dialog writes into a tag
    // written in lower case is in lower case, whatever the case chosen for new markup.
    if (m_edited) {
        const QString &name = m_edited->tag.name;
        return MarkupStyle{name != name.toLower(), core().attributeQuote()};
    }
    return MarkupStyle{core().IsUpperTagCase(), core().attributeQuote()};
}

void ElementDialog::setKeyboardOrder(const QList<QWidget *> &fields) {
    QList<QWidget *> chain = fields;
    if (m_traits.cancelFirst)
        chain << m_cancel << m_ok;
    else
        chain << m_ok << m_cancel;
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain.at(i - 1), chain.at(i));
}

void ElementDialog::done(int result) {
    FormCloseQuery();
    QDialog::done(result);
}

int ElementDialog::editElement(const PageElement &element) {
    m_edited = element;
    m_filled = false;
    const int result = exec();
    m_edited.reset();
    m_filled = false;
    m_filledMarkup.clear();
    return result;
}

void ElementDialog::fillFromElement(const PageElement &element) {
    for (const AttributeField &binding : attributeFields()) {
        const TagAttribute *attribute =
            binding.attribute.isEmpty() ? nullptr : element.tag.attribute(binding.attribute);
        if (auto *box = qobject_cast<QCheckBox *>(binding.field)) {
            box->setChecked(attribute != nullptr);
            continue;
        }
        QString value;
        if (binding.attribute.isEmpty()) {
            if (!element.hasEndTag() || !isPlainElementText(element.inner))
                continue;
            value = element.inner;
        } else if (attribute != nullptr) {
            value = attribute->value;
        } else {
            // An attribute the element does not have leaves the field as the dialog set it.
            continue;
        }
        if (auto *line = qobject_cast<QLineEdit *>(binding.field))
            line->setText(value);
        else if (auto *combo = qobject_cast<QComboBox *>(binding.field))
            combo->setEditText(value);
        else if (auto *number = qobject_cast<NumberField *>(binding.field))
            number->setText(value);
    }
}

void ElementDialog::insertAndClose(const QString &snippet, int stepBack, bool focusEditor) {
    if (m_edited && !editsAttributes()) {
        // Markup the dialog writes whole is replaced whole, when anything changed.
        if (snippet != m_filledMarkup && m_edited->markup().startsWith(m_filledMarkup))
            core().ReplaceRange(m_edited->tag.start,
                                m_edited->tag.start + int(m_filledMarkup.size()), snippet);
        accept();
        return;
    }
    if (m_edited) {
        bool writesText = false;
        for (const AttributeField &binding : attributeFields())
            writesText = writesText || binding.attribute.isEmpty();
        core().ReplaceRanges(elementEdits(*m_edited, m_filledMarkup, snippet, writesText));
        accept();
        return;
    }
    core().InsertAtCaret(snippet);
    if (stepBack > 0)
        core().MoveCaretBack(stepBack);
    if (focusEditor)
        core().FocusEditor();
    accept();
}

void ElementDialog::reportError(const QString &text) {
    platform().showError(this, QStringLiteral("Error"), text);
    FormActivate();
}

bool ElementDialog::browse(QLineEdit *field, const FileChooserRequest &request,
                           QWidget *focusAfter) {
    FileChooserRequest asked = request;
    if (asked.startFolder.isEmpty())
        asked.startFolder = QDir::currentPath();
    const QString chosen = platform().chooseOpenFile(this, asked);
    if (chosen.isEmpty())
        return false;

    const QFileInfo info(chosen);
    const QString folder = info.absolutePath();
    // A chooser that accepts new names also lets a name in a missing folder through;
    // that folder cannot become the current one, so the field keeps its text.
    if (!QFileInfo(folder).isDir() || !QDir::setCurrent(folder)) {
        // Not a check of the dialog's own (those say "Error") but a failed file
        // operation: the program's standard error box.
        platform().showError(
            this, QStringLiteral("Vellumo"),
            QStringLiteral("Invalid file name - %1").arg(QDir::toNativeSeparators(chosen)));
        FormActivate();
        return false;
    }
    field->setText(listedFileName(folder, info.fileName()));
    if (focusAfter != nullptr)
        focusAfter->setFocus(Qt::OtherFocusReason);
    return true;
}

void ElementDialog::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    centreOnScreen(this, parentWidget());
    FormShow();
}

void ElementDialog::setVisible(bool visible) {
    const bool showing = visible && !isVisible();
    QDialog::setVisible(visible);
    // Activation comes once the dialog is up: showing it hands the focus to its
    // first field as if by Tab, and a line edit then selects all its text, which
    // would undo a caret placed by the activation.
    if (!showing)
        return;
    FormActivate();
    // An element being edited fills the fields the opening actions have just reset.
    if (m_edited && !m_filled) {
        m_filled = true;
        fillFromElement(*m_edited);
        m_filledMarkup = markup();
    }
}

void ElementDialog::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        if (m_traits.helpTopic > 0)
            platform().showHelp(m_traits.helpTopic);
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Cancel) && !m_traits.escapeCancels) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

QComboBox *makeListField(QWidget *parent, const QString &objectName, const QStringList &items) {
    auto *combo = new QComboBox(parent);
    combo->setObjectName(objectName);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    combo->addItems(items);
    clearListField(combo);
    return combo;
}

void clearListField(QComboBox *combo) {
    combo->setCurrentIndex(-1);
    combo->setEditText(QString());
}

void moveCaretRight(QLineEdit *field, int count) {
    field->setCursorPosition(
        std::min(field->cursorPosition() + count, static_cast<int>(field->text().size())));
}

QLineEdit *makeTextField(QWidget *parent, const QString &objectName) {
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    return edit;
}

QPushButton *makeBrowseButton(QWidget *parent, const QString &objectName) {
    auto *button = new QPushButton(parent);
    button->setObjectName(objectName);
    button->setIcon(styleIcon(parent, QStyle::SP_DirOpenIcon));
    button->setToolTip(QStringLiteral("Browse"));
    button->setAutoDefault(false);
    button->setFixedSize(25, 23);
    return button;
}

NumberField *makeDigitsField(QWidget *parent, const QString &editName, const QString &arrowsName) {
    auto *field = new NumberField(editName, arrowsName, 0, 100, parent, new NumericEdit);
    field->setText(QStringLiteral("0"));
    return field;
}

void fillLoop(const PageElement &element, NumberField *loop, QCheckBox *infinite) {
    const TagAttribute *count = element.tag.attribute(u"LOOP");
    if (count == nullptr)
        return;
    if (count->value.compare(u"INFINITE", Qt::CaseInsensitive) == 0)
        infinite->setChecked(true);
    else
        loop->setText(count->value);
}

QString listedFileName(const QString &folder, const QString &name) {
    const QStringList listed =
        QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    // Only a file that is there under another spelling takes the listed one: a new
    // name, or a different file on a case-sensitive disk, keeps the chosen spelling.
    if (listed.contains(name) || !QFileInfo::exists(QDir(folder).filePath(name)))
        return name;
    for (const QString &entry : listed)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    return name;
}

} // namespace vellumo
