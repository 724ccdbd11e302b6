#include "markup/entity_scope_dialog.h"

#include "widgets/fixed_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vellumo {

std::optional<EntityScope> askEntityScope(QWidget *parent, EntityScope initial,
                                          TextEncoding encoding) {
    QDialog dialog(parent);
    setUpFixedDialog(&dialog, QStringLiteral("EntityScopeDialog"),
                     QStringLiteral("Characters to Entities"));
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("Write as character references:"), &dialog));
    // The Unicode encodings hold every character, so the first choice changes nothing there.
    const bool holdsEverything = encoding == TextEncoding::Utf8 ||
                                 encoding == TextEncoding::Gb18030 || !isAsciiCompatible(encoding);
    auto *unencodable = new QRadioButton(
        QStringLiteral("&Only the characters %1 cannot hold%2")
            .arg(encodingName(encoding),
                 holdsEverything ? QStringLiteral(" (it holds every one)") : QString()),
        &dialog);
    unencodable->setObjectName(QStringLiteral("UnencodableOnly"));
    auto *all = new QRadioButton(QStringLiteral("&Every character outside ASCII"), &dialog);
    all->setObjectName(QStringLiteral("AllNonAscii"));
    (initial == EntityScope::AllNonAscii ? all : unencodable)->setChecked(true);
    layout->addWidget(unencodable);
    layout->addWidget(all);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return all->isChecked() ? EntityScope::AllNonAscii : EntityScope::Unencodable;
}

} // namespace vellumo
