#include "markup/page_conversions.h"

#include "document/charset_detection.h"
#include "document/page.h"
#include "html/elements.h"
#include "html/html_lexer.h"
#include "html/named_references.h"
#include "widgets/long_command.h"

#include <QHash>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

namespace vellumo {

namespace {

using Kind = HtmlTokenKind;

bool isCaseConversion(PageConversion conversion) {
    return conversion == PageConversion::TagsToUpper || conversion == PageConversion::TagsToLower;
}

// Gathers a conversion's edits, joining those on one line into one edit, so that a
// page with a change in every tag costs the editor one replacement per line rather
// than one per tag; a line break is never part of an edit.
class EditCollector {
public:
    EditCollector(QStringView page, int caret)
        : m_page(page)
        , m_caret(caret)
        , m_movedCaret(caret) {}

    void replace(qsizetype start, qsizetype length, QStringView text) {
        const qsizetype end = start + length;
        if (m_open &&
            m_page.sliced(m_group.start + m_group.length, start - m_group.start - m_group.length)
                .contains(u'\n')) {
            flush();
        }
        if (!m_open) {
            m_group = RangeEdit{int(start), 0, QString()};
            m_open = true;
        }
        const qsizetype groupEnd = m_group.start + m_group.length;
        m_group.text.append(m_page.sliced(groupEnd, start - groupEnd));
        m_group.text.append(text);
        m_group.length = int(end - m_group.start);
        // The caret keeps its place in a stretch that keeps its length (a name changing
        // case); from inside one that grows or shrinks it goes to its end.
        const qsizetype grown = text.size() - length;
        if (m_caret >= end)
            m_movedCaret += int(grown);
        else if (m_caret > start && grown != 0)
            m_movedCaret = int(start + text.size() + (m_movedCaret - m_caret));
    }

    QList<RangeEdit> take(int *movedCaret) {
        flush();
        if (movedCaret != nullptr)
            *movedCaret = m_movedCaret;
        return std::move(m_edits);
    }

private:
    void flush() {
        if (m_open)
            m_edits.append(std::move(m_group));
        m_open = false;
    }

    QStringView m_page;
    int m_caret;
    int m_movedCaret;
    QList<RangeEdit> m_edits;
    RangeEdit m_group;
    bool m_open = false;
};

char16_t convertedCase(char16_t c, bool upper) {
    if (upper && c >= u'a' && c <= u'z')
        return char16_t(c - 32);
    if (!upper && c >= u'A' && c <= u'Z')
        return char16_t(c + 32);
    return c;
}

// The elements whose contents browsers show as written, references included
// (a script's or a style sheet's contents are never text to begin with).
bool holdsTextOnly(QStringView name) {
    const HtmlLexState::Raw raw = rawTextOf(name);
    return raw != HtmlLexState::Raw::None && !rawTextHoldsReferences(raw);
}

// The characters of one reference ("&eacute;", "&#233;", "&#xE9;"), or nothing for a
// name HTML does not know or a number that is no character.
std::optional<QString> referenceCharacters(QStringView reference) {
    QString characters = charactersOfReference(reference.sliced(1, reference.size() - 2));
    if (characters.isEmpty())
        return std::nullopt;
    return characters;
}

// Characters that, written as themselves, would change the markup or vanish from sight.
bool mustStayReference(QStringView characters) {
    for (const char32_t c : characters.toUcs4()) {
        switch (QChar::category(c)) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Other_NotAssigned:
        case QChar::Separator_Space:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            return true;
        default:
            break;
        }
        if (c == U'<' || c == U'>' || c == U'&' || c == U'"' || c == U'\'')
            return true;
    }
    return false;
}

class Converter {
public:
    Converter(QStringView page, PageConversion conversion, const ConversionOptions &options)
        : m_page(page)
        , m_conversion(conversion)
        , m_options(options)
        , m_from(std::clamp<qsizetype>(options.from, 0, page.size()))
        , m_to(options.to < 0 ? page.size()
                              : std::clamp<qsizetype>(options.to, m_from, page.size()))
        , m_edits(page, options.caret) {}

    ConversionResult run() {
        QList<HtmlTokenSpan> spans;
        lexHtmlText(m_page, HtmlLexState{}, &spans);
        for (const HtmlTokenSpan &span : spans) {
            if (span.start >= m_to)
                break;
            token(span);
        }
        m_result.edits = m_edits.take(&m_result.caret);
        return std::move(m_result);
    }

private:
    void token(const HtmlTokenSpan &span) {
        if (span.kind == Kind::TagName) {
            ++m_tag;
            const bool startTag = span.start > 0 && m_page[span.start - 1] == u'<';
            m_textOnly = startTag && holdsTextOnly(m_page.sliced(span.start, span.length));
        }
        if (span.start + span.length <= m_from)
            return;
        switch (m_conversion) {
        case PageConversion::TagsToUpper:
        case PageConversion::TagsToLower:
            if (span.kind == Kind::TagName || span.kind == Kind::AttributeName) {
                // A tag counts once, however many of its names changed.
                if (changeCase(span, false) && m_countedTag != m_tag) {
                    ++m_result.changed;
                    m_countedTag = m_tag;
                }
            } else if (span.kind == Kind::Doctype && changeCase(span, true)) {
                ++m_result.changed;
            }
            break;
        case PageConversion::CharactersToEntities:
            if ((span.kind == Kind::Text && !m_textOnly) || span.kind == Kind::AttributeValue)
                charactersToReferences(span);
            break;
        case PageConversion::EntitiesToCharacters:
            if (span.kind == Kind::CharacterReference)
                referencesToCharacters(span);
            break;
        }
    }

    // The names of a tag, or the words of a doctype outside its quoted identifiers.
    // Returns whether anything changed.
    bool changeCase(const HtmlTokenSpan &span, bool doctype) {
        const bool upper = m_conversion == PageConversion::TagsToUpper;
        const qsizetype from = std::max<qsizetype>(span.start, m_from);
        const qsizetype to = std::min<qsizetype>(span.start + span.length, m_to);
        QString converted;
        qsizetype first = -1;
        qsizetype last = -1;
        bool changed = false;
        // An edit never holds a line break (a doctype may run over several lines).
        const auto flush = [&] {
            if (first >= 0)
                m_edits.replace(first, last - first + 1, converted);
            changed = changed || first >= 0;
            first = -1;
            converted.clear();
        };
        char16_t quote = 0;
        for (qsizetype i = doctype ? span.start : from; i < to; ++i) {
            const char16_t c = m_page[i].unicode();
            if (c == u'\n')
                flush();
            if (doctype) {
                // A '>' ends a doctype even inside its quotes, as browsers read it.
                if (quote != 0) {
                    quote = c == quote || c == u'>' ? 0 : quote;
                    continue;
                }
                if (c == u'"' || c == u'\'') {
                    quote = c;
                    continue;
                }
            }
            const char16_t d = convertedCase(c, upper);
            if (d == c || i < from)
                continue;
            if (first >= 0)
                converted.append(m_page.sliced(last + 1, i - last - 1));
            else
                first = i;
            converted.append(QChar(d));
            last = i;
        }
        flush();
        return changed;
    }

    bool canHold(char32_t c) {
        if (!m_options.canHold)
            return true;
        // Asked once per code point: a page uses few, and an encoder is dear.
        if (c < 0x10000) {
            if (m_heldBmp.empty())
                m_heldBmp.resize(0x10000);
            std::int8_t &held = m_heldBmp[c];
            if (held == 0)
                held = m_options.canHold(c) ? 1 : -1;
            return held > 0;
        }
        const auto known = m_heldAstral.constFind(c);
        if (known != m_heldAstral.cend())
            return known.value();
        const bool held = m_options.canHold(c);
        m_heldAstral.insert(c, held);
        return held;
    }

    // "&eacute;", or "&#9731;" for a character without a name, made once per code point.
    const QString &referenceFor(char32_t c) {
        QString *slot = nullptr;
        if (c < 0x10000) {
            if (m_referencesBmp.empty())
                m_referencesBmp.resize(0x10000);
            slot = &m_referencesBmp[c];
        } else {
            slot = &m_referencesAstral[c];
        }
        if (slot->isEmpty()) {
            const QString name = referenceNameOf(c);
            *slot = name.isEmpty() ? QStringLiteral("&#%1;").arg(uint(c))
                                   : QLatin1Char('&') + name + QLatin1Char(';');
        }
        return *slot;
    }

    void charactersToReferences(const HtmlTokenSpan &span) {
        const qsizetype from = std::max<qsizetype>(span.start, m_from);
        const qsizetype to = std::min<qsizetype>(span.start + span.length, m_to);
        const bool all = m_options.scope == EntityScope::AllNonAscii;
        // Neighbouring characters (a word of Greek) go in as one edit.
        qsizetype runStart = -1;
        qsizetype runEnd = -1;
        const auto flush = [&] {
            if (runStart >= 0)
                m_edits.replace(runStart, runEnd - runStart, m_run);
            runStart = -1;
            m_run.resize(0);
        };
        for (qsizetype i = from; i < to; ++i) {
            const char16_t unit = m_page[i].unicode();
            if (unit < 0x80)
                continue;
            char32_t c = unit;
            qsizetype length = 1;
            if (QChar::isHighSurrogate(unit) && i + 1 < to && m_page[i + 1].isLowSurrogate()) {
                c = QChar::surrogateToUcs4(unit, m_page[i + 1].unicode());
                length = 2;
            } else if (QChar::isSurrogate(unit) || unit <= 0x9F) {
                // A lone surrogate is no character; 128-159 are the bytes a code page
                // leaves undefined, which a reference would turn into other characters.
                continue;
            }
            if (all || !canHold(c)) {
                if (runStart >= 0 && runEnd != i)
                    flush();
                if (runStart < 0)
                    runStart = i;
                m_run.append(referenceFor(c));
                runEnd = i + length;
                ++m_result.changed;
            }
            i += length - 1;
        }
        flush();
    }

    void referencesToCharacters(const HtmlTokenSpan &span) {
        // Neighbouring references are one token: each ends at its ';'.
        qsizetype start = span.start;
        const qsizetype end = span.start + span.length;
        while (start < end) {
            const qsizetype stop = m_page.indexOf(u';', start) + 1;
            if (stop <= start + 2 || stop > end || m_page[start] != u'&')
                return; // not the lexer's reference after all: leave the rest as it is
            const QStringView reference = m_page.sliced(start, stop - start);
            if (start >= m_from && stop <= m_to)
                referenceToCharacters(start, reference);
            start = stop;
        }
    }

    void referenceToCharacters(qsizetype start, QStringView reference) {
        const std::optional<QString> characters = referenceCharacters(reference);
        if (!characters || mustStayReference(*characters))
            return;
        for (const char32_t c : characters->toUcs4()) {
            if (!canHold(c)) {
                ++m_result.kept;
                return;
            }
        }
        m_edits.replace(start, reference.size(), *characters);
        ++m_result.changed;
    }

    QStringView m_page;
    PageConversion m_conversion;
    const ConversionOptions &m_options;
    qsizetype m_from;
    qsizetype m_to;
    EditCollector m_edits;
    ConversionResult m_result;
    int m_tag = 0;        // tags seen so far
    int m_countedTag = 0; // the last tag counted as changed
    bool m_textOnly = false;
    std::vector<std::int8_t> m_heldBmp; // 1: held, -1: not, 0: not asked yet
    QHash<char32_t, bool> m_heldAstral;
    std::vector<QString> m_referencesBmp;
    QHash<char32_t, QString> m_referencesAstral;
    QString m_run;
};

QString counted(int n, const char *one, const char *many) {
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

std::function<bool(char32_t)> holdTest(TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8 || !isAsciiCompatible(encoding))
        return {};
    return [encoding](char32_t c) { return !firstUnencodable(QString::fromUcs4(&c, 1), encoding); };
}

} // namespace

ConversionResult convertPage(QStringView page, PageConversion conversion,
                             const ConversionOptions &options) {
    return Converter(page, conversion, options).run();
}

QString applyEdits(QStringView page, const QList<RangeEdit> &edits) {
    QString result;
    result.reserve(page.size());
    qsizetype at = 0;
    for (const RangeEdit &edit : edits) {
        result.append(page.sliced(at, edit.start - at));
        result.append(edit.text);
        at = edit.start + edit.length;
    }
    result.append(page.sliced(at));
    return result;
}

QString conversionReport(PageConversion conversion, const ConversionResult &result,
                         EntityScope scope, const QString &encodingName) {
    switch (conversion) {
    case PageConversion::TagsToUpper:
        return counted(result.changed, "tag", "tags") + QStringLiteral(" changed to upper case");
    case PageConversion::TagsToLower:
        return counted(result.changed, "tag", "tags") + QStringLiteral(" changed to lower case");
    case PageConversion::CharactersToEntities:
        if (result.changed == 0 && scope == EntityScope::Unencodable)
            return QStringLiteral("No characters changed: %1 holds every character of the page")
                .arg(encodingName);
        return counted(result.changed, "character", "characters") +
               QStringLiteral(" changed to references");
    case PageConversion::EntitiesToCharacters: {
        QString report = counted(result.changed, "reference", "references") +
                         QStringLiteral(" changed to characters");
        if (result.kept > 0)
            report += QStringLiteral(", %1 kept: %2 cannot hold %3")
                          .arg(result.kept)
                          .arg(encodingName, QLatin1String(result.kept == 1 ? "its character"
                                                                            : "their characters"));
        return report;
    }
    }
    return {};
}

QString runPageConversion(InsertionCore &core, PageConversion conversion, const PageFormat &format,
                          EntityScope scope, LongCommand *command) {
    const TextEncoding encoding = format.encoding;
    Page &page = core.page();
    const bool selected = page.hasSelection();
    ConversionOptions options;
    if (selected) {
        options.from = page.selectionStart();
        options.to = page.selectionEnd();
    }
    options.caret = page.caret();
    options.scope = scope;
    if (!isCaseConversion(conversion))
        options.canHold = holdTest(encoding);
    const bool forward = page.caret() == options.to;
    const QString text = page.snapshot();
    ConversionResult result;
    std::optional<RangeEdit> declaration;
    const auto work = [&](const std::atomic_bool &) {
        result = convertPage(text, conversion, options);
        // Characters outside ASCII written into an undeclared page in another encoding
        // than the one browsers assume: the page says which, in the same step.
        if (conversion == PageConversion::EntitiesToCharacters && !format.byteOrderMark &&
            encoding != TextEncoding::Windows1252 &&
            std::any_of(result.edits.cbegin(), result.edits.cend(), [](const RangeEdit &edit) {
                return std::any_of(edit.text.cbegin(), edit.text.cend(),
                                   [](QChar c) { return c.unicode() > 0x7F; });
            }))
            declaration = charsetDeclarationEdit(text, encodingName(encoding));
    };
    if (!command)
        work(std::atomic_bool{false});
    else if (!command->runAside(work))
        return LongCommand::cancelledReport();
    if (declaration) {
        const int added = int(declaration->text.size());
        if (declaration->start <= options.from)
            options.from += added;
        if (options.to >= 0 && declaration->start <= options.to)
            options.to += added;
        if (declaration->start <= result.caret)
            result.caret += added;
        const auto at = std::find_if(
            result.edits.begin(), result.edits.end(),
            [&declaration](const RangeEdit &edit) { return edit.start >= declaration->start; });
        // The edits after it are in the page as it was: ReplaceRanges takes them so.
        result.edits.insert(at, *declaration);
    }
    if (!result.edits.isEmpty()) {
        if (!command)
            core.ReplaceRanges(result.edits);
        else if (!core.ReplaceRanges(result.edits, [command](qint64 done, qint64 total) {
                     return command->step(done, total);
                 }))
            return LongCommand::cancelledReport();
        if (selected) {
            int grown = 0;
            for (const RangeEdit &edit : result.edits)
                grown += int(edit.text.size()) - edit.length;
            const int start = options.from;
            const int end = options.to + grown - (declaration ? int(declaration->text.size()) : 0);
            page.select(forward ? start : end, forward ? end : start);
        } else {
            page.setCaret(result.caret);
        }
    }
    QString report = conversionReport(conversion, result, scope, encodingName(encoding));
    if (declaration)
        report += QStringLiteral("; the page now declares its encoding (%1), which browsers "
                                 "would otherwise take for windows-1252")
                      .arg(encodingName(encoding));
    return report;
}

} // namespace vellumo
