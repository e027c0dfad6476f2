#pragma once
// The glue between the engine's plain types and Qt's, in one place: texts, and
// colours stored as the Windows COLORREF does (0x00BBGGRR).

#include <QColor>
#include <QString>
#include <string>

#include "colours.h"

namespace kv::desktop {

inline QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

inline QColor toQColor(storage::ColourValue bgr) {
    const auto v = static_cast<unsigned>(bgr);
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                  static_cast<int>((v >> 16) & 0xFF));
}

inline storage::ColourValue toColourValue(const QColor& c) {
    return static_cast<storage::ColourValue>(static_cast<unsigned>(c.red()) |
                                             static_cast<unsigned>(c.green()) << 8 |
                                             static_cast<unsigned>(c.blue()) << 16);
}

}  // namespace kv::desktop
