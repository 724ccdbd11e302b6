#include "check/tidy_messages.h"

#include "check/obsolete_elements.h"

#include <tidy/tidyenum.h>

#include <QHash>

namespace vellumo {

namespace {

struct Wording {
    QString text; // %1, %2 ... are Tidy's string arguments, angle brackets removed
    std::optional<ProblemSeverity> severity;
};

const QHash<QByteArray, Wording> &wordings() {
    static const QHash<QByteArray, Wording> table{
        {"MISSING_DOCTYPE",
         {QStringLiteral("The page has no <!DOCTYPE> declaration, so browsers show it in their "
                         "old \"quirks\" mode."),
          ProblemSeverity::Note}},
        {"NON_MATCHING_ENDTAG",
         {QStringLiteral("</%1> closes an element that is not the innermost one open here: the "
                         "elements are misnested."),
          {}}},
        {"INSERTING_TAG",
         {QStringLiteral("A <%1> is implied here, because an element was closed too early or "
                         "misnested."),
          {}}},
        {"UNKNOWN_ENTITY",
         {QStringLiteral("\"%1\" is not a known character reference (write a plain & as &amp;)."),
          {}}},
        {"MISSING_SEMICOLON",
         {QStringLiteral("The character reference \"%1\" does not end in \";\"."), {}}},
        {"MISSING_STARTTAG", {QStringLiteral("A <%1> start tag is missing here."), {}}},
        {"REPEATED_ATTRIBUTE",
         {QStringLiteral("The attribute \"%3\" is written more than once in this <%1> tag; only "
                         "one of its values can count."),
          {}}},
        {"CONTENT_AFTER_BODY", {QStringLiteral("There is content after the end of the body."), {}}},
        {"DISCARDING_UNEXPECTED",
         {QStringLiteral("<%1> does not belong here: nothing open matches it."), {}}},
        {"MISSING_ENDTAG_FOR", {QStringLiteral("<%1> is never closed."), {}}},
        {"MISSING_ENDTAG_BEFORE", {QStringLiteral("<%1> is not closed before <%2>."), {}}},
        {"MISSING_ATTRIBUTE",
         {QStringLiteral("<%1> needs a \"%2\" attribute, and this one has none."), {}}},
        {"TRIM_EMPTY_ELEMENT",
         {QStringLiteral("This <%1> element is empty."), ProblemSeverity::Note}},
        {"UNKNOWN_ELEMENT", {QStringLiteral("<%1> is not an HTML element."), {}}},
        {"UNKNOWN_ELEMENT_LOOKS_CUSTOM", {QStringLiteral("<%1> is not an HTML element."), {}}},
        {"MISSING_TITLE_ELEMENT",
         {QStringLiteral("The page has no <TITLE>; browsers and search engines show its address "
                         "instead."),
          {}}},
        {"UNKNOWN_ATTRIBUTE",
         {QStringLiteral("\"%2\" is not an attribute HTML knows for <%1>."), {}}},
        {"PROPRIETARY_ATTRIBUTE",
         {QStringLiteral("\"%2\" is not an attribute HTML knows for <%1>."), {}}},
        {"BAD_ATTRIBUTE_VALUE",
         {QStringLiteral("\"%3\" is not a valid value for the attribute \"%2\" of <%1>."), {}}},
        {"MALFORMED_COMMENT",
         {QStringLiteral("A comment is badly formed: it must start with \"<!--\" and end with "
                         "\"-->\"."),
          {}}},
        {"ELEMENT_NOT_EMPTY", {QStringLiteral("<%1> cannot have content."), {}}},
        {"NESTED_EMPHASIS", {QStringLiteral("<%1> is nested inside another <%1>."), {}}},
        {"COERCE_TO_ENDTAG",
         {QStringLiteral("<%1> is probably meant to be the end tag </%1>."), {}}},
        {"UNEXPECTED_ENDTAG", {QStringLiteral("The end tag </%1> has no matching start tag."), {}}},
    };
    return table;
}

// Diagnostics the page check words better itself, or that are no problem at all.
bool leftToOwnChecks(const TidyDiagnostic &d) {
    if (d.key == "MISSING_QUOTEMARK_OPEN" || d.key == "ANCHOR_NOT_UNIQUE")
        return true;
    if (d.key == "MISSING_ATTRIBUTE" && d.arguments.size() >= 2 &&
        d.arguments.at(0).compare(u"<img>", Qt::CaseInsensitive) == 0 &&
        d.arguments.at(1).compare(u"alt", Qt::CaseInsensitive) == 0)
        return true;
    // This editor writes these elements on purpose; the page check gives a note
    // with the modern equivalent instead.
    if (d.key == "OBSOLETE_ELEMENT" || d.key == "PROPRIETARY_ELEMENT" ||
        d.key.startsWith("ELEMENT_VERS_MISMATCH") || d.key.startsWith("UNKNOWN_ELEMENT")) {
        for (QString argument : d.arguments) {
            argument.remove(u'<').remove(u'>').remove(u'/');
            argument = argument.section(u' ', 0, 0);
            if (!modernEquivalent(argument.toLower()).isEmpty())
                return true;
        }
    }
    return false;
}

ProblemSeverity severityOfLevel(int level) {
    switch (level) {
    case TidyInfo:
    case TidyAccess:
        return ProblemSeverity::Note;
    case TidyWarning:
        return ProblemSeverity::Warning;
    default:
        return ProblemSeverity::Error;
    }
}

} // namespace

std::optional<Problem> problemFromTidy(const TidyDiagnostic &d) {
    if (d.level == TidyConfig || d.level > TidyFatal || leftToOwnChecks(d))
        return std::nullopt;
    Problem problem;
    problem.source = ProblemSource::Markup;
    problem.kind = ProblemKind::Markup;
    problem.severity = severityOfLevel(d.level);
    const auto wording = wordings().constFind(d.key);
    QString text;
    if (wording != wordings().cend()) {
        text = wording->text;
        const int needed = text.contains(u"%3") ? 3 : text.contains(u"%2") ? 2 : 1;
        if (d.arguments.size() >= needed || !text.contains(u"%1")) {
            for (qsizetype i = 0; i < d.arguments.size() && i < 9; ++i) {
                QString argument = d.arguments.at(i);
                if (argument.startsWith(u'<') && argument.endsWith(u'>'))
                    argument = argument.mid(1, argument.size() - 2);
                text.replace(u'%' + QString::number(i + 1), argument);
            }
        } else {
            text.clear();
        }
        if (wording->severity)
            problem.severity = *wording->severity;
    }
    if (text.isEmpty() || text.contains(u'%')) {
        // A diagnostic without wording of our own: Tidy's English, as a sentence.
        text = d.defaultText.simplified();
        text.replace(QLatin1String("Tidy"), QLatin1String("The check"));
        // Advice about Tidy's own settings means nothing here.
        const qsizetype advice = text.indexOf(QLatin1String("Did you mean"));
        if (advice > 0)
            text.truncate(advice);
        text = text.trimmed();
        if (!text.isEmpty())
            text[0] = text.at(0).toUpper();
        if (!text.endsWith(u'.') && !text.endsWith(u'!'))
            text += u'.';
        if (text.endsWith(u'!'))
            text.back() = u'.';
    }
    problem.message = text;
    return problem;
}

} // namespace vellumo
