#include "infotypes.h"

namespace kv::storage {

namespace {
constexpr const char* kNoName = "none?";
constexpr const char* kBadName =
    "B\xC5\x82\xC4\x85"
    "d. Prosz\xC4\x99 nie wybiera\xC4\x87 tej pozycji.";
constexpr ColourValue kMessageColour = 144470;
}  // namespace

std::vector<std::string> readTypeList(const Profile& styleList) {
    IniDocument doc = styleList.snapshot();
    std::vector<std::string> types{kDefaultType};
    for (int n = 0; n <= 50; ++n) {
        const std::string section = std::to_string(n);
        if (doc.read(section, "Nazwa", kNoName) != kNoName)
            types.push_back(doc.read(section, "Nazwa", kBadName));
    }
    return types;
}

TypeStyle readTypeStyle(const Profile& styles, const std::string& type) {
    // Private entries once defaulted to an out-of-range colour; every log now
    // shares the readable default.
    IniDocument doc = styles.snapshot();
    auto colour = [&](const char* key, ColourValue def) {
        return parseProfileInteger(doc.read(type, key, "")).value_or(def);
    };
    std::string face = doc.read(type, "face", "verdana");
    if (face.size() > 255) face.resize(255);
    return TypeStyle{doc.read(type, "ramka", "default.bmp"),
                     colour("color", kMessageColour),
                     colour("size", 8),
                     face,
                     colour("info_color", 15987699),
                     colour("groupbox_font_color", 3947580),
                     colour("btn_color", 14933984)};
}

}  // namespace kv::storage
