#include "browser/file_snippets.h"

#include "dialogs/tag_writer.h"
#include "document/page_file.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

namespace vellumo {

FileSnippet fileSnippet(FileInsertStyle style, const QString &name, const QString &fileText,
                        bool upper, const QString &quote) {
    const QString quotedName = quotedAttributeValue(name, quote);
    switch (style) {
    case FileInsertStyle::No:
        return {};
    case FileInsertStyle::Image:
        // The caret lands between the ALT quotes so the user can type the text.
        return {(upper ? QStringLiteral("<IMG SRC=") : QStringLiteral("<img src=")) + quotedName +
                    (upper ? QStringLiteral(" BORDER=0 ALT=") : QStringLiteral(" border=0 alt=")) +
                    quote + quote + QStringLiteral(">"),
                2};
    case FileInsertStyle::Sound:
        return {(upper ? QStringLiteral("<BGSOUND SRC=") : QStringLiteral("<bgsound src=")) +
                    quotedName +
                    (upper ? QStringLiteral(" LOOP=INFINITE>") : QStringLiteral(" loop=infinite>")),
                0};
    case FileInsertStyle::Text:
        return {(upper ? QStringLiteral("<PRE>\n") : QStringLiteral("<pre>\n")) + fileText +
                    (upper ? QStringLiteral("\n</PRE>") : QStringLiteral("\n</pre>")),
                0};
    case FileInsertStyle::Unset:
    case FileInsertStyle::Link:
        break;
    }
    // The caret lands between the tags so the user can type the link text.
    return {(upper ? QStringLiteral("<A HREF=") : QStringLiteral("<a href=")) + quotedName +
                (upper ? QStringLiteral("></A>") : QStringLiteral("></a>")),
            4};
}

QString treeLinkSnippet(const QString &address, const QString &linkText, bool upper,
                        const QString &quote) {
    return (upper ? QStringLiteral("<A HREF=") : QStringLiteral("<a href=")) +
           quotedAttributeValue(address, quote) + QLatin1Char('>') + linkText +
           (upper ? QStringLiteral("</A>") : QStringLiteral("</a>"));
}

QString readTextForInsertion(const QString &path, QString *text) {
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("The file does not exist.");
    if (info.isDir())
        return QStringLiteral("It is a folder, not a file.");
    if (info.size() > LargestInsertedFile)
        return QStringLiteral("The file is too large to be inserted as text (%1; at most %2).")
            .arg(QLocale::system().formattedDataSize(info.size()),
                 QLocale::system().formattedDataSize(LargestInsertedFile));
    QByteArray bytes;
    QString reason = readWholeFile(path, &bytes);
    if (!reason.isEmpty())
        return reason;
    // A file that grew between the check and the read is refused all the same.
    if (bytes.size() > LargestInsertedFile)
        return QStringLiteral("The file is too large to be inserted as text.");
    *text = decodePage(bytes).text;
    return {};
}

QString unreadableFileMessage(const QString &path, const QString &reason) {
    return QStringLiteral("Cannot read file %1.\n%2\nNothing was inserted.")
        .arg(QDir::toNativeSeparators(path), reason);
}

} // namespace vellumo
