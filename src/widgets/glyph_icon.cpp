#include "widgets/glyph_icon.h"

#include <QApplication>
#include <QFont>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QStyleOption>
#include <QVariant>
#include <QWidget>

namespace vellumo {

namespace {

class GlyphIconEngine : public QIconEngine {
public:
    GlyphIconEngine(const QString &text, const QColor &colour, bool bold, bool italic,
                    bool underline)
        : m_text(text)
        , m_colour(colour)
        , m_bold(bold)
        , m_italic(italic)
        , m_underline(underline) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode,
               QIcon::State state) override {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override {
        const quint64 key =
            (quint64(size.width()) << 32) | (quint64(size.height()) << 2) | quint64(mode);
        const auto cached = m_pixmaps.constFind(key);
        if (cached != m_pixmaps.cend())
            return *cached;
        QPixmap face = draw(size);
        if (mode != QIcon::Normal && QApplication::style() != nullptr) {
            QStyleOption option;
            option.palette = QApplication::palette();
            face = QApplication::style()->generatedIconPixmap(mode, face, &option);
        }
        m_pixmaps.insert(key, face);
        return face;
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override { return size; }
    QIconEngine *clone() const override { return new GlyphIconEngine(*this); }
    QString key() const override { return QStringLiteral("vellumo-glyph"); }

private:
    QPixmap draw(const QSize &size) const {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::TextAntialiasing);
        const int side = qMin(size.width(), size.height());
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(m_text.size() > 2 ? side * 9 / 16 : side * 13 / 16);
        font.setBold(m_bold);
        font.setItalic(m_italic);
        font.setUnderline(m_underline);
        painter.setFont(font);
        painter.setPen(m_colour);
        painter.drawText(pixmap.rect(), Qt::AlignCenter, m_text);
        return pixmap;
    }

    QString m_text;
    QColor m_colour;
    bool m_bold;
    bool m_italic;
    bool m_underline;
    QHash<quint64, QPixmap> m_pixmaps; // by size and mode
};

} // namespace

QIcon glyphIcon(const QString &text, const QColor &colour, bool bold, bool italic, bool underline) {
    return QIcon(new GlyphIconEngine(text, colour, bold, italic, underline));
}

QIcon styleIcon(const QWidget *widget, QStyle::StandardPixmap which) {
    // Kept on the application object, so it goes when the application does.
    const QByteArray name = "vellumoStyleIcon" + QByteArray::number(int(which));
    QObject *application = QCoreApplication::instance();
    QVariant icon = application->property(name.constData());
    if (!icon.isValid()) {
        icon = QVariant::fromValue(widget->style()->standardIcon(which));
        application->setProperty(name.constData(), icon);
    }
    return icon.value<QIcon>();
}

QIcon alignmentIcon(Qt::Alignment alignment) {
    QIcon icon;
    for (const int side : {16, 32}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        const int unit = side / 16;
        const int lengths[] = {12, 8, 12, 8};
        for (int line = 0; line < 4; ++line) {
            const int length = lengths[line] * unit;
            int left = 2 * unit;
            if (alignment & Qt::AlignHCenter)
                left = (side - length) / 2;
            else if (alignment & Qt::AlignRight)
                left = side - 2 * unit - length;
            painter.fillRect(left, (3 + 3 * line) * unit, length, unit, Qt::black);
        }
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace vellumo
