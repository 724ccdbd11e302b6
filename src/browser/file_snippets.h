#pragma once

#include <QString>

namespace vellumo {

// The insert style chosen in the Select Insert Style dialog. `Unset` is the
// neutral marker between uses; it also stands for a dialog closed from its
// title bar, which inserts a link.
enum class FileInsertStyle { Unset, Link, Image, Sound, Text, No };

// A snippet and how far the caret steps back from its end afterwards.
struct FileSnippet {
    QString text;
    int caretBack = 0;
};

// The markup that refers to the file `name` (a bare name, relative to the page's
// own folder) in the given style. For FileInsertStyle::Text, `fileText` is the file's
// whole text, put between <PRE> and </PRE> on lines of its own. FileInsertStyle::No
// gives an empty snippet.
FileSnippet fileSnippet(FileInsertStyle style, const QString &name, const QString &fileText,
                        bool upper, const QString &quote);

// A link to one leaf of the link tree: <A HREF="address">text</A>.
QString treeLinkSnippet(const QString &address, const QString &linkText, bool upper,
                        const QString &quote);

// The largest file that is read as text for insertion; anything bigger is not a
// text page and would only freeze the editor.
inline constexpr qint64 LargestInsertedFile = 64LL * 1024 * 1024;

// Reads the whole text of `path` with the same decoding as opening a page, so no
// byte of an unusual encoding is corrupted. Returns an empty string on success,
// else the reason in words; `text` is then untouched.
QString readTextForInsertion(const QString &path, QString *text);

// The error box text for a file that could not be read for insertion.
QString unreadableFileMessage(const QString &path, const QString &reason);

} // namespace vellumo
