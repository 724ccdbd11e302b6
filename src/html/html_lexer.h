#pragma once

#include <QList>
#include <QStringView>

#include <cstdint>

namespace vellumo {

// What a run of page source is, as a browser's tokenizer would read it.
enum class HtmlTokenKind : std::uint8_t {
    Text,               // between tags, also the contents of <title>, <textarea>, <xmp>...
    CharacterReference, // &copy; &#169; &#xA9; (only with their ';': "&copy" stays what is around
                        // it)
    TagDelimiter,       // <  </  >  />
    TagName,
    TagSpace, // whitespace, '=' and stray characters inside a tag
    AttributeName,
    AttributeValue, // with its quotes; unquoted values too
    Comment,        // <!-- --> and the bogus comments <? > and <!x >
    Doctype,        // <!DOCTYPE ...>
    ScriptText,     // identifiers, operators, whitespace of a script
    ScriptKeyword,
    ScriptString,
    ScriptTemplate, // `template ${` and `}` around its expressions
    ScriptNumber,
    ScriptRegex,
    ScriptComment,
    StyleText, // braces, ':', ';', whitespace of a style sheet
    StyleSelector,
    StyleProperty,
    StyleValue,
    StyleAtRule,
    StyleString,
    StyleComment,
};

struct HtmlTokenSpan {
    HtmlTokenKind kind;
    int start;
    int length;
    bool operator==(const HtmlTokenSpan &) const = default;
};

// Where the tokenizer stands between two characters: everything it needs to go on
// lexing the next line. Small enough to be kept for every line of a page; packs
// into a non-negative int (a line's saved state keeps -1 for "unknown").
struct HtmlLexState {
    enum class Mode : std::uint8_t {
        Data,
        Comment,
        BogusComment,
        Doctype,
        BeforeAttributeName, // inside a tag, after its name or a value
        AfterAttributeName,  // an attribute name ended; '=' may still follow
        BeforeValue,         // after '='
        ValueDoubleQuoted,
        ValueSingleQuoted,
        RawContent, // inside <script>, <style>, <title>, ... until its end tag
    };
    // The elements whose contents are not markup, and the tag being read.
    enum class Raw : std::uint8_t {
        None,
        Script,
        Style,
        Title, // text and character references
        Textarea,
        Xmp, // text only
        Iframe,
        Noembed,
        Noframes,
        Plaintext, // never ends
    };
    enum class ScriptMode : std::uint8_t {
        Code,
        BlockComment,
        SingleQuoted,
        DoubleQuoted,
        Template
    };

    Mode mode = Mode::Data;
    Raw raw = Raw::None; // of the tag being read, or of the contents
    bool endTag = false; // the tag being read is an end tag

    // Inside a script.
    ScriptMode script = ScriptMode::Code;
    bool regexAllowed = true;    // a '/' here starts a regular expression
    bool templateExpr = false;   // inside the ${ } of a template literal
    std::uint8_t exprBraces = 0; // braces open in that expression (0-7)

    // Inside a style sheet.
    bool cssComment = false;
    bool cssValue = false;          // after a property's ':'
    bool cssPrelude = false;        // after an at-rule's name, before its '{' or ';'
    bool cssPreludeRules = false;   // that at-rule's block holds rules (@media), not declarations
    std::uint8_t cssDepth = 0;      // open braces (0-7)
    std::uint8_t cssRuleBlocks = 0; // bit d-1 set: the block at depth d holds rules

    int pack() const;
    static HtmlLexState unpack(int packed);
    bool operator==(const HtmlLexState &) const = default;
};

// Lexes one line of a page (its text without the line break), starting in
// `state`, and returns the state after the line break. With `spans`, appends the
// line's tokens: contiguous, covering the whole line, neighbours of one kind merged.
HtmlLexState lexHtmlLine(QStringView line, HtmlLexState state, QList<HtmlTokenSpan> *spans);

// A place between two tokens of a line and the lexer's state there.
struct HtmlLexPoint {
    int position = 0;
    HtmlLexState state;
};

// Lexes part of a line, from a place an earlier call stopped at (or the line's
// start), up to the first place between tokens at or after `until`, and returns
// it; past the line's end (position line.size() + 1) the state is the one after
// the line break. Lexing a line in parts gives the tokens lexing it whole gives,
// so a long line can be lexed again from a place near an edit.
HtmlLexPoint lexHtmlLinePart(QStringView line, HtmlLexPoint from, int until,
                             QList<HtmlTokenSpan> *spans);

// Lexes a text that may hold line breaks ('\n') in one pass: what lexing its
// lines one by one gives, for a whole text.
HtmlLexState lexHtmlText(QStringView text, HtmlLexState state, QList<HtmlTokenSpan> *spans);

// Lexes such a text from a place an earlier call stopped at (or the text's
// start) up to the first place between tokens at or after `until`: lexHtmlText a
// stretch at a time, for reading only as far as something ends.
HtmlLexPoint lexHtmlTextUntil(QStringView text, HtmlLexPoint from, int until,
                              QList<HtmlTokenSpan> *spans);

} // namespace vellumo
