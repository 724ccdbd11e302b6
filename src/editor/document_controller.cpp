#include "editor/document_controller.h"

#include "editor/insertion_core.h"
#include "editor/page_template.h"
#include "editor/title_dialog.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTextDocument>

namespace vellumo {

namespace {

const QString QuestionCaption = QStringLiteral("Confirm");
const QString ErrorCaption = QStringLiteral("Vellumo");

} // namespace

DocumentController::DocumentController(InsertionCore &core, Platform &platform,
                                       TForm2 &titleDialog, QWidget *window)
    : QObject(window), m_core(core), m_platform(platform), m_titleDialog(titleDialog),
      m_window(window)
{
}

bool DocumentController::isModified() const { return m_core.editor()->document()->isModified(); }

void DocumentController::markClean()
{
    m_core.editor()->document()->setModified(false);
    if (m_saveButton != nullptr)
        m_saveButton->setEnabled(false);
}

QString DocumentController::pageText() const
{
    // toPlainText() would turn non-breaking spaces into plain ones; the raw text
    // keeps them, with blocks separated by paragraph separators.
    QString text = m_core.editor()->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

void DocumentController::New1Click()
{
    const bool discard =
        !isModified() || m_platform.ask(m_window, QuestionCaption,
                                        QStringLiteral("Are you sure you want to discard the changes?"),
                                        QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    if (discard)
        NewPage();
    TitleCancelled = QStringLiteral("8");
}

void DocumentController::NewPage()
{
    if (m_titleDialog.exec() == TForm2::CancelledByButton)
        TitleCancelled = QStringLiteral("4");
    const bool upper = m_core.IsUpperTagCase();
    const QString page = TitleCancelled == QLatin1String("4")
                             ? pageTemplate(upper)
                             : pageTemplate(upper, m_titleDialog.title());
    CurrentFileName = UntitledFileName;
    format = newPageFormat();
    m_core.editor()->setPlainText(page);
    markClean();
    TitleCancelled = QStringLiteral("8");
    m_titleDialog.clearTitle();
}

FileChooserRequest DocumentController::pageChooser(const QString &lastChosen) const
{
    FileChooserRequest request;
    request.filters = {QStringLiteral("HTML Files (*.htm *.html)"),
                       QStringLiteral("All Files (*)")};
    request.defaultSuffix = QStringLiteral("htm");
    request.startFolder = lastChosen;
    return request;
}

void DocumentController::Open1Click()
{
    // Unsaved work is never replaced without a question.
    if (isModified() &&
        m_platform.ask(m_window, QuestionCaption,
                       QStringLiteral("Are you sure you want to discard the changes?"),
                       QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    const QString path = m_platform.chooseOpenFile(m_window, pageChooser(m_lastOpened));
    if (path.isEmpty())
        return;
    m_lastOpened = path;
    openFile(path);
}

bool DocumentController::openFile(const QString &path)
{
    QByteArray bytes;
    const QString reason = readWholeFile(path, &bytes);
    if (!reason.isEmpty()) {
        m_platform.showError(m_window, ErrorCaption,
                             QStringLiteral("Cannot open file %1.\n%2")
                                 .arg(QDir::toNativeSeparators(path), reason));
        return false;
    }
    DecodedPage page = decodePage(bytes);
    bytes.clear();
    m_core.editor()->setPlainText(page.text);
    format = page.format;
    CurrentFileName = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    markClean();
    return true;
}

bool DocumentController::writeTo(const QString &path)
{
    const QString reason = writeFileAtomically(path, encodePage(pageText(), format));
    if (reason.isEmpty())
        return true;
    m_platform.showError(m_window, ErrorCaption,
                         QStringLiteral("Cannot save file %1.\n%2\nThe file on disk was not changed.")
                             .arg(QDir::toNativeSeparators(path), reason));
    return false;
}

bool DocumentController::Save1Click()
{
    if (CurrentFileName == UntitledFileName)
        return Saveas1Click();
    if (!writeTo(CurrentFileName))
        return false;
    markClean();
    return true;
}

bool DocumentController::Saveas1Click()
{
    FileChooserRequest request = pageChooser(m_lastSaved);
    request.confirmOverwrite = true;
    const QString path = m_platform.chooseSaveFile(m_window, request);
    if (path.isEmpty())
        return false;
    m_lastSaved = path;
    if (!writeTo(path))
        return false;
    CurrentFileName = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    markClean();
    return true;
}

bool DocumentController::FormCloseQuery()
{
    if (!isModified())
        return true;
    switch (m_platform.ask(m_window, QuestionCaption,
                           QStringLiteral("Do you want to save the changes?"),
                           QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::No:
        return true;
    case QMessageBox::Yes:
        // The window closes once the page is safely saved, and stays open otherwise.
        return Save1Click();
    default:
        return false;
    }
}

} // namespace vellumo
