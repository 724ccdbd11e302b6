#pragma once

class QMenu;
class QWidget;

namespace vellumo {

class DocumentController;

// "Reopen with Encoding": a menu of every encoding the program reads, each entry
// reading the page's file again in it (asking first about unsaved changes). The
// page's present encoding is checked when the menu opens. Its menu action is
// named ReopenWithEncoding1.
QMenu *makeReopenWithEncodingMenu(DocumentController &document, QWidget *parent);

} // namespace vellumo
