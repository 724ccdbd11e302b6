#pragma once

// A page shown in an editor the way the program shows an opened one, for the
// benchmarks that drive the editor.

#include "editor/page_editor.h"
#include "editor/page_loader.h"

#include <QApplication>
#include <QVBoxLayout>
#include <QWidget>

namespace vellumo {

// Lays `editor` (and `below`, when given, under it) out in `window`, shows it at
// 900 x 700 and opens `text` in the editor through the page loader.
inline void showPage(QWidget &window, PageEditor *editor, QString text, QWidget *below = nullptr) {
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(editor);
    if (below != nullptr)
        layout->addWidget(below);
    window.resize(900, 700);
    window.show();
    QApplication::processEvents();
    attachPageDocument(editor, buildPageDocument(std::move(text), *editor->document()));
    QApplication::processEvents();
}

} // namespace vellumo
