// Lets GoogleTest show Qt's texts as text in failure messages, rather than as
// the bytes of the objects.
#pragma once

#include <QChar>
#include <QString>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
inline void PrintTo(QChar character, std::ostream* out) {
  *out << '\'' << QString(character).toStdString() << "' (U+" << std::hex << unsigned{character.unicode()} << std::dec << ')';
}
