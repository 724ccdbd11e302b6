#include "check/own_checks.h"

#include "check/obsolete_elements.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

namespace vellumo {

namespace {

PlacedProblem placed(ProblemSeverity severity, ProblemKind kind, ProblemSource source,
                     QString message, qsizetype start, qsizetype length) {
    PlacedProblem p;
    p.problem.severity = severity;
    p.problem.kind = kind;
    p.problem.source = source;
    p.problem.message = std::move(message);
    p.start = start;
    p.length = length;
    return p;
}

// Attribute values of a tag that name a file or a place on this page.
bool isReference(const QString &tag, const QString &attribute) {
    if (attribute == u"href" || attribute == u"src" || attribute == u"background")
        return tag != u"base";
    return attribute == u"action" && tag == u"form";
}

// How an encoding is named once spelling is set aside ("ISO_8859-1" = "iso88591").
QString encodingKey(QString name) {
    name = name.toLower();
    name.remove(QRegularExpression(QStringLiteral("[^a-z0-9]")));
    if (name == u"latin1" || name == u"l1" || name == u"iso885911987")
        return QStringLiteral("iso88591");
    if (name == u"cp1252" || name == u"xcp1252")
        return QStringLiteral("windows1252");
    if (name == u"utf16le" || name == u"utf16be")
        return QStringLiteral("utf16");
    return name;
}

bool sameEncoding(const QString &declared, const QString &actual) {
    const QString a = encodingKey(declared);
    const QString b = encodingKey(actual);
    if (a == b)
        return true;
    // Browsers read a page declared ISO-8859-1 as Windows-1252, which holds it whole.
    const auto western = [](const QString &key) {
        return key == u"iso88591" || key == u"windows1252" || key == u"usascii" || key == u"ascii";
    };
    return western(a) && western(b) && !(a.contains(u"ascii") || b.contains(u"ascii"));
}

// Finds a file by name, letter case set aside, a folder at a time: the name it
// really has on disk, or an empty string. Folder listings are kept for the whole check.
class CaseFinder {
public:
    QString find(const QString &base, const QString &relative) {
        QString current = QDir::cleanPath(base);
        const QStringList parts = relative.split(u'/', Qt::SkipEmptyParts);
        for (const QString &part : parts) {
            if (part == u".")
                continue;
            if (part == u"..") {
                current = QFileInfo(current).path();
                continue;
            }
            const QStringList &entries = listing(current);
            QString match;
            for (const QString &entry : entries) {
                if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                    match = entry;
                    if (entry == part)
                        break;
                }
            }
            if (match.isEmpty())
                return {};
            current += u'/' + match;
        }
        return current;
    }

private:
    const QStringList &listing(const QString &folder) {
        auto it = m_listings.find(folder);
        if (it == m_listings.end())
            it = m_listings.insert(folder,
                                   QDir(folder).entryList(QDir::AllEntries | QDir::Hidden |
                                                          QDir::System | QDir::NoDotAndDotDot));
        return *it;
    }
    QHash<QString, QStringList> m_listings;
};

} // namespace

QList<PlacedProblem> ownChecks(const CheckRequest &request, const QList<ScannedTag> &tags,
                               const std::atomic_bool &cancel) {
    QList<PlacedProblem> problems;
    const auto stopped = [&cancel] { return cancel.load(std::memory_order_relaxed); };

    // Every place a "#name" can point at, and every image map's name.
    QSet<QString> firstAnchor;
    QHash<QString, QString> anchorFolded; // lower-case value -> a value as written
    QHash<QString, QString> mapNames;     // lower-case -> as written
    QSet<QString> exactMaps;
    bool frameset = false;
    bool noframes = false;
    qsizetype framesetStart = 0;
    qsizetype framesetLength = 0;
    for (const ScannedTag &tag : tags) {
        if (tag.end)
            continue;
        if (tag.name == u"frameset" && !frameset) {
            frameset = true;
            framesetStart = tag.start;
            framesetLength = tag.length;
        }
        if (tag.name == u"noframes")
            noframes = true;
        QSet<QString> onThisTag;
        for (const ScannedAttribute &a : tag.attributes) {
            const bool isId = a.name == u"id";
            const bool isName = a.name == u"name" && (tag.name == u"a" || tag.name == u"map");
            if (tag.name == u"map" && (a.name == u"name" || isId) && !a.value.isEmpty()) {
                mapNames.insert(a.value.toLower(), a.value);
                exactMaps.insert(a.value);
            }
            if ((!isId && !isName) || a.value.isEmpty() || onThisTag.contains(a.value))
                continue;
            onThisTag.insert(a.value);
            // A MAP's name is not a place on the page, but its id still must be unique.
            if (isName && tag.name == u"map")
                continue;
            if (firstAnchor.contains(a.value)) {
                const QString what = isId ? QStringLiteral("id") : QStringLiteral("anchor name");
                problems.append(placed(
                    ProblemSeverity::Error, ProblemKind::DuplicateId, ProblemSource::Page,
                    QStringLiteral("The %1 \"%2\" is already used earlier on the page; links to "
                                   "it reach only the first.")
                        .arg(what, a.value),
                    a.valueStart, a.valueLength));
            } else {
                firstAnchor.insert(a.value);
                anchorFolded.insert(a.value.toLower(), a.value);
            }
        }
    }
    if (stopped())
        return problems;

    const QDir base(request.baseFolder);
    CaseFinder caseFinder;
    bool localReferenceSeen = false;
    for (const ScannedTag &tag : tags) {
        if (stopped())
            return problems;
        if (tag.end)
            continue;
        const QString modern = modernEquivalent(tag.name);
        if (!modern.isEmpty())
            problems.append(placed(ProblemSeverity::Note, ProblemKind::Obsolete,
                                   ProblemSource::Page,
                                   QStringLiteral("<%1> is obsolete in today's HTML; the modern "
                                                  "equivalent is %2.")
                                       .arg(tag.name.toUpper(), modern),
                                   tag.start, tag.length));
        if (tag.name == u"img" && !tag.attribute(u"alt"))
            problems.append(placed(ProblemSeverity::Warning, ProblemKind::MissingAlt,
                                   ProblemSource::Page,
                                   QStringLiteral("This image has no ALT text, so readers who "
                                                  "cannot see it learn nothing of it."),
                                   tag.start, tag.length));
        if (tag.name == u"frame" && !tag.attribute(u"src"))
            problems.append(placed(ProblemSeverity::Warning, ProblemKind::FrameWithoutSource,
                                   ProblemSource::Links,
                                   QStringLiteral("This frame has no SRC, so it stays empty."),
                                   tag.start, tag.length));
        if (tag.name == u"meta") {
            QString declared;
            const ScannedAttribute *where = tag.attribute(u"charset");
            if (where) {
                declared = where->value.trimmed();
            } else if (const ScannedAttribute *content = tag.attribute(u"content")) {
                const ScannedAttribute *equiv = tag.attribute(u"http-equiv");
                static const QRegularExpression charset(
                    QStringLiteral("charset\\s*=\\s*[\"']?([A-Za-z0-9._:-]+)"),
                    QRegularExpression::CaseInsensitiveOption);
                const auto match = charset.match(content->value);
                if (equiv &&
                    equiv->value.trimmed().compare(u"content-type", Qt::CaseInsensitive) == 0 &&
                    match.hasMatch()) {
                    declared = match.captured(1);
                    where = content;
                }
            }
            if (where && !declared.isEmpty() && !request.encoding.isEmpty() &&
                !sameEncoding(declared, request.encoding))
                problems.append(placed(
                    ProblemSeverity::Warning, ProblemKind::CharsetMismatch, ProblemSource::Page,
                    QStringLiteral("The page declares the character set \"%1\" but is stored as "
                                   "%2; browsers will show its accented letters wrongly.")
                        .arg(declared, request.encoding),
                    where->valueStart, where->valueLength));
        }
        if (tag.name == u"img" || tag.name == u"object" || tag.name == u"input") {
            if (const ScannedAttribute *map = tag.attribute(u"usemap")) {
                const QString value = map->value.trimmed();
                const QString name = value.startsWith(u'#') ? value.mid(1) : value;
                if (!name.isEmpty() && !exactMaps.contains(name)) {
                    const QString other = mapNames.value(name.toLower());
                    if (!other.isEmpty())
                        problems.append(
                            placed(ProblemSeverity::Warning, ProblemKind::CaseMismatch,
                                   ProblemSource::Links,
                                   QStringLiteral("The image map is named \"%1\" on this page, not "
                                                  "\"%2\": some browsers mind the letter case.")
                                       .arg(other, name),
                                   map->valueStart, map->valueLength));
                    else
                        problems.append(placed(
                            ProblemSeverity::Error, ProblemKind::MissingMap, ProblemSource::Links,
                            QStringLiteral("There is no image map named \"%1\" on this page.")
                                .arg(name),
                            map->valueStart, map->valueLength));
                }
            }
        }
        for (const ScannedAttribute &a : tag.attributes) {
            if (a.valueStart < 0 || !isReference(tag.name, a.name))
                continue;
            const QString value = a.value.trimmed();
            if (value.isEmpty() || value.startsWith(QLatin1String("//")))
                continue;
            static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
            QString path = value;
            QString fragment;
            bool hasFragment = false;
            if (scheme.match(value).hasMatch()) {
                // Only file: addresses are local; the web is never fetched.
                if (!value.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
                    continue;
                path = QUrl(value).toLocalFile();
            } else {
                const qsizetype hash = path.indexOf(u'#');
                if (hash >= 0) {
                    hasFragment = true;
                    fragment = QUrl::fromPercentEncoding(path.mid(hash + 1).toUtf8());
                    path.truncate(hash);
                }
                const qsizetype query = path.indexOf(u'?');
                if (query >= 0)
                    path.truncate(query);
                path = QUrl::fromPercentEncoding(path.toUtf8());
            }
            if (path.isEmpty()) {
                if (!hasFragment || fragment.isEmpty() || firstAnchor.contains(fragment) ||
                    fragment.compare(u"top", Qt::CaseInsensitive) == 0)
                    continue;
                const QString other = anchorFolded.value(fragment.toLower());
                if (!other.isEmpty())
                    problems.append(placed(
                        ProblemSeverity::Warning, ProblemKind::CaseMismatch, ProblemSource::Links,
                        QStringLiteral("The place \"#%1\" is written \"%2\" on this page; the "
                                       "letter case must match.")
                            .arg(fragment, other),
                        a.valueStart, a.valueLength));
                else
                    problems.append(placed(
                        ProblemSeverity::Error, ProblemKind::MissingFragment, ProblemSource::Links,
                        QStringLiteral("There is no id or anchor named \"%1\" on this page.")
                            .arg(fragment),
                        a.valueStart, a.valueLength));
                continue;
            }
            // A path from the site's root cannot be resolved without knowing the site.
            if (path.startsWith(u'/') && !scheme.match(value).hasMatch())
                continue;
            localReferenceSeen = true;
            const bool absolute = QDir::isAbsolutePath(path);
            const QString full = QDir::cleanPath(absolute ? path : base.filePath(path));
            // The name on disk, letter case set aside, tells whether a web server that
            // minds case would find the file, even on a disk that does not mind.
            const QString real =
                caseFinder.find(absolute ? QStringLiteral("/") : base.path(), path);
            if (real == full || (real.isEmpty() && QFileInfo::exists(full)))
                continue;
            if (!real.isEmpty())
                problems.append(placed(
                    ProblemSeverity::Warning, ProblemKind::CaseMismatch, ProblemSource::Links,
                    QStringLiteral("\"%1\" is named \"%2\" on disk: the letter case differs, "
                                   "which breaks on a web server that minds case.")
                        .arg(path, absolute ? real : base.relativeFilePath(real)),
                    a.valueStart, a.valueLength));
            else
                problems.append(
                    placed(ProblemSeverity::Error, ProblemKind::MissingFile, ProblemSource::Links,
                           QStringLiteral("\"%1\" does not exist (looked for in %2).")
                               .arg(path, QDir::toNativeSeparators(QFileInfo(full).path())),
                           a.valueStart, a.valueLength));
        }
    }
    if (frameset && !noframes)
        problems.append(placed(ProblemSeverity::Warning, ProblemKind::MissingNoFrames,
                               ProblemSource::Page,
                               QStringLiteral("The frameset has no NOFRAMES section, so browsers "
                                              "and readers without frames show nothing."),
                               framesetStart, framesetLength));
    if (request.untitled && localReferenceSeen)
        problems.append(placed(ProblemSeverity::Note, ProblemKind::UntitledBase,
                               ProblemSource::Links,
                               QStringLiteral("The page has not been saved yet, so local "
                                              "references were looked for in the start folder, "
                                              "%1.")
                                   .arg(QDir::toNativeSeparators(request.baseFolder)),
                               -1, 0));
    return problems;
}

} // namespace vellumo
