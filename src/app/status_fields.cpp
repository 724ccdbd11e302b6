#include "app/status_fields.h"

#include "document/page.h"
#include "document/page_file.h"
#include "editor/document_controller.h"
#include "editor/encoding_menu.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QStatusBar>
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

StatusFields::StatusFields(QStatusBar *bar, Page &page, QObject *parent)
    : QObject(parent)
    , m_page(page) {
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
    connect(&page, &Page::caretMoved, this, &StatusFields::showCaret);
    connect(&page, &Page::modificationChanged, this, &StatusFields::showName);
    connect(&page, &Page::changed, this, &StatusFields::noteChange);
    connect(&page, &Page::replaced, this, [this] { m_plainLine = {}; });
    m_breaksCheck = new QTimer(this);
    m_breaksCheck->setSingleShot(true);
    m_breaksCheck->setInterval(500);
    connect(m_breaksCheck, &QTimer::timeout, this, [this] {
        const PageFormat format = m_document != nullptr ? m_document->format : newPageFormat();
        LineBreakLabel->setText(
            lineBreakText(format, m_document != nullptr && m_document->linesKeepOtherBreaks()));
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
            m_page.focus();
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

QString StatusFields::caretText(const Page &page) {
    const int caret = page.caret();
    const int line = page.lineAt(caret);
    const int offset = caret - page.lineStart(line);
    int column = offset + 1;
    // Only the caret's own line is read, and only up to the caret.
    const QString text = page.text(page.lineStart(line), caret);
    for (int i = 1; i < text.size(); ++i)
        if (text.at(i).isLowSurrogate() && text.at(i - 1).isHighSurrogate())
            --column;
    return QStringLiteral("Ln %1, Col %2").arg(line + 1).arg(column);
}

QString StatusFields::lineBreakText(const PageFormat &format, bool linesKeepOtherBreaks) {
    if (linesKeepOtherBreaks)
        return MixedBreaks;
    if (format.lineBreaks == LineBreakStyle::CRLF)
        return QStringLiteral("CR LF");
    if (format.lineBreaks == LineBreakStyle::CR)
        return QStringLiteral("CR");
    return QStringLiteral("LF");
}

QString StatusFields::encodingText(const PageFormat &format) {
    QString name = displayName(format);
    if (format.encoding == TextEncoding::Utf8 && format.byteOrderMark)
        name += QStringLiteral(" BOM");
    return name;
}

void StatusFields::showCaret() {
    const int caret = m_page.caret();
    const int line = m_page.lineAt(caret);
    if (m_plainLine.number != line || m_plainLine.lineCount != m_page.lineCount()) {
        const QString text = m_page.lineText(line);
        if (std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isSurrogate(); })) {
            m_plainLine = {};
            CaretPosition->setText(caretText(m_page));
            return;
        }
        m_plainLine = {line, m_page.lineCount()};
    }
    CaretPosition->setText(
        QStringLiteral("Ln %1, Col %2").arg(line + 1).arg(caret - m_page.lineStart(line) + 1));
}

void StatusFields::noteChange(const PageChange &change) {
    // New lines take the page's usual break, so only a "Mixed" page can change its
    // field by an edit (the lines with the other breaks deleted): looked at again once
    // the typing pauses.
    if (LineBreakLabel->text() == MixedBreaks)
        m_breaksCheck->start();
    if (m_plainLine.number < change.firstLine || m_plainLine.number > change.lastLine)
        return;
    // Larger changes, and those that join or split lines, have the line read again.
    if (change.added > 64 || m_page.lineCount() != m_plainLine.lineCount) {
        m_plainLine = {};
        return;
    }
    for (int at = change.position; at < change.position + change.added; ++at)
        if (m_page.characterAt(at).isSurrogate()) {
            m_plainLine = {};
            return;
        }
}

void StatusFields::showPage() {
    const PageFormat format = m_document != nullptr ? m_document->format : newPageFormat();
    EncodingLabel->setText(encodingText(format));
    LineBreakLabel->setText(
        lineBreakText(format, m_document != nullptr && m_document->linesKeepOtherBreaks()));
    showCaret();
    showName();
}

void StatusFields::showName() {
    const QString path =
        m_document != nullptr ? m_document->CurrentFileName : QString(UntitledFileName);
    const bool untitled = path == UntitledFileName;
    const QString name = untitled ? UntitledFileName : QFileInfo(path).fileName();
    PageName->setText(m_page.isModified() ? name + u'*' : name);
    PageName->setToolTip(untitled ? QString() : QDir::toNativeSeparators(path));
}

} // namespace vellumo
