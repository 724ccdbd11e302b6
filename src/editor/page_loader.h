#pragma once

#include "document/page_file.h"
#include "document/page_fingerprint.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QPlainTextEdit;
class QTextDocument;

namespace vellumo {

// A page file read and decoded, ready for buildPageDocument; its bytes are gone.
struct PageRead {
    QString reason;     // why it could not be read, in words; empty when it was
    QString binaryKind; // what the file looks like when it is plainly not a text page
    DecodedPage page;
    PageFingerprint fingerprint; // for the recovery journal
    bool asciiOnly = false;      // the text holds no character outside ASCII
};

// Whether `text` holds no character outside ASCII.
bool isAsciiOnly(QStringView text);

// Reads, checks and decodes the file at `path` (in `encoding` when one is given,
// else in the encoding the page is found to be in). It touches nothing but the
// file, so it may run on a worker thread while the window stays alive.
PageRead readPageFile(const QString &path, std::optional<TextEncoding> encoding = std::nullopt);

// readPageFile on a worker thread. Meanwhile `whileWaiting` runs on this thread
// every few milliseconds (to keep the window painting) and gives up the wait by
// returning false; the result is then nothing. The worker has always finished
// when this returns.
std::optional<PageRead> readPageFileAside(const QString &path,
                                          const std::function<bool()> &whileWaiting,
                                          std::optional<TextEncoding> encoding = std::nullopt);

// Puts a page's text into a document of its own, away from the editor, so that
// neither the editor's layout nor its undo history pays for every line while the
// page arrives. The text goes in slices; between two slices `betweenSlices` is
// told how much is done (0 to `total` characters) and may keep the window alive
// or stop the work by returning false.
struct PageFill {
    using Progress = std::function<bool(qsizetype done, qsizetype total)>;
    Progress betweenSlices;
    // Characters per slice: about 40 ms of work each on an ordinary machine.
    qsizetype sliceSize = qsizetype(1) << 20;
    // Works out the lexer's state at the end of every line on another thread while
    // the text goes in, for the colouring (attachLineStates).
    bool lineStates = false;
};

// A new document holding `text` exactly (blocks split at '\n'), shaped like
// `like` (font, margins, text options) and with a plain-text layout, ready for
// attachPageDocument. The text is used up while it goes in, so the page is never
// held twice in full. Returns nothing when betweenSlices stopped the work.
std::unique_ptr<QTextDocument> buildPageDocument(QString &&text, const QTextDocument &like,
                                                 const PageFill &fill = {});

// Shows `document` in `editor` in place of the page it held; the old page's
// document is deleted when it belonged to the editor. The new one is clean and
// undo starts from it.
void attachPageDocument(QPlainTextEdit *editor, std::unique_ptr<QTextDocument> document);

} // namespace vellumo
