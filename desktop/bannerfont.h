#pragma once
// The bold condensed face of the "Kalvex4" banners, from whatever this machine
// has: fontconfig answers a missing "Impact" with any font, symbols included.

#include <QFont>

namespace kv::desktop {

QFont bannerFont(int pixelSize);

// Whether font really draws every letter of text: not with a fallback's boxes,
// nor with the pictures of a symbol face that stands in for a missing one.
bool drawsAll(const QFont& font, const QString& text);

}  // namespace kv::desktop
