#include "qt/gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace qtui {

QString fromGbk(std::string_view bytes) {
  // Stateless, so that a broken byte sequence in one text never affects the next.
  thread_local QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
  return decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

QByteArray toGbk(const QString& text) {
  thread_local QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
  return encoder.encode(text);
}

}  // namespace qtui
