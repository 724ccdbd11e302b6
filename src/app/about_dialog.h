#pragma once

#include "dialogs/dialog_context.h"

#include <QDialog>
#include <QLabel>

class QPixmap;
class QPushButton;

namespace vellumo {

class Platform;

// A label that reads as a web link: blue and underlined, red while the mouse is
// over it; a click, or Enter or Space while it has the focus, opens its address.
class HyperLinkLabel final : public QLabel {
    Q_OBJECT
public:
    HyperLinkLabel(const QString &address, Platform &platform, QWidget *parent = nullptr);
    QString address() const { return m_address; }

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void setHovered(bool hovered);
    QString m_address;
    Platform &m_platform;
};

// About Vellumo: the logo, the name, the version and the home page.
class TForm4 final : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(DialogContext &context, QWidget *parent = nullptr);

    // Where Vellumo.bmp is looked for first; the folder current at construction
    // unless the main window hands over its own.
    QString StartupFolder;

    // The Help menu's "&About": the main window's logo, then the box itself.
    void About1Click(const QPixmap &mainWindowLogo);
    void FormActivate();
    void Button1Click() { accept(); }

    // The controls, by their role; each carries its layout name as its object name.
    QLabel *logo = nullptr;
    HyperLinkLabel *HomePageLink = nullptr;
    QPushButton *okButton = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
};

} // namespace vellumo
