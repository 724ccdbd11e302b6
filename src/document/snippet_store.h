#pragma once

#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <utility>

namespace vellumo {

// A user's snippet: what the list shows, the word that is typed to expand it, and what it
// expands to (the syntax of html/snippet_body.h).
struct Snippet {
    QString name;
    QString trigger;
    QString body;

    friend bool operator==(const Snippet &, const Snippet &) = default;
};

// Whether `c` may stand in a trigger: a letter or a digit (any script's), "-" or "_". The
// word before the caret is read back over these.
bool isTriggerCharacter(QChar c);
// Whether `word` can be a trigger: one or more trigger characters.
bool isValidTrigger(QStringView word);

// The user's snippets, kept in one JSON file meant to be readable and editable by hand:
//
//   {
//       "version": 1,
//       "snippets": [
//           {
//               "name": "Table with a header row",
//               "trigger": "table",
//               "body": "<table>\n..."
//           }
//       ]
//   }
//
// written as UTF-8, in the list's order, with the keys in that order (a byte order mark a
// text editor put first is read past).
//
// No snippet the user wrote is lost, in the file or on a save:
//  - a file that cannot be used at all (unreadable, not JSON, not of that shape, or of a later
//    version) is left as it is, and the starter set is used meanwhile; the first save renames
//    it aside to "snippets.json.broken" (or ".broken-2", ...) before it writes a new file;
//  - a single bad entry (not an object of three strings, a trigger that is not valid, a
//    trigger an earlier entry has) is skipped, and the rest of the file is used; a save
//    writes the skipped entries back after the snippets, as they were (on one line each),
//    so the user can mend them by hand. The first of two entries with one trigger is kept.
// Keys other than these three in an entry, and other than "version" and "snippets" at the
// top, are not kept.
class SnippetStore {
public:
    explicit SnippetStore(QString path); // e.g. <settings folder>/snippets.json

    // Reads the file: its snippets, or the starter set when it is missing (not written until
    // something changes) or cannot be used. Returns false when problem() has something to
    // tell: the file is broken, or entries were skipped.
    bool load();
    // What the user should be told about the last load() or save(), naming the file (and
    // where a broken one was put); empty when all went well.
    QString problem() const { return m_problem; }

    const QList<Snippet> &snippets() const { return m_snippets; }
    // Replaces the list as it is: callers check triggers with isValidTrigger() and for
    // duplicates first (a bad one would be skipped at the next load, and kept in the file).
    void setSnippets(QList<Snippet> snippets) { m_snippets = std::move(snippets); }

    // Writes the file durably (document/durable_write.h), creating its folder when needed.
    // A broken file is renamed aside first, and problem() then says where it went, even when
    // the save succeeds. On failure (a read-only folder, a full disk) returns false with
    // problem() set, and nothing on disk is lost: the old file is whole where it was, or,
    // when it was broken and the write failed after the rename, whole where it was put.
    bool save();

    // The snippet whose trigger is `word` (case-sensitive), or null.
    const Snippet *byTrigger(QStringView word) const;

    // The snippets a user starts with, for hand-written HTML, in lower case.
    static QList<Snippet> starterSet();

private:
    // Why the file's bytes cannot be used as a whole, or empty; reads the snippets, and the
    // entries it skips with a note on each.
    QString read(QByteArray bytes, QStringList *skipped);
    QByteArray fileContents() const;

    QString m_path;
    QList<Snippet> m_snippets;
    QList<QJsonValue> m_skipped; // bad entries as read, written back as they were
    bool m_broken = false;       // the file at m_path is not ours to overwrite
    QString m_problem;
};

} // namespace vellumo
