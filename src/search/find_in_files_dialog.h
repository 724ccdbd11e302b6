#pragma once

#include "search/file_search.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace vellumo {

class DocumentController;
class InsertionCore;
class Platform;

// Edit > Find in Files...: what to look for (with the find bar's options and
// history), in which folder, in which files, and whether in sub-folders.
class FindInFilesDialog : public QDialog {
    Q_OBJECT

public:
    explicit FindInFilesDialog(Platform &platform, QWidget *parent = nullptr);

    // Fills the fields before the dialog is shown: the folder to search (the file
    // browser's, else the page's) and the selected text when it is on one line.
    void prepare(const QString &folder, const QString &selectedText);
    FileSearchRequest request() const;
    // Keeps the search text in the find history; called when the search starts.
    void rememberText();

private:
    Platform &m_platform;
    QComboBox *m_text;
    QCheckBox *m_matchCase;
    QCheckBox *m_wholeWords;
    QCheckBox *m_regularExpression;
    QLineEdit *m_folder;
    QLineEdit *m_filePatterns;
    QCheckBox *m_subfolders;
};

// Shows a match found in the files: in the page already open it is selected at
// once; another page is opened through Open (with its question about unsaved
// changes) and the match selected there.
void showFileMatch(DocumentController &document, InsertionCore &core, const QString &path,
                   int start, int length);

} // namespace vellumo
