#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vellumo {

// "Title": asks for the title of a new page. C&ancel is told apart from the
// close box, since only C&ancel falls back to the plain template.
class TForm2 final : public QDialog {
    Q_OBJECT
public:
    enum Result {
        ClosedByBox = QDialog::Rejected,
        Accepted = QDialog::Accepted,
        CancelledByButton
    };

    explicit TForm2(QWidget *parent = nullptr);

    QString title() const;
    void clearTitle();

    // The controls, by role; their object names are the layout's ("Label1",
    // "Edit1", "Button1", "Button2").
    QLabel *prompt;
    QLineEdit *titleField;
    QPushButton *okButton;
    QPushButton *cancelButton;

protected:
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace vellumo
