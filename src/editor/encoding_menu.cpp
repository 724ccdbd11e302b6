#include "editor/encoding_menu.h"

#include "editor/document_controller.h"

#include <QActionGroup>
#include <QMenu>

#include <functional>

namespace vellumo {

namespace {

// A menu of every encoding the program reads, `choose` running with the one picked; the
// page's present encoding is checked when the menu opens. Entries are named `prefix`
// and the encoding's name.
QMenu *encodingMenu(const QString &title, const QString &prefix, DocumentController &document,
                    QWidget *parent, bool withByteOrderMark,
                    const std::function<void(TextEncoding, bool byteOrderMark)> &choose) {
    auto *menu = new QMenu(title, parent);
    auto *group = new QActionGroup(menu);
    const auto add = [&](TextEncoding encoding, bool mark) {
        const QString name =
            encodingName(encoding) + (mark ? QStringLiteral(" with BOM") : QString());
        QAction *entry = menu->addAction(name);
        entry->setObjectName(prefix + name);
        entry->setCheckable(true);
        entry->setActionGroup(group);
        entry->setData(QVariantList{int(encoding), mark});
        QObject::connect(entry, &QAction::triggered, menu, [choose, encoding, mark, menu] {
            choose(encoding, mark);
            // What the page is in now, whether or not the user went on.
            Q_EMIT menu->aboutToShow();
        });
    };
    for (const TextEncoding encoding : allEncodings()) {
        add(encoding, false);
        if (withByteOrderMark && encoding == TextEncoding::Utf8)
            add(encoding, true);
    }
    QObject::connect(menu, &QMenu::aboutToShow, menu, [&document, menu, withByteOrderMark] {
        const bool mark = withByteOrderMark && document.format.encoding == TextEncoding::Utf8 &&
                          document.format.byteOrderMark;
        const QVariantList current{int(document.format.encoding), mark};
        const QList<QAction *> entries = menu->actions();
        for (QAction *entry : entries)
            entry->setChecked(entry->data().toList() == current);
    });
    return menu;
}

} // namespace

QMenu *makeReopenWithEncodingMenu(DocumentController &document, QWidget *parent,
                                  const QString &title) {
    QMenu *menu = encodingMenu(title, QStringLiteral("ReopenWithEncoding_"), document, parent,
                               false, [&document](TextEncoding encoding, bool) {
                                   document.reopenWithEncoding(encodingName(encoding));
                               });
    menu->setObjectName(QStringLiteral("ReopenWithEncodingMenu"));
    menu->menuAction()->setObjectName(QStringLiteral("ReopenWithEncoding1"));
    // Only a page that has a file can be read again.
    QObject::connect(menu, &QMenu::aboutToShow, menu, [&document, menu] {
        menu->setEnabled(document.CurrentFileName != UntitledFileName);
    });
    return menu;
}

QMenu *makeSaveEncodingMenu(DocumentController &document, QWidget *parent) {
    return encodingMenu(QStringLiteral("&Encoding of the next save"), QStringLiteral("SaveIn_"),
                        document, parent, true,
                        [&document](TextEncoding encoding, bool byteOrderMark) {
                            document.setSaveEncoding(encodingName(encoding), byteOrderMark);
                        });
}

} // namespace vellumo
