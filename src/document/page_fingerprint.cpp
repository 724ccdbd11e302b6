#include "document/page_fingerprint.h"

#include <QFile>

#include <xxhash.h>

#include <memory>

namespace vellumo {

namespace {

QByteArray digest(XXH128_hash_t hash) {
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, hash);
    return QByteArray(reinterpret_cast<const char *>(canonical.digest), sizeof canonical.digest);
}

} // namespace

QByteArray hashOf(QByteArrayView bytes) {
    return digest(XXH3_128bits(bytes.data(), std::size_t(bytes.size())));
}

QByteArray fileHashOf(QFile &file) {
    std::unique_ptr<XXH3_state_t, decltype(&XXH3_freeState)> state(XXH3_createState(),
                                                                   &XXH3_freeState);
    if (!state || XXH3_128bits_reset(state.get()) != XXH_OK)
        return {};
    QByteArray slice(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 n = file.read(slice.data(), slice.size());
        if (n < 0)
            return {};
        if (n == 0)
            return digest(XXH3_128bits_digest(state.get()));
        XXH3_128bits_update(state.get(), slice.constData(), std::size_t(n));
    }
}

QByteArray textHash(const QString &text) {
    return hashOf(QByteArrayView(reinterpret_cast<const char *>(text.constData()),
                                 text.size() * qsizetype(sizeof(QChar))));
}

PageFingerprint fingerprintOf(QByteArrayView fileBytes, const DecodedPage &page) {
    // Exactly what recovery checks the file against: its bytes, and the text
    // they decode to.
    PageFingerprint fingerprint;
    fingerprint.taken = true;
    fingerprint.fileHash = hashOf(fileBytes);
    if (canEncode(page.text, page.format))
        fingerprint.textHash = textHash(page.text);
    return fingerprint;
}

} // namespace vellumo
