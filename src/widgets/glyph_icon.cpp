#include "widgets/glyph_icon.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

namespace vellumo {

QIcon glyphIcon(const QString &text, const QColor &colour, bool bold, bool italic, bool underline)
{
    QIcon icon;
    for (const int side : {16, 32}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::TextAntialiasing);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(text.size() > 2 ? side * 9 / 16 : side * 13 / 16);
        font.setBold(bold);
        font.setItalic(italic);
        font.setUnderline(underline);
        painter.setFont(font);
        painter.setPen(colour);
        painter.drawText(pixmap.rect(), Qt::AlignCenter, text);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace vellumo
