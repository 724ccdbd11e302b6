#include "document/snippet_store.h"

#include "document/durable_write.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <algorithm>

namespace vellumo {

namespace {

constexpr int FileVersion = 1;

QString shown(const QString &path) {
    return QDir::toNativeSeparators(path);
}

// Whether anything stands at `path`, a dangling symbolic link included.
bool occupied(const QString &path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// `value` as JSON text on one line.
QByteArray jsonText(const QJsonValue &value) {
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return array.sliced(1, array.size() - 2);
}

// Where a parse error stands, as the user's text editor counts: "line 3, column 5". Qt's
// parser reports some errors at the character and some just after it, hence "near".
QString placeOf(const QByteArray &bytes, qsizetype offset) {
    const QByteArray before = bytes.left(offset);
    const qsizetype lineStart = before.lastIndexOf('\n') + 1;
    return QStringLiteral("line %1, column %2")
        .arg(before.count('\n') + 1)
        .arg(QString::fromUtf8(before.sliced(lineStart)).size() + 1);
}

// Why entry `number` (from 1) cannot be a snippet, or empty; `entry` is filled when it can.
QString entryProblem(const QJsonValue &value, int number, Snippet *entry) {
    if (!value.isObject())
        return QStringLiteral("entry %1 is not a snippet (an object with a name, a trigger and a "
                              "body)")
            .arg(number);
    const QJsonObject object = value.toObject();
    for (const char *key : {"name", "trigger", "body"})
        if (!object.value(QLatin1String(key)).isString())
            return QStringLiteral("entry %1 has no \"%2\" text")
                .arg(number)
                .arg(QLatin1String(key));
    entry->name = object.value(QLatin1String("name")).toString();
    entry->trigger = object.value(QLatin1String("trigger")).toString();
    entry->body = object.value(QLatin1String("body")).toString();
    if (entry->trigger.isEmpty())
        return QStringLiteral("entry %1 has an empty trigger").arg(number);
    if (!isValidTrigger(entry->trigger))
        return QStringLiteral(
                   "the trigger \"%1\" of entry %2 may hold only letters, digits, - and _")
            .arg(entry->trigger, QString::number(number));
    return {};
}

// The first free name of "path.broken", "path.broken-2", ...
QString asideName(const QString &path) {
    const QString first = path + QStringLiteral(".broken");
    QString name = first;
    for (int k = 2; occupied(name); ++k)
        name = first + u'-' + QString::number(k);
    return name;
}

} // namespace

bool isTriggerCharacter(QChar c) {
    return c.isLetter() || c.isDigit() || c == u'-' || c == u'_';
}

bool isValidTrigger(QStringView word) {
    return !word.isEmpty() && std::all_of(word.begin(), word.end(), isTriggerCharacter);
}

SnippetStore::SnippetStore(QString path)
    : m_path(std::move(path)) {
}

bool SnippetStore::load() {
    m_snippets.clear();
    m_skipped.clear();
    m_broken = false;
    m_problem.clear();
    if (!occupied(m_path)) {
        m_snippets = starterSet();
        return true;
    }
    QFile file(m_path);
    QString broken;
    QStringList skipped;
    if (!file.open(QIODevice::ReadOnly)) {
        broken = QStringLiteral("it could not be read (%1)").arg(file.errorString());
    } else {
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            broken = QStringLiteral("it could not be read (%1)").arg(file.errorString());
        else
            broken = read(bytes, &skipped);
    }
    if (!broken.isEmpty()) {
        m_snippets = starterSet();
        m_skipped.clear();
        m_broken = true;
        m_problem = QStringLiteral("The snippets in %1 cannot be used: %2. The starter snippets "
                                   "are in use meanwhile. The file is left as it is, and is "
                                   "renamed to %3 before the snippets are next saved.")
                        .arg(shown(m_path), broken, shown(asideName(m_path)));
    } else if (!skipped.isEmpty()) {
        m_problem = QStringLiteral("Some snippets in %1 were skipped, and stay in the file as "
                                   "they are until they are mended:\n- %2.")
                        .arg(shown(m_path), skipped.join(QStringLiteral(";\n- ")));
    }
    return m_problem.isEmpty();
}

QString SnippetStore::read(QByteArray bytes, QStringList *skipped) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3); // a byte order mark some editors put first
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        return QStringLiteral("it is not valid JSON (%1, near %2)")
            .arg(error.errorString(), placeOf(bytes, error.offset));
    const QJsonValue version = document.object().value(QLatin1String("version"));
    const QJsonValue list = document.object().value(QLatin1String("snippets"));
    if (!document.isObject() || !list.isArray())
        return QStringLiteral("it does not hold an object with a \"snippets\" list");
    if (version.isDouble() && version.toDouble() > FileVersion)
        return QStringLiteral("it was written for a later version of the program (version %1)")
            .arg(version.toDouble());
    if (!version.isUndefined() && version.toDouble(0) != FileVersion)
        return QStringLiteral("its \"version\" is not %1").arg(FileVersion);

    QHash<QString, int> triggers; // each trigger's entry, for the duplicates
    const QJsonArray entries = list.toArray();
    for (int number = 1; number <= entries.size(); ++number) {
        const QJsonValue value = entries.at(number - 1);
        Snippet entry;
        QString problem = entryProblem(value, number, &entry);
        if (problem.isEmpty() && triggers.contains(entry.trigger))
            problem = QStringLiteral("entry %1 has the trigger \"%2\" of entry %3")
                          .arg(QString::number(number), entry.trigger,
                               QString::number(triggers.value(entry.trigger)));
        if (!problem.isEmpty()) {
            skipped->append(problem);
            m_skipped.append(value);
            continue;
        }
        triggers.insert(entry.trigger, number);
        m_snippets.append(entry);
    }
    return {};
}

QByteArray SnippetStore::fileContents() const {
    QByteArrayList entries;
    for (const Snippet &snippet : m_snippets)
        entries << "        {\n            \"name\": " + jsonText(snippet.name) +
                       ",\n            \"trigger\": " + jsonText(snippet.trigger) +
                       ",\n            \"body\": " + jsonText(snippet.body) + "\n        }";
    for (const QJsonValue &value : m_skipped)
        entries << "        " + jsonText(value);
    QByteArray text = "{\n    \"version\": " + QByteArray::number(FileVersion) + ",\n";
    if (entries.isEmpty())
        return text + "    \"snippets\": []\n}\n";
    return text + "    \"snippets\": [\n" + entries.join(",\n") + "\n    ]\n}\n";
}

bool SnippetStore::save() {
    m_problem.clear();
    QString aside;
    if (m_broken && occupied(m_path)) {
        aside = asideName(m_path);
        QFile file(m_path);
        if (!file.rename(aside)) {
            m_problem = QStringLiteral("The snippets could not be saved: %1 cannot be used, and "
                                       "could not be renamed to %2 to keep it (%3).")
                            .arg(shown(m_path), shown(aside), file.errorString());
            return false;
        }
    }
    m_broken = false;
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    const WriteOutcome outcome = writeFileDurably(m_path, fileContents());
    if (!outcome.ok()) {
        m_problem = QStringLiteral("The snippets could not be saved to %1: %2.")
                        .arg(shown(m_path), outcome.reason);
        if (!aside.isEmpty())
            m_problem += QStringLiteral(" The file that could not be used was kept as %1.")
                             .arg(shown(aside));
        return false;
    }
    if (!aside.isEmpty())
        m_problem = QStringLiteral("%1 could not be used, so it was kept as %2, and the snippets "
                                   "were saved in a new %1.")
                        .arg(shown(m_path), shown(aside));
    return true;
}

const Snippet *SnippetStore::byTrigger(QStringView word) const {
    for (const Snippet &snippet : m_snippets)
        if (snippet.trigger == word)
            return &snippet;
    return nullptr;
}

QList<Snippet> SnippetStore::starterSet() {
    const auto snippet = [](const char *name, const char *trigger, const char *body) {
        return Snippet{QString::fromUtf8(name), QString::fromUtf8(trigger),
                       QString::fromUtf8(body)};
    };
    return {
        snippet("Table with a header row", "table",
                "<table>\n"
                "\t<thead>\n"
                "\t\t<tr>\n"
                "\t\t\t<th>${1:Heading}</th>\n"
                "\t\t\t<th>${2:Heading}</th>\n"
                "\t\t</tr>\n"
                "\t</thead>\n"
                "\t<tbody>\n"
                "\t\t<tr>\n"
                "\t\t\t<td>$3</td>\n"
                "\t\t\t<td>$4</td>\n"
                "\t\t</tr>\n"
                "\t</tbody>\n"
                "</table>"),
        snippet("Form with a labelled field", "form",
                "<form action=\"$1\" method=\"${2:post}\">\n"
                "\t<label for=\"${3:name}\">${4:Name}</label>\n"
                "\t<input type=\"${5:text}\" id=\"$3\" name=\"$3\">\n"
                "\t<input type=\"submit\" value=\"${6:Send}\">\n"
                "</form>"),
        snippet("Figure with a caption", "figure",
                "<figure>\n"
                "\t<img src=\"$1\" alt=\"${2:Description}\">\n"
                "\t<figcaption>${3:Caption}</figcaption>\n"
                "</figure>"),
        snippet("Navigation list", "nav",
                "<nav>\n"
                "\t<ul>\n"
                "\t\t<li><a href=\"${1:/}\">${2:Home}</a></li>\n"
                "\t\t<li><a href=\"$3\">${4:About}</a></li>\n"
                "\t\t<li><a href=\"$5\">${6:Contact}</a></li>\n"
                "\t</ul>\n"
                "</nav>"),
        snippet("Responsive image", "imgr",
                "<img src=\"${1:image-800.jpg}\"\n"
                "\tsrcset=\"${2:image-400.jpg} 400w, $1 800w, ${3:image-1600.jpg} 1600w\"\n"
                "\tsizes=\"${4:(max-width: 600px) 100vw, 50vw}\"\n"
                "\talt=\"${5:Description}\">"),
        snippet("Viewport for small screens", "viewport",
                "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"),
        snippet("Character encoding", "charset", "<meta charset=\"${1:utf-8}\">"),
        snippet("Style sheet link", "css", "<link rel=\"stylesheet\" href=\"${1:style.css}\">"),
        snippet("Script file", "js", "<script src=\"${1:script.js}\"></script>"),
        snippet("Comment around the selection", "com", "<!-- ${1:$SELECTION} -->"),
        snippet("Link around the selection", "link", "<a href=\"$1\">${2:$SELECTION}</a>"),
        snippet("Definition list", "dl",
                "<dl>\n"
                "\t<dt>${1:Term}</dt>\n"
                "\t<dd>${2:Definition}</dd>\n"
                "</dl>"),
        snippet("Picture with other formats", "picture",
                "<picture>\n"
                "\t<source srcset=\"${1:image.avif}\" type=\"image/avif\">\n"
                "\t<source srcset=\"${2:image.webp}\" type=\"image/webp\">\n"
                "\t<img src=\"${3:image.jpg}\" alt=\"${4:Description}\">\n"
                "</picture>"),
        snippet("Details that open on a click", "details",
                "<details>\n"
                "\t<summary>${1:Summary}</summary>\n"
                "\t$0\n"
                "</details>"),
        snippet("Video with controls", "video",
                "<video controls width=\"${1:640}\">\n"
                "\t<source src=\"${2:video.mp4}\" type=\"${3:video/mp4}\">\n"
                "\t<a href=\"$2\">${4:Download the video}</a>\n"
                "</video>"),
    };
}

} // namespace vellumo
