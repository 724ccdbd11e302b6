"""The smoke test's made pages: small files whose exact bytes matter.

Every page is written here as bytes, so that its line breaks, encoding and
byte-order mark are exactly what the test means. `pages()` returns them in a
fixed order; run this file with a folder to write them there for a look:

    python3 tests/smoke/make_corpus.py /tmp/pages
"""

import sys
from dataclasses import dataclass
from pathlib import Path


@dataclass(frozen=True)
class Page:
    name: str
    data: bytes
    # What typing "x" at the very end adds to the file when it is saved.
    typed: bytes = b"x"
    # The program refuses to open the file (it is no text page): it reports so, the
    # page stays untouched, and nothing is typed or saved.
    refused: bool = False


def _utf16(text, order):
    """`text` in UTF-16 with its byte-order mark, `order` "le" or "be"."""
    mark = b"\xff\xfe" if order == "le" else b"\xfe\xff"
    return mark + text.encode("utf-16-" + order)


def _long_line():
    """One line of exactly 60,000 characters, inside a small page."""
    words = []
    size = 0
    n = 0
    while size < 60000:
        word = "w%d " % n
        words.append(word)
        size += len(word)
        n += 1
    line = "".join(words)[:60000]
    assert len(line) == 60000
    return b"<html><body>\n" + line.encode("ascii") + b"\n</body></html>\n"


def _long_utf8_line():
    """20,000 characters of two- and three-byte UTF-8 on one line, no final break."""
    text = ("\u00e9t\u00e9 \u20ac \u65e5\u672c! ") * 2000
    assert len(text) == 20000
    return ("<p>" + text + "</p>").encode("utf-8")


def _many_lines():
    rows = "".join("<tr><td>%d</td><td>row %d</td></tr>\n" % (i, i) for i in range(600))
    return ("<html><body><table>\n" + rows + "</table></body></html>\n").encode("ascii")


ROMANIAN = (
    "\u00cen aceast\u0103 \u0163ar\u0103, \u015ftiin\u0163a \u015fi "
    "\u00eenv\u0103\u0163\u0103m\u00e2ntul sunt la mare pre\u0163. "
    "\u0162\u0103ranii \u00ee\u015fi m\u00e2n\u0103 boii pe c\u00e2mp."
)
RUSSIAN = "\u0421\u044a\u0435\u0448\u044c \u0436\u0435 \u0435\u0449\u0451 \u044d\u0442\u0438\u0445 \u043c\u044f\u0433\u043a\u0438\u0445 \u0444\u0440\u0430\u043d\u0446\u0443\u0437\u0441\u043a\u0438\u0445 \u0431\u0443\u043b\u043e\u043a."
JAPANESE = "\u3053\u3093\u306b\u3061\u306f\u3001\u4e16\u754c\u3002\u65e5\u672c\u8a9e\u306e\u30da\u30fc\u30b8\u3067\u3059\u3002"
MIXED_UNICODE = "\u00dcn\u00efc\u00f6d\u00e9 \u20ac \u65e5\u672c\u8a9e \u03b1\u03b2\u03b3"


def pages():
    made = []

    def page(name, data, **kw):
        made.append(Page(name, data, **kw))

    # Line breaks.
    page("lf-lower.html",
         b"<html>\n<head>\n<title>Lower case</title>\n</head>\n<body>\n"
         b"<p>one</p>\n<p>two</p>\n</body>\n</html>\n")
    page("crlf-upper.html",
         b"<HTML>\r\n<HEAD>\r\n<TITLE>Upper Case</TITLE>\r\n</HEAD>\r\n<BODY BGCOLOR=\"#FFFFFF\">\r\n"
         b"<H1>Heading</H1>\r\n<P>Text<BR>more</P>\r\n</BODY>\r\n</HTML>\r\n")
    page("cr-only.html",
         b"<html>\r<body>\r<p>Old Mac line breaks</p>\r<p>second</p>\r</body>\r</html>\r")
    page("mixed-breaks.html",
         b"<html>\n<body>\r\n<p>lf then crlf</p>\r<p>cr</p>\n\r\n\r<p>after empty lines</p>\r\n"
         b"</body>\n</html>")
    page("no-final-break.html", b"<html><body>\n<p>no line break at the end</p>\n</body></html>")
    page("ends-with-cr.html", b"<p>first</p>\r\n<p>ends with a lone CR</p>\r")
    page("trailing-empty-lines.html", b"<p>text</p>\r\n\r\n\r\n\r\n")
    page("empty.html", b"")
    page("single-break.html", b"\n")
    page("whitespace-only.html", b"  \t \r\n\r\n \t")
    page("tabs-and-spaces.html",
         b"<ul>\n\t<li>tab</li>   \n    <li>spaces</li>\t\t\n\t \t<li>both</li>\n</ul>  \n")

    # Markup of all sorts.
    page("only-link.html", b'<a href="x">y</a>\n')
    page("title-only.html", b"<title>Just a title</title>")
    page("script-style.html",
         b"<html><head><title>Script and style</title>\n"
         b"<style type=\"text/css\">\nbody { color: #333; }\np:before { content: \"</p>\"; }\n</style>\n"
         b"<script type=\"text/javascript\">\n"
         b"var s = \"</div><p>\" + '<!--' ;\nif (a < b && c > d) { document.write(\"<b>\"); }\n"
         b"</script>\n</head>\n<body onload=\"init()\"><p>body</p></body></html>\n")
    page("comments.html",
         b"<!DOCTYPE html>\n<!-- a comment -->\n<html><!-- <p>not a tag</p> -->\n<body>\n"
         b"<!---->\n<!-- two -- dashes -->\n<p>text</p>\n<!-- never closed\n</body></html>\n")
    page("entities.html",
         b"<p>&amp; &lt; &gt; &quot; &eacute; &#233; &#xE9; &#x20AC; &nbsp; &copy;</p>\n"
         b"<p>&bogus; &amp &#; &#xZZ; AT&T</p>\n")
    page("unclosed.html",
         b"<table><tr><td><b><i>never closed\n<p attr=\"unterminated>\n<a href=x\n<")
    page("upper-meta-utf8.html",
         b"<HTML><HEAD><META CHARSET=\"UTF-8\"><TITLE>Caf\xc3\xa9</TITLE></HEAD>\n"
         b"<BODY><P>Caf\xc3\xa9 \xe2\x80\x9cquoted\xe2\x80\x9d</P></BODY></HTML>\n")
    page("xml-declaration.html",
         b"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
         b"<html xmlns=\"http://www.w3.org/1999/xhtml\"><body><p>na\xefve caf\xe9</p></body></html>\n")
    page("control-bytes.html", b"<p>bell \x07 form feed \x0c escape \x1b end</p>\n")
    page("page with spaces \u00e9.html",
         b"<p>a file name with spaces</p>\n")

    # Encodings.
    page("utf8-declared.html",
         ("<html><head><meta charset=\"utf-8\"><title>UTF-8</title></head>\n<body><p>"
          + MIXED_UNICODE + "</p>\n<p>\U0001F600 emoji</p></body></html>\n").encode("utf-8"))
    page("utf8-undeclared.html",
         ("<p>" + MIXED_UNICODE + "</p>\n<p>\u00e0 la carte</p>\n").encode("utf-8"))
    page("utf8-bom.html",
         b"\xef\xbb\xbf" + ("<p>" + MIXED_UNICODE + "</p>\r\n").encode("utf-8"))
    page("utf8-invalid-bytes.html",
         b"<meta charset=\"utf-8\">\n<p>valid \xc3\xa9 then stray \xff and cut \xc3</p>\n<p>ok</p>\n")
    page("cp1252-declared.html",
         b"<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1252\">"
         b"</HEAD>\r\n<BODY>\r\n<P>caf\xe9 \x93quoted\x94</P>\r\n</BODY></HTML>\r\n")
    page("cp1252-undeclared.html", b"<P>caf\xe9 \x93quoted\x94</P>\r\n<P>na\xefve \x80 5</P>\r\n")
    page("latin1-declared.html",
         b"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">\n"
         b"<p>\xc0 bient\xf4t, \xa9 \xb1 \xbd, undefined: \x81 \x8d \x8f \x90 \x9d</p>\n")
    page("cp1250-romanian.html",
         b"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1250\">"
         b"</head>\r\n<body><p>" + ROMANIAN.encode("cp1250") + b"</p></body></html>\r\n")
    page("cp1250-romanian-undeclared.html",
         b"<p>" + ROMANIAN.encode("cp1250") + b"</p>\r\n")
    page("shift-jis-declared.html",
         b"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">"
         b"</head>\n<body><p>" + JAPANESE.encode("shift_jis") + b"</p></body></html>\n")
    page("shift-jis-undeclared.html",
         b"<p>" + JAPANESE.encode("shift_jis") + b"</p>\n<p>" + JAPANESE.encode("shift_jis") + b"</p>\n")
    page("koi8r-declared.html",
         b"<meta charset=\"koi8-r\">\n<p>" + RUSSIAN.encode("koi8_r") + b"</p>\n")
    page("utf16le-bom.html",
         _utf16("<html><body>\r\n<p>" + MIXED_UNICODE + "</p>\r\n</body></html>\r\n", "le"),
         typed="x".encode("utf-16-le"))
    page("utf16be-bom.html",
         _utf16("<html><body>\n<p>" + JAPANESE + "</p>\n</body></html>\n", "be"),
         typed="x".encode("utf-16-be"))
    # UTF-16 of ASCII text without a mark: its zero bytes are valid UTF-8 too, and the
    # program reads it as UTF-8 with NULs in it today (the typed x is one byte), before
    # looking for UTF-16's pattern of zeros. Its bytes survive either way.
    page("utf16le-no-bom.html",
         "<html><body>\n<p>UTF-16 without a mark</p>\n</body></html>\n".encode("utf-16-le"))

    # Sizes.
    page("long-line.html", _long_line())
    page("long-utf8-line.html", _long_utf8_line())
    page("many-lines.html", _many_lines())

    # Not a page at all: a GIF image under an .html name.
    page("picture.html",
         b"GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff!\xf9\x04\x01\x00\x00\x00\x00"
         b",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02D\x01\x00;",
         refused=True)
    return made


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_corpus.py FOLDER")
    folder = Path(sys.argv[1])
    folder.mkdir(parents=True, exist_ok=True)
    for made in pages():
        (folder / made.name).write_bytes(made.data)
    print("%d pages written to %s" % (len(pages()), folder))


if __name__ == "__main__":
    main()
