#pragma once

#include <QByteArray>

class QTextBlock;
class QTextDocument;

namespace vellumo {

// A page that mixes kinds of line break keeps each block's kind in the block
// itself (its user data; the user state is the colouring's), so that the kind
// travels with the line through edits:
// lines the user never touched save back with their own breaks, and a newly typed
// break gets the page's usual kind.

// Tags the blocks of a freshly loaded `document` with `kinds` (one LineBreakKind
// per break, as DecodedPage gives them; empty leaves the blocks untagged).
void applyLineBreakKinds(QTextDocument *document, const QByteArray &kinds);

// One LineBreakKind per break of `document`, or empty when no block is tagged.
QByteArray lineBreakKinds(const QTextDocument *document);

// Forgets every line's own kind: each break becomes the page's usual one.
void clearLineBreakKinds(QTextDocument *document);

// The LineBreakKind a block of `document` keeps for its break, or Usual.
char lineBreakKindOf(const QTextBlock &block);

} // namespace vellumo
