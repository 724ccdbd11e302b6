#pragma once

#include <QString>

namespace vellumo {

// The program's own home page, linked from the pages it generates and the about box.
inline const QString ProgramHomePage = QStringLiteral("https://vellumo.example.org/");

} // namespace vellumo
