#include "text/utf8_store.h"

#include <bit>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace vellumo {

namespace {

#ifdef __SSE2__
// One bit per byte of the 16 at `p` that is a line feed, a carriage return or
// part of a multi-byte character: the bytes a scan has to look at.
unsigned interestingBytes(const unsigned char *p) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
    const __m128i breaks = _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\n')),
                                        _mm_cmpeq_epi8(v, _mm_set1_epi8('\r')));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(v, breaks)));
}
#endif

bool isBreakCharacter(char16_t c) {
    return c == 0x2029 || c == 0xFDD0 || c == 0xFDD1;
}

} // namespace

ScanSummary scanUtf8(Utf8Store &store, qint64 from, qint64 to) {
    ScanSummary summary;
    const auto *p = reinterpret_cast<const unsigned char *>(store.bytes.constData());
    // Units minus bytes at the current place: a byte is a unit until a multi-byte
    // character or a CR LF says otherwise.
    qint64 delta = store.units - from;
    const auto lineEnds = [&](qint64 end, int style) {
        store.breakEndBytes.push_back(end);
        store.breakEndUnits.push_back(end + delta);
        if (style < 0)
            return;
        ++summary.styleCounts[style];
        if (summary.firstStyle < 0)
            summary.firstStyle = style;
    };
    qint64 i = from;
    while (i < to) {
#ifdef __SSE2__
        if (to - i >= 16) {
            const unsigned mask = interestingBytes(p + i);
            if (mask == 0) {
                i += 16;
                continue;
            }
            i += std::countr_zero(mask);
        }
#endif
        const unsigned c = p[i];
        if (c < 0x80) {
            if (c == '\n') {
                lineEnds(i + 1, 0);
            } else if (c == '\r') {
                if (i + 1 < to && p[i + 1] == '\n') {
                    --delta;
                    ++i;
                    lineEnds(i + 1, 1);
                } else {
                    lineEnds(i + 1, 2);
                }
            }
            ++i;
            continue;
        }
        // The sequences Qt's strict decoder accepts: no overlong forms, no
        // surrogates, nothing past U+10FFFF.
        int length = 0;
        unsigned low = 0x80;
        unsigned high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            low = c == 0xE0 ? 0xA0 : low;
            high = c == 0xED ? 0x9F : high;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            low = c == 0xF0 ? 0x90 : low;
            high = c == 0xF4 ? 0x8F : high;
        }
        bool valid = length > 0 && to - i >= length && p[i + 1] >= low && p[i + 1] <= high;
        for (int k = 2; valid && k < length; ++k)
            valid = (p[i + k] & 0xC0) == 0x80;
        if (!valid) {
            summary.valid = false;
            return summary;
        }
        delta += (length == 4 ? 2 : 1) - length;
        if (length == 3 && isBreakCharacter(static_cast<char16_t>(
                               ((c & 0x0F) << 12) | ((p[i + 1] & 0x3F) << 6) | (p[i + 2] & 0x3F))))
            lineEnds(i + 3, -1);
        i += length;
    }
    summary.units = to + delta - store.units;
    store.units += summary.units;
    return summary;
}

StorePoint walkToUnit(const Utf8Store &store, StorePoint at, qint64 target) {
    const auto *p = reinterpret_cast<const unsigned char *>(store.bytes.constData());
    while (at.unit < target) {
        if (target - at.unit >= 8) {
            quint64 word = 0;
            std::memcpy(&word, p + at.byte, 8);
            if ((word & 0x8080808080808080ULL) == 0) {
                at.byte += 8;
                at.unit += 8;
                continue;
            }
        }
        const unsigned c = p[at.byte];
        if (c >= 0xF0) {
            if (target - at.unit < 2)
                break;
            at.byte += 4;
            at.unit += 2;
            continue;
        }
        at.byte += c < 0x80 ? 1 : c < 0xE0 ? 2 : 3;
        ++at.unit;
    }
    return at;
}

void decodeInto(const char *bytes, qint64 size, QChar *out, qint64 *at) {
    const auto *p = reinterpret_cast<const unsigned char *>(bytes);
    char16_t *o = reinterpret_cast<char16_t *>(out) + *at;
    qint64 i = 0;
    while (i < size) {
#ifdef __SSE2__
        if (size - i >= 16) {
            // Only carriage returns and multi-byte characters change on the way.
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
            const auto stops = static_cast<unsigned>(
                _mm_movemask_epi8(_mm_or_si128(v, _mm_cmpeq_epi8(v, _mm_set1_epi8('\r')))));
            if (stops == 0) {
                const __m128i zero = _mm_setzero_si128();
                _mm_storeu_si128(reinterpret_cast<__m128i *>(o), _mm_unpacklo_epi8(v, zero));
                _mm_storeu_si128(reinterpret_cast<__m128i *>(o + 8), _mm_unpackhi_epi8(v, zero));
                i += 16;
                o += 16;
                continue;
            }
            for (int plain = std::countr_zero(stops); plain > 0; --plain)
                *o++ = p[i++];
        }
#endif
        const unsigned c = p[i];
        if (c < 0x80) {
            if (c == '\r') {
                *o++ = u'\n';
                i += i + 1 < size && p[i + 1] == '\n' ? 2 : 1;
                continue;
            }
            *o++ = static_cast<char16_t>(c);
            ++i;
        } else if (c < 0xE0) {
            *o++ = static_cast<char16_t>(((c & 0x1F) << 6) | (p[i + 1] & 0x3F));
            i += 2;
        } else if (c < 0xF0) {
            const auto u = static_cast<char16_t>(((c & 0x0F) << 12) | ((p[i + 1] & 0x3F) << 6) |
                                                 (p[i + 2] & 0x3F));
            *o++ = isBreakCharacter(u) ? u'\n' : u;
            i += 3;
        } else {
            const char32_t code = ((c & 0x07) << 18) | ((p[i + 1] & 0x3F) << 12) |
                                  ((p[i + 2] & 0x3F) << 6) | (p[i + 3] & 0x3F);
            *o++ = QChar::highSurrogate(code);
            *o++ = QChar::lowSurrogate(code);
            i += 4;
        }
    }
    *at = o - reinterpret_cast<char16_t *>(out);
}

} // namespace vellumo
