#include "app/about_dialog.h"

#include "widgets/fixed_dialog.h"

#include "app/data_files.h"
#include "platform/home_page.h"
#include "platform/launch_report.h"
#include "platform/platform.h"

#include <QDir>
#include <QEnterEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QUrl>
#include <QVBoxLayout>

namespace vellumo {

HyperLinkLabel::HyperLinkLabel(const QString &address, Platform &platform, QWidget *parent)
    : QLabel(address, parent)
    , m_address(address)
    , m_platform(platform) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setToolTip(address);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    setHovered(false);
}

void HyperLinkLabel::setHovered(bool hovered) {
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, hovered ? Qt::red : Qt::blue);
    setPalette(colours);
}

void HyperLinkLabel::enterEvent(QEnterEvent *event) {
    setHovered(true);
    QLabel::enterEvent(event);
}

void HyperLinkLabel::leaveEvent(QEvent *event) {
    setHovered(false);
    QLabel::leaveEvent(event);
}

void HyperLinkLabel::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        openInBrowser(m_platform, window(), QUrl(m_address));
    QLabel::mouseReleaseEvent(event);
}

void HyperLinkLabel::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        openInBrowser(m_platform, window(), QUrl(m_address));
        event->accept();
        return;
    }
    QLabel::keyPressEvent(event);
}

TForm4::TForm4(DialogContext &context, QWidget *parent)
    : QDialog(parent)
    , StartupFolder(QDir::toNativeSeparators(QDir::currentPath())) {
    setUpFixedDialog(this, QStringLiteral("Form4"), QStringLiteral("About Vellumo"));

    logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("Image1"));
    logo->setFixedSize(257, 161);
    logo->setScaledContents(true);
    logo->setFrameShape(QFrame::Panel);
    logo->setFrameShadow(QFrame::Sunken);

    // Raised inside, lowered outside: a box around the name and version.
    auto *outer = new QFrame(this);
    outer->setObjectName(QStringLiteral("Panel1"));
    outer->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto *inner = new QFrame(outer);
    inner->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto *name = new QLabel(QStringLiteral("Vellumo"), inner);
    name->setObjectName(QStringLiteral("ProductName"));
    QFont nameFont(QStringLiteral("Times New Roman"));
    nameFont.setPixelSize(19);
    name->setFont(nameFont);
    QPalette black = name->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    name->setPalette(black);
    auto *version = new QLabel(QStringLiteral("Version 1.0"), inner);
    version->setObjectName(QStringLiteral("Version"));
    HomePageLink = new HyperLinkLabel(ProgramHomePage, context.platform, inner);
    HomePageLink->setObjectName(QStringLiteral("HomePageLink"));
    auto *innerLayout = new QVBoxLayout(inner);
    innerLayout->addWidget(name, 0, Qt::AlignHCenter);
    innerLayout->addWidget(version, 0, Qt::AlignHCenter);
    innerLayout->addWidget(HomePageLink, 0, Qt::AlignHCenter);
    auto *outerLayout = new QVBoxLayout(outer);
    outerLayout->setContentsMargins(2, 2, 2, 2);
    outerLayout->addWidget(inner);

    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("Button1"));
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &TForm4::Button1Click);

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(logo, 0, Qt::AlignHCenter);
    layout->addWidget(outer);
    layout->addWidget(okButton, 0, Qt::AlignHCenter);
}

void TForm4::About1Click(const QPixmap &mainWindowLogo) {
    logo->setPixmap(mainWindowLogo);
    exec();
}

void TForm4::FormActivate() {
    // The logo file wins over the copy from the main window; without the file
    // the copy stays, so the box never comes up blank because of a missing file.
    const QString path = findDataFile(StartupFolder, QStringLiteral("Vellumo.bmp"));
    if (path.isEmpty())
        return;
    const QPixmap picture(path);
    if (!picture.isNull())
        logo->setPixmap(picture);
}

void TForm4::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    centreOnScreen(this);
    FormActivate();
}

void TForm4::changeEvent(QEvent *event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
    QDialog::changeEvent(event);
}

} // namespace vellumo
