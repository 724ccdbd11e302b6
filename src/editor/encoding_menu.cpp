#include "editor/encoding_menu.h"

#include "editor/document_controller.h"

#include <QActionGroup>
#include <QMenu>

namespace vellumo {

QMenu *makeReopenWithEncodingMenu(DocumentController &document, QWidget *parent) {
    auto *menu = new QMenu(QStringLiteral("Reopen with &Encoding"), parent);
    menu->setObjectName(QStringLiteral("ReopenWithEncodingMenu"));
    menu->menuAction()->setObjectName(QStringLiteral("ReopenWithEncoding1"));
    auto *group = new QActionGroup(menu);
    for (const TextEncoding encoding : allEncodings()) {
        QAction *entry = menu->addAction(encodingName(encoding));
        entry->setObjectName(QStringLiteral("ReopenWithEncoding_") + encodingName(encoding));
        entry->setCheckable(true);
        entry->setActionGroup(group);
        QObject::connect(entry, &QAction::triggered, menu, [&document, encoding, menu] {
            document.reopenWithEncoding(encodingName(encoding));
            // What the page is in now, whether or not the user went on.
            Q_EMIT menu->aboutToShow();
        });
    }
    QObject::connect(menu, &QMenu::aboutToShow, menu, [&document, menu] {
        const QString current = encodingName(document.format.encoding);
        const QList<QAction *> entries = menu->actions();
        for (QAction *entry : entries)
            entry->setChecked(entry->text() == current);
        // Only a page that has a file can be read again.
        menu->setEnabled(document.CurrentFileName != UntitledFileName);
    });
    return menu;
}

} // namespace vellumo
