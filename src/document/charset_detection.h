#pragma once

#include "document/page_edit.h"
#include "document/text_codec.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>

#include <optional>

namespace vellumo {

// Where a page names its encoding: the label as written and where it sits.
struct CharsetDeclaration {
    QByteArray label;
    qsizetype from = -1; // offset of the label in what was searched; -1: none found
    qsizetype length = 0;

    bool found() const { return from >= 0; }
};

// The declaration a browser would find in the first 1024 bytes of a page: a
// <meta charset>, a <meta http-equiv="Content-Type" content="...; charset=...">
// (any case, any quoting, comments and other tags skipped), or an XML
// declaration's encoding at the very start. Only declarations whose label names
// an encoding count; the first one wins.
CharsetDeclaration findCharsetDeclaration(QByteArrayView bytes);
// The same search in a page's text, for rewriting the label in the editor.
CharsetDeclaration findCharsetDeclaration(QStringView text);

// The edit that gives `page`, which declares no encoding, a `<meta charset>` naming
// `encodingName`: right after its <head> start tag, else after its <html> start tag, else
// after its <!DOCTYPE>, else at its start; the element's name in the case of the
// nearest tag. Nothing when the page declares an encoding already.
std::optional<RangeEdit> charsetDeclarationEdit(QStringView page, const QString &encodingName);

// UTF-16 without a byte-order mark, recognised as browsers' detectors do: markup
// in UTF-16 has a zero byte in every other position. A file of zero bytes is not.
std::optional<TextEncoding> utf16ByPattern(QByteArrayView bytes);

// libuchardet's guess for bytes that are neither UTF-8 nor UTF-16, from a sample
// of their start, in every language it knows; nothing when it has no answer a
// browser would understand.
std::optional<TextEncoding> detectEncoding(QByteArrayView bytes);

} // namespace vellumo
