#include "text/text_buffer.h"

#include "document/charset_detection.h"

#include <algorithm>

namespace vellumo {

namespace {

// The most common of LF, CR LF and CR, the first one met on a tie: what the page
// codec calls the page's usual break.
LineBreakStyle usualStyle(const ScanSummary &scan) {
    if (scan.firstStyle < 0)
        return newPageFormat().lineBreaks;
    int usual = scan.firstStyle;
    for (int style = 0; style < 3; ++style)
        if (scan.styleCounts[style] > scan.styleCounts[usual])
            usual = style;
    return static_cast<LineBreakStyle>(usual);
}

// Whether the page codec would read `bytes` as UTF-8 without a detour (no UTF-16
// mark, no declared single-byte encoding), provided they are valid UTF-8.
bool readsAsUtf8(QByteArrayView bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return true;
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return false;
    if (utf16ByPattern(bytes))
        return false;
    const CharsetDeclaration declaration = findCharsetDeclaration(bytes);
    if (!declaration.found())
        return true;
    const std::optional<TextEncoding> declared = encodingForLabel(declaration.label);
    return !declared || *declared == TextEncoding::Utf8 || !isAsciiCompatible(*declared);
}

// `text` in UTF-8 with each '\n' written as `style` (a '\n' after a CR is left
// as it is: the pair already is a break).
QByteArray storedForm(const QString &text, LineBreakStyle style) {
    if (style == LineBreakStyle::LF || !text.contains(u'\n'))
        return text.toUtf8();
    const QString usual =
        style == LineBreakStyle::CRLF ? QStringLiteral("\r\n") : QStringLiteral("\r");
    QString stored;
    stored.reserve(text.size() + text.size() / 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'\n' && (i == 0 || text.at(i - 1) != u'\r'))
            stored += usual;
        else
            stored += text.at(i);
    }
    return stored.toUtf8();
}

// The kind of the break ending at `end` in `piece`'s store, judged by its bytes.
char kindOfBreakAt(const Utf8Store &store, const Piece &piece, qint64 end) {
    const char *bytes = store.bytes.constData();
    switch (static_cast<unsigned char>(bytes[end - 1])) {
    case '\n':
        return end - 2 >= piece.byte && bytes[end - 2] == '\r' ? BreakCRLF : BreakLF;
    case '\r':
        return BreakCR;
    case 0xA9:
        return BreakParagraph;
    case 0x90:
        return BreakFrameStart;
    default:
        return BreakFrameEnd;
    }
}

} // namespace

TextBuffer::TextBuffer(QObject *parent)
    : QObject(parent) {
    m_format = newPageFormat();
}

TextBuffer::~TextBuffer() = default;

void TextBuffer::open(const QByteArray &bytes) {
    m_undo.clear();
    m_redo.clear();
    m_groupDepth = 0;
    m_groupStarted = false;
    m_cleanAt = 0;
    m_tree.reset({});
    m_stores = {};
    m_originalLines = {};

    Utf8Store &original = m_stores[OriginalStore];
    qint64 start = 0;
    ScanSummary scan;
    scan.valid = false;
    if (readsAsUtf8(bytes)) {
        start = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
        original.bytes = bytes; // shared, not copied
        scan = scanUtf8(original, start, original.bytes.size());
        m_format = {TextEncoding::Utf8, start > 0, usualStyle(scan)};
    }
    if (!scan.valid) {
        // Any other page is decoded by the codec once and kept as UTF-8, each
        // line break as it was.
        const DecodedPage page = decodePage(bytes);
        m_stores = {};
        start = 0;
        original.bytes = encodePage(page.text, {TextEncoding::Utf8, false, page.format.lineBreaks},
                                    page.lineBreakKinds);
        scan = scanUtf8(original, 0, original.bytes.size());
        m_format = page.format;
        // Lines the codec could not read back as they were are written from
        // their own bytes while they stay unedited, as the editor does.
        m_originalLines = page.originalLines;
    }
    m_tree.reset({OriginalStore, start, original.bytes.size() - start, 0, scan.units, 0,
                  static_cast<qint64>(original.breakEndBytes.size())});
}

QString TextBuffer::openFile(const QString &path) {
    QByteArray bytes;
    QString problem = readWholeFile(path, &bytes);
    if (problem.isEmpty())
        open(bytes);
    return problem;
}

QString TextBuffer::text(qsizetype from, qsizetype to) const {
    from = std::clamp<qsizetype>(from, 0, size());
    to = std::clamp<qsizetype>(to, from, size());
    // One unit to spare: a start inside a surrogate pair takes the whole pair.
    QString text(to - from + 1, Qt::Uninitialized);
    qint64 at = 0;
    m_tree.forEachPiece(from, to, [&](const Piece &piece, qint64 begin, qint64 end) {
        const StorePoint first = m_tree.pointIn(piece, begin);
        const StorePoint last = m_tree.pointIn(piece, end);
        decodeInto(m_stores[piece.store].bytes.constData() + first.byte, last.byte - first.byte,
                   text.data(), &at);
    });
    text.truncate(at);
    return text;
}

QString TextBuffer::lineText(qsizetype line) const {
    const qsizetype end = line + 1 < lineCount() ? lineStart(line + 1) - 1 : size();
    return text(lineStart(line), end);
}

QByteArray TextBuffer::lineBreakKinds() const {
    QByteArray kinds;
    kinds.reserve(m_tree.breaks());
    const char usual = kindOfStyle(m_format.lineBreaks);
    bool allUsual = true;
    m_tree.forEachPiece(0, size(), [&](const Piece &piece, qint64, qint64) {
        const Utf8Store &store = m_stores[piece.store];
        for (qint64 i = piece.firstBreak; i < piece.firstBreak + piece.breaks; ++i) {
            const char kind = kindOfBreakAt(store, piece, store.breakEndBytes[i]);
            allUsual = allUsual && kind == usual;
            kinds.append(kind);
        }
    });
    return allUsual ? QByteArray() : kinds;
}

QByteArray TextBuffer::encoded() const {
    if (m_format.encoding != TextEncoding::Utf8 || !m_originalLines.isEmpty())
        return encodePage(text(), m_format, lineBreakKinds(), m_originalLines);
    QByteArray bytes = m_format.byteOrderMark ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    // A CR break that an edit left right before an empty line's LF would read back as
    // one CR LF: such a page goes the way that writes that CR as a CR LF.
    bool joined = false;
    m_tree.forEachPiece(0, size(), [&](const Piece &piece, qint64, qint64) {
        const char *from = m_stores[piece.store].bytes.constData() + piece.byte;
        joined = joined || (piece.bytes > 0 && *from == '\n' && bytes.endsWith('\r'));
        bytes.append(from, piece.bytes);
    });
    if (joined)
        return encodePage(text(), m_format, lineBreakKinds(), m_originalLines);
    return bytes;
}

PieceTree::Branch TextBuffer::appendText(const QString &text) {
    Utf8Store &store = m_stores[AddedStore];
    Piece piece;
    piece.store = AddedStore;
    piece.byte = store.bytes.size();
    piece.unit = store.units;
    piece.firstBreak = static_cast<qint64>(store.breakEndBytes.size());
    store.bytes.append(storedForm(text, m_format.lineBreaks));
    piece.bytes = store.bytes.size() - piece.byte;
    piece.units = scanUtf8(store, piece.byte, store.bytes.size()).units;
    piece.breaks = static_cast<qint64>(store.breakEndBytes.size()) - piece.firstBreak;
    return m_tree.leaf(piece);
}

void TextBuffer::insert(qsizetype position, const QString &text) {
    if (text.isEmpty())
        return;
    Exchange exchange{position, 0, appendText(text)};
    apply(exchange);
    record(std::move(exchange));
}

void TextBuffer::remove(qsizetype from, qsizetype to) {
    from = std::clamp<qsizetype>(from, 0, size());
    to = std::clamp<qsizetype>(to, from, size());
    if (from == to)
        return;
    Exchange exchange{from, to - from, nullptr};
    apply(exchange);
    record(std::move(exchange));
}

void TextBuffer::apply(Exchange &exchange) {
    qint64 at = std::clamp<qint64>(exchange.position, 0, size());
    PieceTree::Branch taken = exchange.length > 0 ? m_tree.cut(&at, exchange.length) : nullptr;
    TextChange change;
    change.removed = PieceTree::unitsOf(taken);
    change.linesRemoved = PieceTree::breaksOf(taken);
    change.added = PieceTree::unitsOf(exchange.other);
    change.linesAdded = PieceTree::breaksOf(exchange.other);
    if (exchange.other)
        at = m_tree.paste(at, std::move(exchange.other));
    change.position = at;
    change.line = m_tree.lineAt(at);
    exchange = {at, change.added, std::move(taken)};
    Q_EMIT changed(change);
}

void TextBuffer::record(Exchange exchange) {
    if (m_groupDepth == 0 || !m_groupStarted) {
        // A clean state among the undone steps can never come back.
        if (m_cleanAt > static_cast<qsizetype>(m_undo.size()))
            m_cleanAt = -1;
        m_redo.clear();
        m_undo.emplace_back();
        m_groupStarted = m_groupDepth > 0;
    }
    m_undo.back().push_back(std::move(exchange));
}

void TextBuffer::beginUndoGroup() {
    if (m_groupDepth++ == 0)
        m_groupStarted = false;
}

void TextBuffer::endUndoGroup() {
    if (m_groupDepth > 0 && --m_groupDepth == 0)
        m_groupStarted = false;
}

void TextBuffer::undo() {
    if (m_undo.empty())
        return;
    m_groupStarted = false; // an edit after this starts a step of its own
    UndoGroup group = std::move(m_undo.back());
    m_undo.pop_back();
    for (std::size_t i = group.size(); i-- > 0;)
        apply(group[i]);
    m_redo.push_back(std::move(group));
}

void TextBuffer::redo() {
    if (m_redo.empty())
        return;
    m_groupStarted = false;
    UndoGroup group = std::move(m_redo.back());
    m_redo.pop_back();
    for (Exchange &exchange : group)
        apply(exchange);
    m_undo.push_back(std::move(group));
}

} // namespace vellumo
