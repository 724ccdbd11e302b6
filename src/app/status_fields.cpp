#include "app/status_fields.h"

#include "document/page_file.h"
#include "editor/document_controller.h"
#include "editor/encoding_menu.h"
#include "editor/page_breaks.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>

namespace vellumo {

namespace {

const QString MixedBreaks = QStringLiteral("Mixed");

QLabel *makeField(QStatusBar *bar, const char *name, const QString &toolTip) {
    auto *label = new QLabel(bar);
    label->setObjectName(QString::fromLatin1(name));
    label->setToolTip(toolTip);
    label->setContentsMargins(6, 0, 6, 0);
    bar->addPermanentWidget(label);
    return label;
}

} // namespace

StatusFields::StatusFields(QStatusBar *bar, QPlainTextEdit *editor, QObject *parent)
    : QObject(parent)
    , m_editor(editor) {
    CaretPosition = makeField(bar, "CaretPosition", QStringLiteral("Line and column of the caret"));
    EncodingLabel = makeField(bar, "EncodingLabel", QStringLiteral("The page's encoding"));
    LineBreakLabel = makeField(bar, "LineBreakLabel", QStringLiteral("The page's line breaks"));
    PageName = makeField(bar, "PageName", {});
    // Wide enough for a long page's position, so the fields do not jump as the caret moves;
    // and of a fixed size, so a new position repaints the field alone instead of laying out
    // the whole status bar again on every key.
    CaretPosition->setFixedSize(
        CaretPosition->fontMetrics().horizontalAdvance(QStringLiteral("Ln 999999, Col 9999")) + 12,
        CaretPosition->sizeHint().height());
    connect(editor, &QPlainTextEdit::cursorPositionChanged, this, &StatusFields::showCaret);
    connect(editor, &QPlainTextEdit::modificationChanged, this, &StatusFields::showName);
    m_breaksCheck = new QTimer(this);
    m_breaksCheck->setSingleShot(true);
    m_breaksCheck->setInterval(500);
    connect(m_breaksCheck, &QTimer::timeout, this, [this] {
        const PageFormat format = m_document != nullptr ? m_document->format : newPageFormat();
        LineBreakLabel->setText(lineBreakText(format, m_editor->document()));
    });
    showCaret();
    showPage();
}

void StatusFields::follow(DocumentController &document) {
    m_document = &document;
    connect(&document, &DocumentController::pageChanged, this, &StatusFields::showPage);
    makeMenus();
    showPage();
}

void StatusFields::makeMenus() {
    // Every encoding the program reads, for the next save or to read the file again in.
    m_encodingMenu = new QMenu(EncodingLabel);
    m_encodingMenu->setObjectName(QStringLiteral("EncodingMenu"));
    m_encodingMenu->addMenu(makeSaveEncodingMenu(*m_document, m_encodingMenu));
    QMenu *reopen = makeReopenWithEncodingMenu(*m_document, m_encodingMenu,
                                               QStringLiteral("&Reopen with encoding"));
    // The File menu has its own.
    reopen->setObjectName(QStringLiteral("EncodingFieldReopenMenu"));
    reopen->menuAction()->setObjectName({});
    m_encodingMenu->addMenu(reopen);
    m_lineBreakMenu = new QMenu(LineBreakLabel);
    m_lineBreakMenu->setObjectName(QStringLiteral("LineBreakMenu"));
    const std::pair<const char *, LineBreakStyle> styles[] = {
        {"Convert to &LF", LineBreakStyle::LF},
        {"Convert to C&R LF", LineBreakStyle::CRLF},
        {"Convert to &CR", LineBreakStyle::CR}};
    for (const auto &[text, style] : styles)
        connect(m_lineBreakMenu->addAction(QString::fromLatin1(text)), &QAction::triggered, this,
                [this, style = style] { m_document->setLineBreaks(style); });
    for (QLabel *label : {EncodingLabel, LineBreakLabel}) {
        label->setCursor(Qt::PointingHandCursor);
        label->installEventFilter(this);
        // Reached from the keyboard (F6, then Tab), never by a click, which leaves the
        // caret in the page; Space, Enter or Down opens the field's menu.
        label->setFocusPolicy(Qt::TabFocus);
        label->setStyleSheet(
            QStringLiteral("QLabel { border: 1px solid transparent; }"
                           "QLabel:focus { border: 1px solid palette(highlight); }"));
    }
    QWidget::setTabOrder(EncodingLabel, LineBreakLabel);
    EncodingLabel->setToolTip(QStringLiteral("The page's encoding: click to change it"));
    LineBreakLabel->setToolTip(QStringLiteral("The page's line breaks: click to convert them"));
}

bool StatusFields::eventFilter(QObject *watched, QEvent *event) {
    bool opens = false;
    if (event->type() == QEvent::MouseButtonRelease) {
        opens = static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton;
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Escape) {
            m_editor->setFocus(Qt::ShortcutFocusReason);
            return true;
        }
        opens = key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter ||
                key == Qt::Key_Down;
    }
    if (!opens)
        return QObject::eventFilter(watched, event);
    auto *label = static_cast<QLabel *>(watched);
    QMenu *menu = label == EncodingLabel ? m_encodingMenu : m_lineBreakMenu;
    // Opened above the field, since the status bar is at the window's foot.
    menu->popup(label->mapToGlobal(QPoint(0, -menu->sizeHint().height())));
    return true;
}

QString StatusFields::caretText(const QTextCursor &cursor) {
    const QTextBlock block = cursor.block();
    const int offset = cursor.positionInBlock();
    int column = offset + 1;
    // Only the caret's own line is read, and only up to the caret.
    const QString text = block.text();
    for (int i = 0; i < offset && i < text.size(); ++i)
        if (text.at(i).isLowSurrogate() && i > 0 && text.at(i - 1).isHighSurrogate())
            --column;
    return QStringLiteral("Ln %1, Col %2").arg(block.blockNumber() + 1).arg(column);
}

QString StatusFields::lineBreakText(const PageFormat &format, const QTextDocument *document) {
    char usual = BreakLF;
    QString name = QStringLiteral("LF");
    if (format.lineBreaks == LineBreakStyle::CRLF) {
        usual = BreakCRLF;
        name = QStringLiteral("CR LF");
    } else if (format.lineBreaks == LineBreakStyle::CR) {
        usual = BreakCR;
        name = QStringLiteral("CR");
    }
    // A page whose lines all keep the usual break leaves its blocks untagged.
    for (QTextBlock block = document->begin(); block.isValid() && block.next().isValid();
         block = block.next()) {
        const char kind = lineBreakKindOf(block);
        if ((kind == BreakLF || kind == BreakCRLF || kind == BreakCR) && kind != usual)
            return MixedBreaks;
    }
    return name;
}

QString StatusFields::encodingText(const PageFormat &format) {
    QString name = displayName(format);
    if (format.encoding == TextEncoding::Utf8 && format.byteOrderMark)
        name += QStringLiteral(" BOM");
    return name;
}

void StatusFields::showCaret() {
    const QTextCursor cursor = m_editor->textCursor();
    QTextDocument *document = m_editor->document();
    if (m_watched != document) {
        // The page's document is replaced when another page is opened.
        if (m_watched != nullptr)
            disconnect(m_watched, &QTextDocument::contentsChange, this, &StatusFields::noteChange);
        m_watched = document;
        connect(document, &QTextDocument::contentsChange, this, &StatusFields::noteChange);
    }
    const QTextBlock block = cursor.block();
    const int number = block.blockNumber();
    const bool known = m_plainLine.document == document && m_plainLine.number == number &&
                       m_plainLine.revision == block.revision() &&
                       m_plainLine.blockCount == document->blockCount();
    if (!known) {
        const QString text = block.text();
        if (std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isSurrogate(); })) {
            m_plainLine = {};
            CaretPosition->setText(caretText(cursor));
            return;
        }
        m_plainLine = {document, number, block.revision(), document->blockCount()};
    }
    CaretPosition->setText(
        QStringLiteral("Ln %1, Col %2").arg(number + 1).arg(cursor.positionInBlock() + 1));
}

void StatusFields::noteChange(int position, int removed, int added) {
    Q_UNUSED(removed);
    // New lines take the page's usual break, so only a "Mixed" page can change its
    // field by an edit (the lines with the other breaks deleted): looked at again once
    // the typing pauses.
    if (LineBreakLabel->text() == MixedBreaks)
        m_breaksCheck->start();
    QTextDocument *document = m_plainLine.document;
    // Larger changes, and those that join or split lines, have the line read again.
    if (document == nullptr || added > 64 || document->blockCount() != m_plainLine.blockCount)
        return;
    const QTextBlock block = document->findBlock(position);
    if (block.blockNumber() != m_plainLine.number)
        return;
    for (int at = position; at < position + added; ++at)
        if (document->characterAt(at).isSurrogate())
            return;
    m_plainLine.revision = block.revision();
}

void StatusFields::showPage() {
    const PageFormat format = m_document != nullptr ? m_document->format : newPageFormat();
    EncodingLabel->setText(encodingText(format));
    LineBreakLabel->setText(lineBreakText(format, m_editor->document()));
    showCaret();
    showName();
}

void StatusFields::showName() {
    const QString path =
        m_document != nullptr ? m_document->CurrentFileName : QString(UntitledFileName);
    const bool untitled = path == UntitledFileName;
    const QString name = untitled ? UntitledFileName : QFileInfo(path).fileName();
    PageName->setText(m_editor->document()->isModified() ? name + u'*' : name);
    PageName->setToolTip(untitled ? QString() : QDir::toNativeSeparators(path));
}

} // namespace vellumo
