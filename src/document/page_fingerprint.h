#pragma once

#include "document/page_file.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QFile;

namespace vellumo {

// What the journal keeps of a page read from its file: the fingerprint of the
// file's bytes and, when the file can give the text back, of the text they
// decode to. Taken where the bytes and the decoded text are at hand, so a big
// page is neither read a second time nor copied for it.
struct PageFingerprint {
    QByteArray fileHash;
    QByteArray textHash; // empty when the file cannot give this text back
    bool taken = false;  // false: the journal takes it from the document itself
};

// The fingerprint of a page decoded from `fileBytes`. Safe to call on any thread.
PageFingerprint fingerprintOf(QByteArrayView fileBytes, const DecodedPage &page);

// Pages are identified by a 128-bit XXH3 of their bytes: it tells a changed file
// from the one a journal started from as surely as a cryptographic hash would
// (nobody forges their own pages), at a few milliseconds for a 50 MB page
// where BLAKE2b took a third of a second.
QByteArray hashOf(QByteArrayView bytes);
// The hash of the rest of an open file, read in slices; empty when it cannot be read.
QByteArray fileHashOf(QFile &file);
// The hash of a page's text (its UTF-16 code units).
QByteArray textHash(const QString &text);

} // namespace vellumo
