#include "html/indentation.h"

#include "html/completion.h"
#include "html/elements.h"

namespace vellumo {

QStringView leadingIndentation(QStringView line) {
    qsizetype end = 0;
    while (end < line.size() && (line.at(end) == u' ' || line.at(end) == u'\t'))
        ++end;
    return line.first(end);
}

bool opensLevel(QStringView before, HtmlLexState start, QString *element) {
    if (element != nullptr)
        element->clear();
    const QStringView text = before.trimmed();
    if (text.isEmpty())
        return false;
    QList<HtmlTokenSpan> spans;
    const HtmlLexState end = lexHtmlLine(before, start, &spans);
    switch (end.mode) {
    case HtmlLexState::Mode::BeforeAttributeName:
    case HtmlLexState::Mode::AfterAttributeName:
    case HtmlLexState::Mode::BeforeValue:
        return true; // a tag broken over lines: its attributes go on, one level in
    case HtmlLexState::Mode::RawContent:
        if (end.raw != HtmlLexState::Raw::Script && end.raw != HtmlLexState::Raw::Style)
            return false;
        if (text.endsWith(u'{'))
            return true;
        break; // a <script> or <style> tag at the end opens a level like any block
    case HtmlLexState::Mode::Data:
        break;
    default:
        return false;
    }
    if (!text.endsWith(u'>'))
        return false;
    const QList<LineTag> tags = tagsOfLine(before, spans);
    if (tags.isEmpty())
        return false;
    const LineTag &last = tags.constLast();
    // Only blanks may follow the tag, and it must open a block that has contents.
    if (QStringView(before).sliced(last.stop).trimmed().size() > 0 || last.end ||
        last.selfClosing || isVoidElement(last.name) || isInlineElement(last.name))
        return false;
    if (element != nullptr)
        *element = last.name;
    return true;
}

QStringView oneLevelLess(QStringView indentation, QStringView unit) {
    if (indentation.endsWith(u'\t'))
        return indentation.chopped(1);
    qsizetype spaces = 0;
    // With tabs for levels, spaces after the last tab are alignment: they go together.
    const qsizetype most =
        unit.startsWith(u'\t') ? indentation.size() : std::max<qsizetype>(1, unit.size());
    while (spaces < most && spaces < indentation.size() &&
           indentation.at(indentation.size() - 1 - spaces) == u' ')
        ++spaces;
    return indentation.chopped(spaces);
}

} // namespace vellumo
