#pragma once

#include <QString>

class QMenu;
class QWidget;

namespace vellumo {

class DocumentController;

// "Reopen with Encoding": a menu of every encoding the program reads, each entry
// reading the page's file again in it (asking first about unsaved changes). The
// page's present encoding is checked when the menu opens.
QMenu *makeReopenWithEncodingMenu(DocumentController &document, QWidget *parent,
                                  const QString &title = QStringLiteral("Reopen with &Encoding"));
// The same encodings (UTF-8 also with a byte-order mark) for the page's next save: the
// choice changes no byte until the page is saved.
QMenu *makeSaveEncodingMenu(DocumentController &document, QWidget *parent);

} // namespace vellumo
