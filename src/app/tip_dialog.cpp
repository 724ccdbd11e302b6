#include "app/tip_dialog.h"

#include "widgets/fixed_dialog.h"

#include "app/data_files.h"
#include "app/settings.h"
#include "app/tips_file.h"
#include "platform/platform.h"

#include <QCheckBox>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

namespace vellumo {

namespace {

const QString TipsFileName = QStringLiteral("Tips.dat");

// A small light bulb for the dark strip at the left.
QPixmap bulbPicture() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(96, 64, 0), 1.5));
    painter.setBrush(QColor(255, 230, 80));
    painter.drawEllipse(QRectF(7, 2, 18, 18));
    painter.setBrush(QColor(192, 192, 192));
    painter.drawRect(QRectF(11.5, 19, 9, 8));
    painter.drawLine(QPointF(11.5, 22), QPointF(20.5, 22));
    painter.drawLine(QPointF(11.5, 25), QPointF(20.5, 25));
    painter.setBrush(QColor(96, 96, 96));
    painter.drawRect(QRectF(13.5, 27, 5, 3));
    return pixmap;
}

// The header across the top: "Did you know..." on a soft gradient.
QPixmap headerPicture() {
    QPixmap pixmap(314, 58);
    QPainter painter(&pixmap);
    QLinearGradient gradient(0, 0, 314, 0);
    gradient.setColorAt(0, QColor(0, 0, 160));
    gradient.setColorAt(1, QColor(255, 255, 255));
    painter.fillRect(pixmap.rect(), gradient);
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(24);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(pixmap.rect().adjusted(12, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     QStringLiteral("Did you know..."));
    return pixmap;
}

QFrame *whitePanel(QWidget *parent, const QString &name) {
    auto *panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, Qt::white);
    panel->setPalette(palette);
    return panel;
}

} // namespace

TForm27::TForm27(DialogContext &context, QWidget *parent)
    : QDialog(parent)
    , StartupFolder(QDir::toNativeSeparators(QDir::currentPath()))
    , m_platform(context.platform) {
    setUpFixedDialog(this, QStringLiteral("Form27"), QStringLiteral("Tip of the Day"));

    tipFrame = new QFrame(this);
    tipFrame->setObjectName(QStringLiteral("Bevel1"));
    tipFrame->setFrameShape(QFrame::Panel);
    tipFrame->setFrameShadow(QFrame::Sunken);

    bulbStrip = new QFrame(tipFrame);
    bulbStrip->setObjectName(QStringLiteral("Panel1"));
    bulbStrip->setAutoFillBackground(true);
    QPalette grey = bulbStrip->palette();
    grey.setColor(QPalette::Window, QColor(127, 127, 127));
    bulbStrip->setPalette(grey);
    bulbStrip->setFixedWidth(49);
    bulbImage = new QLabel(bulbStrip);
    bulbImage->setObjectName(QStringLiteral("Image1"));
    bulbImage->setPixmap(bulbPicture());
    auto *stripLayout = new QVBoxLayout(bulbStrip);
    stripLayout->addWidget(bulbImage, 0, Qt::AlignHCenter);
    stripLayout->addStretch(1);

    auto *page = whitePanel(tipFrame, QStringLiteral("TipPage"));
    headerImage = new QLabel(page);
    headerImage->setObjectName(QStringLiteral("Image2"));
    headerImage->setPixmap(headerPicture());
    headerImage->setScaledContents(true);
    headerImage->setFixedHeight(58);
    tipMargin = whitePanel(page, QStringLiteral("Panel2"));
    tipMargin->setFixedWidth(8);
    tipText = new QPlainTextEdit(page);
    tipText->setObjectName(QStringLiteral("RichEdit1"));
    tipText->setReadOnly(true);
    // Shown, not edited: no caret, no focus, no frame, but the text stays black
    // and readable (and selectable by screen readers) rather than greyed out.
    tipText->setFocusPolicy(Qt::NoFocus);
    tipText->setTextInteractionFlags(Qt::NoTextInteraction);
    tipText->setFrameShape(QFrame::NoFrame);
    tipText->setMinimumSize(264, 113);
    QPalette text = tipText->palette();
    text.setColor(QPalette::Base, Qt::white);
    text.setColor(QPalette::Text, Qt::black);
    tipText->setPalette(text);

    auto *tipLayout = new QHBoxLayout;
    tipLayout->setContentsMargins(0, 0, 0, 0);
    tipLayout->setSpacing(0);
    tipLayout->addWidget(tipMargin);
    tipLayout->addWidget(tipText, 1);
    auto *pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(0);
    pageLayout->addWidget(headerImage);
    pageLayout->addLayout(tipLayout, 1);
    auto *bevelLayout = new QHBoxLayout(tipFrame);
    bevelLayout->setContentsMargins(2, 2, 2, 2);
    bevelLayout->setSpacing(0);
    bevelLayout->addWidget(bulbStrip);
    bevelLayout->addWidget(page, 1);

    showAtStartup = new QCheckBox(QStringLiteral("Show tip at startup"), this);
    showAtStartup->setObjectName(QStringLiteral("CheckBox1"));
    showAtStartup->setChecked(true);
    nextTipButton = new QPushButton(QStringLiteral("Next Tip"), this);
    nextTipButton->setObjectName(QStringLiteral("Button1"));
    nextTipButton->setDefault(true);
    closeButton = new QPushButton(QStringLiteral("Close"), this);
    closeButton->setObjectName(QStringLiteral("Button2"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(showAtStartup);
    buttons->addStretch(1);
    buttons->addWidget(nextTipButton);
    buttons->addWidget(closeButton);

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(tipFrame);
    layout->addLayout(buttons);

    connect(nextTipButton, &QPushButton::clicked, this, &TForm27::Button1Click);
    connect(closeButton, &QPushButton::clicked, this, &TForm27::Button2Click);
}

void TForm27::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    centreOnScreen(this);
    FormShow();
}

void TForm27::FormShow() {
    showAtStartup->setChecked(AppSettings(m_platform).tipAtStartup());
    Button1Click();
}

QString TForm27::tipsPath() const {
    const QString found = findDataFile(StartupFolder, TipsFileName);
    return found.isEmpty() ? QDir(QDir::fromNativeSeparators(StartupFolder)).filePath(TipsFileName)
                           : found;
}

void TForm27::reportError(const QString &text) {
    m_platform.showError(this, QStringLiteral("Vellumo"), text);
}

void TForm27::Button1Click() {
    const QString path = tipsPath();
    const TipsFile tips = TipsFile::load(path);
    ItemsRead = tips.value(TipsSection, QStringLiteral("Items"), ItemsRead);
    bool itemsValid = false;
    const int last = ItemsRead.toInt(&itemsValid);
    if (!tips.exists() && !itemsValid) {
        reportError(QStringLiteral("There are no tips to show: the tips file %1 is missing.")
                        .arg(QDir::toNativeSeparators(path)));
        return;
    }
    if (!itemsValid || last < 0) {
        reportError(QStringLiteral("The tips file %1 gives no valid number of tips "
                                   "(\"Items\" is '%2').")
                        .arg(QDir::toNativeSeparators(path), ItemsRead));
        return;
    }

    AppSettings settings(m_platform);
    const QString stored = settings.nextTipNumber();
    bool numberValid = false;
    int number = stored.toInt(&numberValid);
    if (!numberValid) {
        // A damaged value would otherwise stop the tips for good; start over instead.
        reportError(QStringLiteral("The number of the next tip ('%1') is not a whole number; "
                                   "the tips start again from the first.")
                        .arg(stored));
        number = 0;
    }
    // A tips file that has become shorter starts over rather than running past its end.
    if (number < 0 || number > last)
        number = 0;
    const QString key = QString::number(number);
    tipText->setPlainText(tips.value(TipsSection, key, key));
    settings.storeNextTipNumber(QString::number(number == last ? 0 : number + 1));
}

void TForm27::Button2Click() {
    AppSettings(m_platform).storeTipAtStartup(showAtStartup->isChecked());
    accept();
}

} // namespace vellumo
