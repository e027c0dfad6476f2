#include "entryview.h"

#include "logbook.h"

namespace kv::storage {

EntryView::EntryView(const Profile& log, int slot) : m_log(log), m_section(std::to_string(slot)) {}

std::string EntryView::whole(const char* key, std::string_view missing) const {
    return m_log.readText(m_section, key, missing);
}

bool EntryView::occupied() const {
    return m_log.readString(m_section, "Numer", "none") != "none";
}

std::string EntryView::subject(std::string_view missing) const {
    return decodeText(storedSubject(missing));
}
std::string EntryView::storedSubject(std::string_view missing) const {
    return whole("Tytul", missing);
}
std::string EntryView::text(std::string_view missing) const {
    return decodeText(storedText(missing));
}
std::string EntryView::storedText(std::string_view missing) const {
    return whole("Informacja", missing);
}
std::string EntryView::date(std::string_view missing) const {
    return whole("Data", missing);
}
std::string EntryView::type(std::string_view missing) const {
    return whole("Typ", missing);
}
std::string EntryView::sound(std::string_view missing) const {
    return whole("Dzwiek", missing);
}
std::string EntryView::mode(std::string_view missing) const {
    return m_log.readString(m_section, "wyswietlanie", missing);
}
std::string EntryView::receiver(std::string_view missing) const {
    return whole("odbiorca", missing);
}
std::string EntryView::email(std::string_view missing) const {
    return whole("email", missing);
}
std::string EntryView::page(std::string_view missing) const {
    return whole("strona", missing);
}
std::string EntryView::program(std::string_view missing) const {
    return whole("program", missing);
}
std::string EntryView::file(std::string_view missing) const {
    return whole("plik", missing);
}

}  // namespace kv::storage
