#include "search/page_text.h"

#include "search/text_search.h"

#include <QPlainTextEdit>
#include <QTextDocument>

namespace vellumo {

PageText::PageText(QPlainTextEdit *editor, QObject *parent)
    : QObject(parent)
    , m_editor(editor) {
}

const QString &PageText::text() {
    QTextDocument *document = m_editor->document();
    if (document != m_document) {
        disconnect(m_watch);
        m_document = document;
        m_current = false;
        m_watch = connect(document, &QTextDocument::contentsChange, this, [this] {
            if (!m_current)
                return;
            m_current = false;
            Q_EMIT changed();
        });
    }
    if (!m_current) {
        m_text.clear(); // the old copy goes before the new one is made
        m_text = document->toRawText();
        m_text.replace(QChar::ParagraphSeparator, u'\n');
        m_text = withoutLoneSurrogates(m_text);
        m_current = true;
    }
    return m_text;
}

void PageText::release() {
    m_text = QString();
    m_current = false;
}

} // namespace vellumo
