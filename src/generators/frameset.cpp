#include "generators/frameset.h"

#include <QStringList>

namespace vellumo {

std::optional<int> frameCountFromText(const QString &text) {
    for (int count = MinimumFrameCount; count <= MaximumFrameCount; ++count)
        if (text == QString::number(count))
            return count;
    return std::nullopt;
}

QString framesetSizes(int count) {
    // The larger frames sit at the start, the flexible one in the middle.
    static const QStringList sizes{
        QStringLiteral("27%,*"),
        QStringLiteral("27%,*,31%"),
        QStringLiteral("27%,*,16%,15%"),
        QStringLiteral("14%,13%,*,16%,15%"),
        QStringLiteral("14%,13%,*,21%,16%,15%"),
        QStringLiteral("14%,13%,*,11%,10%,16%,15%"),
        QStringLiteral("14%,7%,6%,*,11%,10%,16%,15%"),
    };
    if (count < MinimumFrameCount || count > MaximumFrameCount)
        return {};
    return sizes.at(count - MinimumFrameCount);
}

QString buildFrameset(const FrameLayout &layout, const QList<FrameSettings> &frames,
                      const MarkupStyle &style) {
    Q_ASSERT(frames.size() >= layout.count);
    TagWriter block(style);
    block
        .quoted(layout.orientation == FrameOrientation::Rows ? QStringLiteral("<FRAMESET ROWS=")
                                                             : QStringLiteral("<FRAMESET COLS="),
                framesetSizes(layout.count))
        .text(QStringLiteral(">"))
        .lineBreak();
    for (qsizetype k = 0; k < layout.count && k < frames.size(); ++k) {
        const FrameSettings &frame = frames.at(k);
        block.quoted(QStringLiteral("<FRAME NAME="), frame.name)
            .quoted(QStringLiteral(" SRC="), frame.address)
            .quoted(QStringLiteral(" SCROLLING="), frame.scrolling);
        if (frame.noResize)
            block.literal(QStringLiteral(" NORESIZE"));
        block.text(QStringLiteral(">")).lineBreak();
    }
    block.literal(QStringLiteral("</FRAMESET>")).lineBreak();
    return block.result();
}

} // namespace vellumo
