#include "bannerfont.h"

#include <QFontDatabase>
#include <QRawFont>

namespace kv::desktop {

namespace {

struct Face {
    const char* family;
    bool heavy;  // drawn heavy already: emboldening would smear it
};

// Display faces first, then the narrow and condensed sans faces of common
// desktops, then any sans face.
constexpr Face kFaces[] = {{"Impact", true},
                           {"Haettenschweiler", true},
                           {"Oswald", false},
                           {"Nimbus Sans Narrow", false},
                           {"Liberation Sans Narrow", false},
                           {"Arial Narrow", false},
                           {"DejaVu Sans", false},
                           {"Liberation Sans", false},
                           {"Noto Sans", false}};

}  // namespace

bool drawsAll(const QFont& font, const QString& text) {
    const QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid()) return false;
    // A symbol face (Dingbats) has a glyph for each letter: a picture.
    if (QFontDatabase::writingSystems(raw.familyName()).contains(QFontDatabase::Symbol))
        return false;
    for (const QChar c : text)
        if (!raw.supportsCharacter(c)) return false;
    return true;
}

QFont bannerFont(int pixelSize) {
    for (const Face& face : kFaces) {
        if (!QFontDatabase::hasFamily(face.family)) continue;
        QFont f(face.family);
        f.setPixelSize(pixelSize);
        if (!face.heavy) {
            f.setBold(true);
            f.setStretch(QFont::Condensed);
        }
        if (drawsAll(f, "Kalvex4")) return f;
    }
    QFont f;
    f.setPixelSize(pixelSize);
    f.setBold(true);
    return f;
}

}  // namespace kv::desktop
