#pragma once

// The page's whole text, read and written the way every feature reads and edits it.

#include "document/page.h"
#include "document/page_edit.h"

#include <QString>

namespace vellumo {

inline QString pageText(const Page &page) {
    return page.text(0, page.length());
}

// Puts `text` in the page as if it had just been opened: nothing to undo, unmodified,
// the caret where the edit leaves it.
inline void setPageText(Page &page, const QString &text) {
    page.apply({RangeEdit{0, page.length(), text}});
    page.clearUndoHistory();
    page.setModified(false);
}

} // namespace vellumo
