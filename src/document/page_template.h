#pragma once

#include <QString>

namespace vellumo {

// The twelve-line empty page a new document starts from, in upper- or
// lower-case tags, ending in the maker comment without a final line break.
// With a title, that text stands between the title tags as typed.
QString pageTemplate(bool upper, const QString &title = QStringLiteral("Place your title here"));

inline const QString MakerComment = QStringLiteral("<!---Made with Vellumo--->");

// Where the caret goes in a fresh template: the first empty line of the body.
inline constexpr int TemplateBodyOffset = 66;

} // namespace vellumo
