#include "document/page_template.h"

namespace vellumo {

QString pageTemplate(bool upper, const QString &title) {
    static const QString upperPage = QStringLiteral(
        "<HTML>\n<HEAD>\n<TITLE>%1</TITLE>\n</HEAD>\n<BODY>\n\n\n</BODY>\n</HTML>\n\n\n");
    static const QString lowerPage = QStringLiteral(
        "<html>\n<head>\n<title>%1</title>\n</head>\n<body>\n\n\n</body>\n</html>\n\n\n");
    // Concatenated rather than arg()-substituted, so a title holding "%1" stays as typed.
    const QString &page = upper ? upperPage : lowerPage;
    const qsizetype at = page.indexOf(QLatin1String("%1"));
    return page.left(at) + title + page.mid(at + 2) + MakerComment;
}

} // namespace vellumo
