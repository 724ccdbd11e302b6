#include "dialogs/element_edit.h"

#include "dialogs/element_dialog.h"
#include "editor/page_colouring.h"

namespace vellumo {

namespace {

QString written(const QString &text, int base, const TagAttribute &attribute) {
    return text.mid(attribute.start - base, attribute.end - attribute.start);
}

qsizetype indexOfAttribute(const StartTag &tag, const QString &name) {
    for (qsizetype i = 0; i < tag.attributes.size(); ++i)
        if (tag.attributes.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// The element's text in a dialog's markup: between its start tag and its last end tag.
QString textOf(const QString &markup, const StartTag &tag) {
    const qsizetype end = markup.lastIndexOf(QStringLiteral("</"));
    return end > tag.end ? markup.mid(tag.end, end - tag.end) : QString();
}

bool isEmbedded(const QString &name) {
    return name.compare(u"EMBED", Qt::CaseInsensitive) == 0 ||
           name.compare(u"EMBEDED", Qt::CaseInsensitive) == 0;
}

} // namespace

bool isPlainElementText(const QString &text) {
    return !text.contains(u'<') && !text.contains(u'\n');
}

QList<RangeEdit> elementEdits(const PageElement &element, const QString &before,
                              const QString &after, bool writesText) {
    if (before == after)
        return {};
    const TagReading was = readStartTag(before);
    const TagReading now = readStartTag(after);
    if (!was.ok() || !now.ok())
        return {};
    const StartTag &page = element.tag;
    const QString &source = element.source;
    const int base = page.start;

    // Another element altogether (a form field of another type): the dialog's whole
    // markup takes the start tag's place; what the element held stays after it.
    if (!now.tag.is(page.name) && !(isEmbedded(now.tag.name) && isEmbedded(page.name))) {
        QString markup = after;
        if (markup.endsWith(u'\n'))
            markup.chop(1);
        return {RangeEdit{page.start, page.end - page.start, markup}};
    }

    // The whitespace in front of the page's attribute `i`.
    const auto gap = [&](qsizetype i) {
        const int from = i == 0 ? page.nameEnd : page.attributes.at(i - 1).end;
        return source.mid(from - base, page.attributes.at(i).start - from);
    };
    QString tag = source.left(page.nameEnd - base);
    QList<bool> kept(page.attributes.size(), false);
    bool changedAny = false;
    for (const TagAttribute &attribute : now.tag.attributes) {
        const TagAttribute *earlier = was.tag.attribute(attribute.name);
        const QString text = written(after, 0, attribute);
        const bool changed = earlier == nullptr || written(before, 0, *earlier) != text;
        changedAny = changedAny || changed;
        const qsizetype index = indexOfAttribute(page, attribute.name);
        if (index >= 0 && !kept.at(index)) {
            kept[index] = true;
            tag += gap(index) + (changed ? text : written(source, base, page.attributes.at(index)));
        } else if (changed) {
            tag += QLatin1Char(' ') + text;
        }
    }
    for (qsizetype i = 0; i < page.attributes.size(); ++i) {
        if (kept.at(i))
            continue;
        // The dialog stands for the first of an attribute's name; one written again
        // after it is the page's own and stays as written.
        const QString &name = page.attributes.at(i).name;
        if (was.tag.attribute(name) == nullptr || indexOfAttribute(page, name) != i)
            tag += gap(i) + written(source, base, page.attributes.at(i));
        else
            changedAny = true; // a field emptied: the attribute goes
    }
    const int tail = page.attributes.isEmpty() ? page.nameEnd : page.attributes.last().end;
    tag += source.mid(tail - base);
    // A start tag none of whose attributes changed stays as it was, in its own order.
    if (!changedAny)
        tag = source;

    QList<RangeEdit> edits;
    if (tag != source)
        edits.append(RangeEdit{page.start, page.end - page.start, tag});
    if (writesText && element.hasEndTag() && isPlainElementText(element.inner)) {
        const QString text = textOf(after, now.tag);
        if (text != textOf(before, was.tag))
            edits.append(RangeEdit{page.end, element.endTagStart - page.end, text});
    }
    return edits;
}

QString dialogForTag(const StartTag &tag) {
    const QString name = tag.name.toUpper();
    if (name == u"A") {
        if (tag.attribute(u"HREF") == nullptr)
            return {};
        return tag.value(u"HREF").trimmed().startsWith(u"mailto:", Qt::CaseInsensitive)
                   ? QStringLiteral("Form8")
                   : QStringLiteral("Form7");
    }
    static const QList<std::pair<QString, QString>> writers{
        {QStringLiteral("IMG"), QStringLiteral("Form5")},
        {QStringLiteral("HR"), QStringLiteral("Form6")},
        {QStringLiteral("BGSOUND"), QStringLiteral("Form11")},
        {QStringLiteral("MARQUEE"), QStringLiteral("Form12")},
        {QStringLiteral("FONT"), QStringLiteral("Form19")},
        {QStringLiteral("FORM"), QStringLiteral("Form20")},
        {QStringLiteral("INPUT"), QStringLiteral("Form21")},
        {QStringLiteral("SELECT"), QStringLiteral("Form21")},
        {QStringLiteral("TEXTAREA"), QStringLiteral("Form21")},
        {QStringLiteral("MAP"), QStringLiteral("Form22")},
        {QStringLiteral("META"), QStringLiteral("Form23")},
        {QStringLiteral("SCRIPT"), QStringLiteral("Form24")},
        {QStringLiteral("APPLET"), QStringLiteral("Form25")},
        {QStringLiteral("PARAM"), QStringLiteral("Form26")},
        {QStringLiteral("EMBED"), QStringLiteral("Form28")},
        {QStringLiteral("EMBEDED"), QStringLiteral("Form28")},
    };
    for (const auto &[element, dialog] : writers)
        if (element == name)
            return dialog;
    return {};
}

QString editTagAtCaret(const ElementSearch &search,
                       const std::function<ElementDialog *(const QString &)> &dialogNamed) {
    if (!search.element)
        return search.message;
    QString name = dialogForTag(search.element->tag);
    // A script written by the Scrolling Text or the Page Transfer dialog goes back to it.
    if (search.element->tag.is(u"SCRIPT"))
        for (const QString &writer : {QStringLiteral("Form18"), QStringLiteral("Form9")})
            if (const ElementDialog *candidate = dialogNamed(writer);
                candidate != nullptr && candidate->recognisesMarkup(*search.element))
                name = writer;
    ElementDialog *dialog = name.isEmpty() ? nullptr : dialogNamed(name);
    if (dialog == nullptr)
        return QStringLiteral("No dialog writes the tag <%1>.").arg(search.element->tag.name);
    dialog->editElement(*search.element);
    return {};
}

} // namespace vellumo
