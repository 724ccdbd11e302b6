// Draws the program's logo and icons into a folder (normally data/):
//   Vellumo.bmp        the logo of the side panel and the about box
//   icons/vellumo-<side>.png   the desktop icon at the hicolor theme's sizes, 16 to 256
// Run it again after changing the drawing, and commit what it writes:
//   vellumo_render_logo <data folder>

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

const QColor Navy(0, 0, 160);
const QColor Paper(250, 247, 238);
const QColor Ink(40, 40, 40);

// The mark: a sheet of vellum with a folded corner and a pair of angle brackets.
void drawMark(QPainter &painter, const QRectF &box) {
    const qreal w = box.width();
    const qreal fold = w * 0.28;
    QPainterPath sheet;
    sheet.moveTo(box.topLeft());
    sheet.lineTo(box.right() - fold, box.top());
    sheet.lineTo(box.right(), box.top() + fold);
    sheet.lineTo(box.bottomRight());
    sheet.lineTo(box.bottomLeft());
    sheet.closeSubpath();
    painter.setPen(QPen(Ink, qMax<qreal>(1.0, w / 40)));
    painter.setBrush(Paper);
    painter.drawPath(sheet);
    QPainterPath corner;
    corner.moveTo(box.right() - fold, box.top());
    corner.lineTo(box.right() - fold, box.top() + fold);
    corner.lineTo(box.right(), box.top() + fold);
    painter.setBrush(QColor(220, 212, 190));
    painter.drawPath(corner);

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(qRound(w * 0.42));
    painter.setFont(font);
    painter.setPen(Navy);
    painter.drawText(box.adjusted(0, w * 0.12, 0, 0), Qt::AlignCenter, QStringLiteral("</>"));
}

QImage logo() {
    QImage image(257, 161, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient sky(0, 0, 0, image.height());
    sky.setColorAt(0, QColor(0, 0, 0));
    sky.setColorAt(1, Navy);
    painter.fillRect(image.rect(), sky);
    drawMark(painter, QRectF(18, 28, 76, 100));

    QFont title(QStringLiteral("DejaVu Serif"));
    title.setBold(true);
    title.setPixelSize(30);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(102, 40, 152, 48), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Vellumo"));
    QFont line(QStringLiteral("DejaVu Sans"));
    line.setPixelSize(13);
    painter.setFont(line);
    painter.setPen(QColor(200, 210, 255));
    painter.drawText(QRectF(106, 90, 150, 40), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                     QStringLiteral("HTML by hand,\ntags at the caret"));
    painter.end();
    return image;
}

QImage icon(int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const qreal margin = side * 0.08;
    drawMark(painter, QRectF(margin + side * 0.06, margin, side - 2 * margin - side * 0.12,
                             side - 2 * margin));
    painter.end();
    return image;
}

} // namespace

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vellumo_render_logo <data folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    out.mkpath(QStringLiteral("icons"));
    bool ok = logo().save(out.filePath(QStringLiteral("Vellumo.bmp")), "BMP");
    for (const int side : {16, 22, 24, 32, 48, 64, 128, 256})
        ok = icon(side).save(out.filePath(QStringLiteral("icons/vellumo-%1.png").arg(side)),
                             "PNG") &&
             ok;
    if (!ok) {
        std::fprintf(stderr, "vellumo_render_logo: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
