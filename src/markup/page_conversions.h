#pragma once

#include "document/page_file.h"
#include "document/text_codec.h"
#include "editor/insertion_core.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

namespace vellumo {

class LongCommand;

// The commands that rewrite the markup of a whole page (or of the selection).
enum class PageConversion {
    TagsToUpper,          // tag and attribute names
    TagsToLower,          // likewise
    CharactersToEntities, // characters of text and attribute values to references
    EntitiesToCharacters, // references of text and attribute values to their characters
};

// Which characters Characters to Entities writes as references.
enum class EntityScope {
    Unencodable, // only those the page's encoding cannot hold
    AllNonAscii, // every character outside ASCII
};

struct ConversionOptions {
    // The stretch of the page to change, [from, to); `to` < 0 means the page's end. The
    // page is read from its start all the same, so a script or comment above the
    // stretch is known as one.
    int from = 0;
    int to = -1;
    // Where the caret is, to be followed through the edits; -1 for nowhere.
    int caret = -1;
    EntityScope scope = EntityScope::Unencodable;
    // Whether the page's encoding holds a code point; empty: it holds every one.
    std::function<bool(char32_t)> canHold;
};

struct ConversionResult {
    // In ascending order, none overlapping, each within one line of the page.
    QList<RangeEdit> edits;
    int changed = 0; // tags (case), characters or references changed
    int kept = 0;    // references kept because the encoding cannot hold their characters
    int caret = -1;  // where the caret of the options is after the edits
};

// What `conversion` changes in `page` (line breaks as '\n'). Driven by the HTML lexer's
// tokens: the case commands touch only tag names, attribute names and the words of a
// <!DOCTYPE> outside its quoted identifiers; the reference commands only text and
// attribute values, never comments, scripts, styles or the contents of <xmp>,
// <iframe>, <noembed>, <noframes> and <plaintext>, where references are not read.
// `&lt;`, `&gt;`, `&amp;`, `&quot;` and every other reference to '<', '>', '&', '"' or
// '\'' stay, and so do references to invisible characters (controls, spaces, format
// marks), which would vanish from sight as characters.
ConversionResult convertPage(QStringView page, PageConversion conversion,
                             const ConversionOptions &options);

// `page` with `edits` applied.
QString applyEdits(QStringView page, const QList<RangeEdit> &edits);

// The status-bar line for a result: "12 tags changed to upper case".
QString conversionReport(PageConversion conversion, const ConversionResult &result,
                         EntityScope scope, const QString &encodingName);

// Runs `conversion` on the editor's page, or on its selection when there is one, as
// one undo step, in the page's `format`. The selection stays over the text it covered.
// A page that declares no encoding and has no byte-order mark is read by a browser in
// windows-1252: when Entities to Characters writes other characters into it in
// another encoding, the same step declares the page's encoding. Returns the status-bar
// line. With a `command`, the conversion is worked out on a worker thread and made
// in slices, with progress and Cancel once it takes long; cancelled, it leaves the
// page as it was and says so.
QString runPageConversion(InsertionCore &core, PageConversion conversion, const PageFormat &format,
                          EntityScope scope = EntityScope::Unencodable,
                          LongCommand *command = nullptr);

} // namespace vellumo
