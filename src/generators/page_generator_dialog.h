#pragma once

#include "dialogs/element_dialog.h"
#include "generators/search_page.h"

#include <array>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTabWidget;
class QWidget;

namespace vellumo {

// "Page Generator": writes a separate search-engine entry page to a file of the
// user's choice. It never touches the page in the editor, and it stays open after
// generating so that the user can change a field and generate again.
class TForm10 final : public ElementDialog {
    Q_OBJECT
public:
    explicit TForm10(DialogContext &context, QWidget *parent = nullptr);

    // The fields as they stand, every text exactly as typed.
    SearchPageFields fields() const;

    void Button1Click(); // Generate
    void Button3Click(); // View Code / Hide Code

    QTabWidget *Pages;
    QWidget *DescriptionPage;
    QWidget *GeneratorPage;
    // The controls, by role, with their object names.
    QLineEdit *titleField;           // "Edit1"
    QLineEdit *forwardAddressField;  // "Edit2"
    QLineEdit *siteDescriptionField; // "Edit11"
    // The keyword fields in reading order: "Edit3", "Edit4", "Edit5", "Edit8",
    // then "Edit6", "Edit7", "Edit10", "Edit9".
    std::array<QLineEdit *, 8> Keywords;
    QCheckBox *noForwarding;     // "CheckBox1": "Do not forward to this page automatically"
    QPlainTextEdit *codeView;    // "RichEdit1"
    QPushButton *generateButton; // "Button1", okButton()
    QPushButton *exitButton;     // "Button2", cancelButton()
    QPushButton *viewCodeButton; // "Button3": View Code, shown once a page has been saved

protected:
    void FormActivate() override;
    void FormCloseQuery() override;

private:
    bool ValidatePageFields();
    void GeneratePage();
    void showCodeView(bool shown);
    QWidget *buildDescriptionPage();
    QWidget *buildGeneratorPage();
    void placeViewCodeButton();

    QStackedWidget *m_fieldsOrCode;
    QWidget *m_fieldsPanel;
};

} // namespace vellumo
