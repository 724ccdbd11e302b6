#pragma once

#include "text/utf8_store.h"

#include <array>
#include <functional>
#include <memory>

namespace vellumo {

// The stores a page's pieces point into: the page as opened, and everything
// inserted since (only ever appended to, so a piece stays valid for good).
enum StoreId : int { OriginalStore = 0, AddedStore = 1 };
using PageStores = std::array<Utf8Store, 2>;

// A stretch of one store, [byte, byte + bytes). `unit` is the store's unit at
// `byte`; `firstBreak` the index in the store's line index of the first break
// ending after `byte`, so the piece's own breaks are the next `breaks` entries.
struct Piece {
    StoreId store = OriginalStore;
    qint64 byte = 0;
    qint64 bytes = 0;
    qint64 unit = 0;
    qint64 units = 0;
    qint64 firstBreak = 0;
    qint64 breaks = 0;
};

// The page as a sequence of pieces, held in a treap: a search tree ordered by
// position and kept balanced by random priorities, where every node carries the
// units and the line breaks of its subtree. With n pieces, finding a position or
// a line, cutting a range out and pasting one in cost O(log n) (expected), plus,
// where a piece has to be split, a binary search of its store's line index and a
// walk from the start of the line to the place.
class PieceTree {
public:
    struct Node;
    // Pieces that left the page, kept whole (for undo) until they come back.
    using Branch = std::unique_ptr<Node>;

    explicit PieceTree(const PageStores &stores);
    ~PieceTree();
    PieceTree(const PieceTree &) = delete;
    PieceTree &operator=(const PieceTree &) = delete;

    qint64 units() const { return unitsOf(m_root); }
    qint64 breaks() const { return breaksOf(m_root); }
    static qint64 unitsOf(const Branch &branch);
    static qint64 breaksOf(const Branch &branch);

    // The page becomes `piece` alone; `leaf` makes a branch of one piece.
    void reset(const Piece &piece);
    Branch leaf(const Piece &piece);

    // Takes the `length` units from `*from` out of the page. A bound inside a
    // surrogate pair moves before the pair; `*from` tells where the cut began.
    Branch cut(qint64 *from, qint64 length);
    // Puts `branch` back into the page at `at` (moved like a cut's bounds).
    // Returns where it went.
    qint64 paste(qint64 at, Branch branch);

    // The position where line `line` starts (0 for line 0; lines past the end
    // start at the last line). O(log n).
    qint64 lineStart(qint64 line) const;
    // The line holding `position`. O(log n) plus a binary search of a line index.
    qint64 lineAt(qint64 position) const;

    // Calls `visit(piece, from, to)` for every piece meeting [from, to), in page
    // order, with the part of it inside the range as units of the piece.
    using PieceVisitor = std::function<void(const Piece &, qint64, qint64)>;
    void forEachPiece(qint64 from, qint64 to, const PieceVisitor &visit) const;
    // Where unit `offset` of `piece` lies in its store.
    StorePoint pointIn(const Piece &piece, qint64 offset) const;

private:
    std::pair<Branch, Branch> split(Branch node, qint64 at);
    static Branch merge(Branch left, Branch right);
    quint32 nextPriority();

    const PageStores &m_stores;
    Branch m_root;
    quint64 m_random = 0x9E3779B97F4A7C15ULL;
};

// A node: one piece, and the sums of its subtree.
struct PieceTree::Node {
    Node(const Piece &p, quint32 rank)
        : piece(p)
        , priority(rank) {
        update();
    }
    void update() {
        units = piece.units + unitsOf(left) + unitsOf(right);
        breaks = piece.breaks + breaksOf(left) + breaksOf(right);
    }

    Piece piece;
    quint32 priority;
    qint64 units = 0;
    qint64 breaks = 0;
    Branch left;
    Branch right;
};

} // namespace vellumo
