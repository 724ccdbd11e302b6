#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>

namespace vellumo {

// What the Page Generator's fields hold, each text exactly as typed.
struct SearchPageFields {
    QString title;
    QString url;
    QString description;
    // In reading order: first row left to right, then the second row.
    std::array<QString, 8> keywords;
    // Off when the user ticked "Do not forward to this page automatically".
    bool forward = true;
};

// The message that stops generation, or an empty string when the fields will do.
// Only the first problem is reported; spaces count as text.
QString searchPageProblem(const SearchPageFields &fields);

// The page, one entry per line of the file. The markup is a fixed mixture of cases
// whatever tag case the user chose; `quote` goes around every attribute value and
// `homePage` is the address in the footer link.
QStringList searchPageLines(const SearchPageFields &fields, const QString &quote,
                            const QString &homePage);

// The bytes of the page file, the lines separated by CR LF: Windows-1252 when every
// character fits (what a browser assumes of a page that declares no encoding),
// otherwise UTF-8 with a byte-order mark, which browsers honour without a declaration.
QByteArray searchPageBytes(const QStringList &lines);

} // namespace vellumo
