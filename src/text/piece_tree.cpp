#include "text/piece_tree.h"

#include <algorithm>

namespace vellumo {

PieceTree::PieceTree(const PageStores &stores)
    : m_stores(stores) {
}

PieceTree::~PieceTree() = default;

qint64 PieceTree::unitsOf(const Branch &branch) {
    return branch ? branch->units : 0;
}

qint64 PieceTree::breaksOf(const Branch &branch) {
    return branch ? branch->breaks : 0;
}

void PieceTree::reset(const Piece &piece) {
    m_root = piece.bytes > 0 ? leaf(piece) : nullptr;
}

PieceTree::Branch PieceTree::leaf(const Piece &piece) {
    return std::make_unique<Node>(piece, nextPriority());
}

quint32 PieceTree::nextPriority() {
    // xorshift64: the same tree shape on every run, which keeps failures repeatable.
    m_random ^= m_random << 13;
    m_random ^= m_random >> 7;
    m_random ^= m_random << 17;
    return static_cast<quint32>(m_random >> 32);
}

StorePoint PieceTree::pointIn(const Piece &piece, qint64 offset) const {
    if (offset <= 0)
        return {piece.byte, piece.unit};
    if (offset >= piece.units)
        return {piece.byte + piece.bytes, piece.unit + piece.units};
    const Utf8Store &store = m_stores[piece.store];
    const qint64 target = piece.unit + offset;
    // Walk from the last line start before the target inside the piece, or from
    // the piece's own start.
    const auto first = store.breakEndUnits.begin() + piece.firstBreak;
    const auto after = std::upper_bound(first, first + piece.breaks, target);
    StorePoint from{piece.byte, piece.unit};
    if (after != first) {
        const auto index = after - store.breakEndUnits.begin() - 1;
        from = {store.breakEndBytes[index], store.breakEndUnits[index]};
    }
    return walkToUnit(store, from, target);
}

std::pair<PieceTree::Branch, PieceTree::Branch> PieceTree::split(Branch node, qint64 at) {
    if (!node)
        return {};
    const qint64 leftUnits = unitsOf(node->left);
    if (at <= leftUnits) {
        auto [before, after] = split(std::move(node->left), at);
        node->left = std::move(after);
        node->update();
        return {std::move(before), std::move(node)};
    }
    at -= leftUnits;
    const Piece piece = node->piece;
    if (at >= piece.units) {
        auto [before, after] = split(std::move(node->right), at - piece.units);
        node->right = std::move(before);
        node->update();
        return {std::move(node), std::move(after)};
    }
    // The place falls inside this piece: it becomes two, the second taking the
    // node's priority so that both halves are still heaps.
    const StorePoint point = pointIn(piece, at);
    const auto &ends = m_stores[piece.store].breakEndBytes;
    const auto first = ends.begin() + piece.firstBreak;
    Piece head = piece;
    head.bytes = point.byte - piece.byte;
    head.units = point.unit - piece.unit;
    head.breaks = std::upper_bound(first, first + piece.breaks, point.byte) - first;
    Piece tail = piece;
    tail.byte = point.byte;
    tail.bytes = piece.bytes - head.bytes;
    tail.unit = point.unit;
    tail.units = piece.units - head.units;
    tail.firstBreak = piece.firstBreak + head.breaks;
    tail.breaks = piece.breaks - head.breaks;
    auto rest = std::make_unique<Node>(tail, node->priority);
    rest->right = std::move(node->right);
    rest->update();
    node->piece = head;
    node->update();
    return {std::move(node), std::move(rest)};
}

PieceTree::Branch PieceTree::merge(Branch left, Branch right) {
    if (!left)
        return right;
    if (!right)
        return left;
    if (left->priority >= right->priority) {
        left->right = merge(std::move(left->right), std::move(right));
        left->update();
        return left;
    }
    right->left = merge(std::move(left), std::move(right->left));
    right->update();
    return right;
}

PieceTree::Branch PieceTree::cut(qint64 *from, qint64 length) {
    auto [before, rest] = split(std::move(m_root), *from);
    *from = unitsOf(before);
    auto [middle, after] = split(std::move(rest), length);
    m_root = merge(std::move(before), std::move(after));
    return std::move(middle);
}

qint64 PieceTree::paste(qint64 at, Branch branch) {
    auto [before, after] = split(std::move(m_root), at);
    at = unitsOf(before);
    m_root = merge(merge(std::move(before), std::move(branch)), std::move(after));
    return at;
}

qint64 PieceTree::lineStart(qint64 line) const {
    qint64 wanted = std::clamp<qint64>(line, 0, breaks()); // the break ending line - 1
    if (wanted == 0)
        return 0;
    qint64 position = 0;
    for (const Node *node = m_root.get(); node;) {
        const qint64 leftBreaks = breaksOf(node->left);
        if (wanted <= leftBreaks) {
            node = node->left.get();
            continue;
        }
        wanted -= leftBreaks;
        position += unitsOf(node->left);
        const Piece &piece = node->piece;
        if (wanted <= piece.breaks) {
            const auto &store = m_stores[piece.store];
            return position + store.breakEndUnits[piece.firstBreak + wanted - 1] - piece.unit;
        }
        wanted -= piece.breaks;
        position += piece.units;
        node = node->right.get();
    }
    return position;
}

qint64 PieceTree::lineAt(qint64 position) const {
    position = std::clamp<qint64>(position, 0, units());
    qint64 line = 0;
    for (const Node *node = m_root.get(); node;) {
        const qint64 leftUnits = unitsOf(node->left);
        if (position < leftUnits) {
            node = node->left.get();
            continue;
        }
        position -= leftUnits;
        line += breaksOf(node->left);
        const Piece &piece = node->piece;
        if (position < piece.units) {
            const auto &ends = m_stores[piece.store].breakEndUnits;
            const auto first = ends.begin() + piece.firstBreak;
            return line +
                   (std::upper_bound(first, first + piece.breaks, piece.unit + position) - first);
        }
        position -= piece.units;
        line += piece.breaks;
        node = node->right.get();
    }
    return line;
}

namespace {

void visitRange(const PieceTree::Node *node, qint64 base, qint64 from, qint64 to,
                const PieceTree::PieceVisitor &visit);

} // namespace

void PieceTree::forEachPiece(qint64 from, qint64 to, const PieceVisitor &visit) const {
    if (from < to)
        visitRange(m_root.get(), 0, from, to, visit);
}

namespace {

// In-order walk of the nodes meeting [from, to); `base` is the position of the
// subtree's first unit.
void visitRange(const PieceTree::Node *node, qint64 base, qint64 from, qint64 to,
                const PieceTree::PieceVisitor &visit) {
    while (node && base < to && from < base + node->units) {
        const qint64 leftUnits = PieceTree::unitsOf(node->left);
        visitRange(node->left.get(), base, from, to, visit);
        const qint64 start = base + leftUnits;
        const qint64 end = start + node->piece.units;
        if (from < end && start < to)
            visit(node->piece, std::max(from, start) - start, std::min(to, end) - start);
        node = node->right.get();
        base = end;
    }
}

} // namespace

} // namespace vellumo
