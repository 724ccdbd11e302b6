#pragma once

#include "editor/page_file.h"

#include <QByteArrayView>

#include <optional>

namespace vellumo {

// The encoding a page declares in its head (<meta charset="..."> or
// <meta http-equiv="Content-Type" content="text/html; charset=...">), when it names
// one this program can read and write back byte for byte.
std::optional<TextEncoding> declaredEncoding(QByteArrayView bytes);

// For bytes that are not UTF-8: ISO-8859-1 when the detector says so and no byte
// falls in the range where the two differ, else Windows-1252.
TextEncoding guessSingleByteEncoding(QByteArrayView bytes);

} // namespace vellumo
