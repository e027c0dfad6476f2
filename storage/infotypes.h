#pragma once
// Information types: the list in "style_list.ini" and each type's display
// style in "style.ini", both in the data folder.

#include <string>
#include <vector>

#include "colours.h"
#include "profile.h"

namespace kv::storage {

inline constexpr const char* kDefaultType = "Default";

// "Default" first, then every named section "0".."50" in order.
std::vector<std::string> readTypeList(const Profile& styleList);

struct TypeStyle {
    std::string ramka;  // frame bitmap under the data folder's "data/"
    ColourValue color;
    int size;
    std::string face;
    ColourValue info_color;
    ColourValue groupbox_font_color;
    ColourValue btn_color;
};

// Missing keys (or a missing section or file) take their defaults.
TypeStyle readTypeStyle(const Profile& styles, const std::string& type);

}  // namespace kv::storage
