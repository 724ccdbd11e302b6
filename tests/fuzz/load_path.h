#pragma once

// The load path run on arbitrary bytes, shared by the deterministic random-input
// test and the libFuzzer target: decoding, line-break detection, putting the text
// into an editor, reading it back, and the tips-file reader. Returns an empty
// string when the bytes came back unchanged, else what went wrong.

#include "app/tips_file.h"
#include "document/page_file.h"
#include "editor/page_breaks.h"
#include "editor/page_text.h"

#include <QPlainTextEdit>
#include <QTextDocument>

namespace vellumo {

inline QString runLoadPath(QPlainTextEdit &editor, const QByteArray &bytes) {
    (void)binaryFileKind(bytes);
    const DecodedPage page = decodePage(bytes);
    if (encodePage(page.text, page.format, page.lineBreakKinds, page.originalLines) != bytes)
        return QStringLiteral("decoding and encoding changed the bytes");

    editor.setPlainText(page.text);
    applyLineBreakKinds(editor.document(), page.lineBreakKinds);
    const QString text = pageTextOf(*editor.document());
    if (encodePage(text, page.format, lineBreakKinds(editor.document()), page.originalLines) !=
        bytes)
        return QStringLiteral("the editor changed the page");

    const TipsFile tips = TipsFile::fromText(page.text);
    (void)tips.value(TipsSection, QStringLiteral("Tip1"), QString());
    return {};
}

} // namespace vellumo
