#include "colours.h"

#include <algorithm>

namespace kv::storage {

const std::array<ColourKeyInfo, 18> kColourKeys{{
    {"tlo", "Color 1: background of the program.", 15790062},
    {"czcionka", "Color 2: Color of the main font.", kNearBlack},
    {"listy1", "Color 3: Color of the lists background.", 16382457},
    {"listy2", "Color 4: Color of the detailed lists background.", 16382457},
    {"listy1_font", "Color 5: Color of the lists fonts.", kNearBlack},
    {"listy2_font", "Color 6: Color of the detailed lists fonts.", kNearBlack},
    {"logo", "Color 7: Color of the Kalvex logo.", 5391418},
    {"logo_font", "Color 8: Color of the Kalvex logo's font.", kLightFont},
    {"logo2", "Color 9: Color of the status field.", 6841442},
    {"logo2_font", "Color 10: Color of the status field's font.", kStatusFont},
    {"btn1", "Color 11: Color of the button set 1 (absolete).", 16250101},
    {"btn2", "Color 12: Color of the button set 2 (absolete).", 16250101},
    {"btn1_font", "Color 13: Button set 1 - fonts (absolete).", kButtonFont},
    {"btn2_font", "Color 14: Button set 2 - fonts (absolete).", kButtonFont},
    {"log_page", "Color 15: Private log page.", 15790062},
    {"log_staly_page", "Color 16: Static log page.", 15790062},
    {"log_glowny_page", "Color 17: Public log page.", 15790062},
    {"timer_page", "Color 18: Timer page.", 15790062},
}};

ColourValue paintDefault(std::string_view key) {
    for (const ColourKeyInfo& info : kColourKeys)
        if (key == info.key) return info.def;
    return kNearBlack;
}

ColourRules withBackgrounds(ColourRules rules) {
    const std::size_t given = rules.size();
    for (std::size_t i = 0; i < given; ++i) {
        if (rules[i].role != ColourRole::Font) continue;
        const std::string object = rules[i].object;
        const bool hasBackground =
            std::any_of(rules.begin(), rules.end(), [&](const ColourRule& r) {
                return r.object == object && r.role == ColourRole::Background;
            });
        if (!hasBackground)
            rules.push_back({object, ColourRole::Background, "tlo", paintDefault("tlo")});
    }
    return rules;
}

std::vector<ColourValue> readColours(const Profile& colourFile, const ColourRules& rules) {
    // One snapshot: the file is open only for the moment of colouring.
    IniDocument doc = colourFile.snapshot();
    std::vector<ColourValue> values;
    values.reserve(rules.size());
    for (const ColourRule& r : rules)
        values.push_back(parseProfileInteger(doc.read(kColourSection, r.key, "")).value_or(r.def));
    return values;
}

ColourRules notificationColourRules() {
    using R = ColourRole;
    auto d = paintDefault;
    return {
        {"", R::Background, "tlo", d("tlo")},
        {"", R::Font, "czcionka", d("czcionka")},
        {"info", R::Background, "listy1", d("listy1")},
        {"info", R::Font, "listy1_font", d("listy1_font")},
        {"GroupBox2", R::Font, "czcionka", d("czcionka")},
        {"Color95Button1", R::Background, "btn1", d("btn1")},
        {"Color95Button1", R::Font, "btn1_font", d("btn1_font")},
        {"Color95Button2", R::Background, "btn2", d("btn2")},
        {"Color95Button2", R::Font, "btn2_font", d("btn2_font")},
        {"stronabtn", R::Background, "btn2", d("btn2")},
        {"stronabtn", R::Font, "btn2_font", d("btn2_font")},
        {"programbtn", R::Background, "btn1", d("btn1")},
        {"programbtn", R::Font, "btn1_font", d("btn1_font")},
        {"plikbtn", R::Background, "btn2", d("btn2")},
        {"plikbtn", R::Font, "btn2_font", d("btn2_font")},
    };
}

namespace {

// Every default is the key's own (kColourKeys).
ColourRule font(const std::string& object, const char* key) {
    return {object, ColourRole::Font, key, paintDefault(key)};
}

void both(ColourRules& rules, const std::string& object, const char* background,
          const char* fontKey) {
    rules.push_back({object, ColourRole::Background, background, paintDefault(background)});
    rules.push_back(font(object, fontKey));
}

}  // namespace

ColourRules entryColourRules(const std::string& cancelButton) {
    using R = ColourRole;
    ColourRules rules;
    both(rules, "", "tlo", "czcionka");
    for (const char* list1 : {"informacja", "tytul", "typ", "email", "program_nazwa"})
        both(rules, list1, "listy1", "listy1_font");
    rules.push_back({"kalendarz", R::Background, "listy1", paintDefault("listy1")});
    for (const char* list2 : {"odbiorca_nazwa", "dzwiek", "strona", "plik"})
        both(rules, list2, "listy2", "listy2_font");
    for (const char* group : {"GroupBox1", "GroupBox2", "GroupBox3", "GroupBox4"})
        rules.push_back(font(group, "czcionka"));
    both(rules, "logo", "logo", "logo_font");
    both(rules, "logo2", "logo2", "logo2_font");
    rules.push_back(font(cancelButton, "btn1_font"));
    rules.push_back(font("zapiszbtn", "btn2_font"));
    return rules;
}

ColourRules deleteColourRules() {
    ColourRules rules;
    both(rules, "", "tlo", "czcionka");
    rules.push_back(font("GroupBox1", "czcionka"));
    both(rules, "logo", "logo", "logo_font");
    both(rules, "logo2", "logo2", "logo2_font");
    rules.push_back(font("anulujbtn", "btn1_font"));
    rules.push_back(font("usunbtn", "btn2_font"));
    return rules;
}

ColourRules timerColourRules() {
    ColourRules rules;
    both(rules, "", "tlo", "czcionka");
    rules.push_back(font("GroupBox1", "czcionka"));
    both(rules, "logo", "logo", "logo_font");
    both(rules, "logo2", "logo2", "logo2_font");
    rules.push_back(font("btn1", "btn1_font"));
    both(rules, "info", "listy1", "listy1_font");
    return rules;
}

ColourRules editorColourRules() {
    using R = ColourRole;
    ColourRules rules;
    both(rules, "", "tlo", "czcionka");
    for (const char* list1 :
         {"lista", "zegar2", "hh", "mm", "ss", "timer_info", "lista_stala", "lista_glowna"})
        both(rules, list1, "listy1", "listy1_font");
    for (const char* preview : {"podglad", "podglad_staly", "podglad_glowny"})
        both(rules, preview, "listy2", "listy2_font");
    for (int g = 1; g <= 8; ++g) rules.push_back(font("GroupBox" + std::to_string(g), "czcionka"));
    both(rules, "logo", "logo", "logo_font");
    both(rules, "logo2", "logo2", "logo2_font");
    rules.push_back({"logo3", R::Background, "logo2", paintDefault("logo2")});
    both(rules, "status", "logo2", "logo2_font");
    for (const char* b : {"btn1", "btn3", "btn5", "btn7"}) rules.push_back(font(b, "btn1_font"));
    for (const char* b : {"btn2", "btn4", "btn6"}) rules.push_back(font(b, "btn2_font"));
    return rules;
}

}  // namespace kv::storage
