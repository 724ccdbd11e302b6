#include "check/obsolete_elements.h"

#include <QHash>

namespace vellumo {

QString modernEquivalent(const QString &name) {
    static const QHash<QString, QString> table{
        {QStringLiteral("font"),
         QStringLiteral("the CSS properties font-family, font-size and color")},
        {QStringLiteral("basefont"), QStringLiteral("CSS font properties on the BODY")},
        {QStringLiteral("center"), QStringLiteral("the CSS property text-align: center")},
        {QStringLiteral("marquee"), QStringLiteral("a CSS animation")},
        {QStringLiteral("blink"), QStringLiteral("a CSS animation")},
        {QStringLiteral("applet"), QStringLiteral("OBJECT or a script (browsers no longer run "
                                                  "Java applets)")},
        {QStringLiteral("frameset"), QStringLiteral("IFRAME elements or a CSS layout")},
        {QStringLiteral("frame"), QStringLiteral("IFRAME")},
        {QStringLiteral("noframes"), QStringLiteral("IFRAME with its own fallback content")},
        {QStringLiteral("bgsound"), QStringLiteral("AUDIO")},
        {QStringLiteral("big"), QStringLiteral("the CSS property font-size")},
        {QStringLiteral("tt"), QStringLiteral("CODE, KBD or SAMP")},
        {QStringLiteral("strike"), QStringLiteral("DEL or S")},
        {QStringLiteral("acronym"), QStringLiteral("ABBR")},
        {QStringLiteral("dir"), QStringLiteral("UL")},
        {QStringLiteral("nobr"), QStringLiteral("the CSS property white-space: nowrap")},
        {QStringLiteral("xmp"), QStringLiteral("PRE")},
        {QStringLiteral("listing"), QStringLiteral("PRE")},
        {QStringLiteral("plaintext"), QStringLiteral("PRE")},
    };
    return table.value(name);
}

} // namespace vellumo
