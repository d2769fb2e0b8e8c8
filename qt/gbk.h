// Texts on the wire and in the calculator's inputs are GBK (code page 936)
// bytes; the widgets show Unicode.
#pragma once

#include <QByteArray>
#include <QString>
#include <string_view>
#include "qt/res_names.h"

namespace qtui {

QString fromGbk(std::string_view bytes);
QByteArray toGbk(const QString& text);

}  // namespace qtui
