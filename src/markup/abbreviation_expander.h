#pragma once

#include "html/snippet_body.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace vellumo {

class InsertionCore;
class MovingRange;
class PageEditor;
struct Snippet;

// Expands the abbreviation before the caret into the markup it stands for
// (`ul>li*3` becomes a list of three items), in the page's tag case and the
// program's quote, as one undo step. The caret then lands in the first empty
// place the markup left (an attribute's value, an element's contents); Tab and
// Shift+Tab move through the places until Escape, a Tab past the last one, or the
// caret going elsewhere. Nothing is expanded inside a tag, a comment, a script or
// a style: the lexer's state kept for the line says where the caret is.
//
// A snippet's trigger word expands the same way, into the snippet's body: its places
// are the stops, and what is typed in a place is copied to the places that mirror it.
class AbbreviationExpander : public QObject {
    Q_OBJECT

public:
    AbbreviationExpander(PageEditor *editor, InsertionCore &core, QObject *parent = nullptr);
    ~AbbreviationExpander() override;

    // Tab right after an abbreviation expands it too; otherwise only the command does.
    void setExpandOnTab(bool on) { m_expandOnTab = on; }
    // Where the snippet a trigger word stands for is found, and the values of the
    // variables its body may use.
    using SnippetFinder = std::function<const Snippet *(QStringView trigger)>;
    void setSnippets(SnippetFinder find, std::function<SnippetVariables()> variables);

    // Puts `body` in place of [from, to) as one undo step and leads through its places.
    // Empty when it did; otherwise why not (a malformed body), and the page is as it was.
    QString insertSnippet(const QString &body, int from, int to, const SnippetVariables &variables);

    // Expands the abbreviation before the caret. Empty when it did; otherwise why
    // not, for the status bar, and the page is as it was.
    QString expand();
    // Whether Tab leads through the empty places of an expansion.
    bool isLeading() const { return !m_stops.empty(); }

Q_SIGNALS:
    // A short note for the status bar: why Tab did not expand what stands before the caret.
    void noted(const QString &note);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // One place of an expansion: its stretch of the page, its number, and whether it
    // only mirrors the first place of that number.
    struct Place {
        std::unique_ptr<MovingRange> range;
        int number = 0;
        bool mirror = false;
    };
    void lead(int at, const QString &text, const QList<SnippetPlace> &places, int finalCaret);
    void goToStop(std::size_t index);
    void copyToMirrors();
    void stopLeading();

    PageEditor *m_editor;
    InsertionCore &m_core;
    bool m_expandOnTab = false;
    SnippetFinder m_findSnippet;
    std::function<SnippetVariables()> m_variables;
    // The places of the expansion being led through, the stops among them (the places
    // that are no mirror) in Tab order, and where a Tab past the last stop leaves the caret.
    std::vector<Place> m_places;
    std::vector<std::size_t> m_stops;
    std::unique_ptr<MovingRange> m_end;
    std::size_t m_current = 0;
    bool m_moving = false;
    bool m_copyDue = false;
};

} // namespace vellumo
