// Writing the calendar: libical folds long lines, ends them with CRLF and
// escapes line breaks, commas and semicolons; the texts come in clean.

#include <libical/ical.h>

#include <QString>
#include <memory>

#include "icalendar.h"

namespace kv::cli {

namespace {

struct ComponentFree {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using Component = std::unique_ptr<icalcomponent, ComponentFree>;

icaltimetype dateValue(const QDate& d) {
    icaltimetype t = icaltime_null_date();
    t.year = d.year();
    t.month = d.month();
    t.day = d.day();
    return t;
}

void addX(icalcomponent* event, const char* name, const std::string& value) {
    if (value.empty()) return;
    icalproperty* p = icalproperty_new_x(cleanText(value, false).c_str());
    icalproperty_set_x_name(p, name);
    icalcomponent_add_property(event, p);
}

// "The last of the 28th to the day-th": the day itself, or the last of a
// month that lacks it, as the logs show it.
void lastDayUpTo(icalrecurrencetype& rule, int day) {
    int k = 0;
    for (int d = 28; d <= day; ++d) rule.by_month_day[k++] = static_cast<short>(d);
    rule.by_month_day[k] = ICAL_RECURRENCE_ARRAY_MAX;
    rule.by_set_pos[0] = -1;
    rule.by_set_pos[1] = ICAL_RECURRENCE_ARRAY_MAX;
}

void addRule(icalcomponent* event, storage::DisplayMode mode, const QDate& start) {
    if (mode == storage::DisplayMode::Once) return;
    icalrecurrencetype rule;
    icalrecurrencetype_clear(&rule);
    rule.freq =
        mode == storage::DisplayMode::Yearly ? ICAL_YEARLY_RECURRENCE : ICAL_MONTHLY_RECURRENCE;
    if (mode == storage::DisplayMode::Monthly && start.day() > 28) lastDayUpTo(rule, start.day());
    if (mode == storage::DisplayMode::Yearly && start.month() == 2 && start.day() == 29) {
        rule.by_month[0] = 2;
        rule.by_month[1] = ICAL_RECURRENCE_ARRAY_MAX;
        lastDayUpTo(rule, 29);
    }
    icalcomponent_add_property(event, icalproperty_new_rrule(rule));
}

// The alarm that shows the subject when the day begins.
icalcomponent* displayAlarm(const std::string& summary) {
    icalcomponent* alarm = icalcomponent_new(ICAL_VALARM_COMPONENT);
    icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
    icaltriggertype trigger;
    trigger.time = icaltime_null_time();
    trigger.duration = icaldurationtype_from_int(0);
    icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
    icalcomponent_add_property(alarm, icalproperty_new_description(summary.c_str()));
    return alarm;
}

icalcomponent* eventComponent(const Event& e, const icaltimetype& stamp) {
    icalcomponent* event = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    const std::string summary = cleanText(e.summary, true);
    icalcomponent_add_property(event, icalproperty_new_uid(e.uid.c_str()));
    icalcomponent_add_property(event, icalproperty_new_dtstamp(stamp));
    icalcomponent_add_property(event, icalproperty_new_dtstart(dateValue(e.start)));
    addRule(event, e.mode, e.start);
    icalcomponent_add_property(event, icalproperty_new_summary(summary.c_str()));
    if (!e.description.empty())
        icalcomponent_add_property(
            event, icalproperty_new_description(cleanText(e.description, true).c_str()));
    if (e.url && !e.url->empty())
        icalcomponent_add_property(event, icalproperty_new_url(cleanText(*e.url, false).c_str()));
    addX(event, "X-KALVEX4-DATE", e.date);
    addX(event, "X-KALVEX4-TYPE", e.type);
    addX(event, "X-KALVEX4-SOUND", e.sound);
    addX(event, "X-KALVEX4-RECEIVER", e.receiver);
    addX(event, "X-KALVEX4-EMAIL", e.email.value_or(""));
    addX(event, "X-KALVEX4-PROGRAM", e.program.value_or(""));
    addX(event, "X-KALVEX4-FILE", e.file.value_or(""));
    icalcomponent_add_component(event, displayAlarm(summary.empty() ? "Kalvex4" : summary));
    return event;
}

}  // namespace

std::string cleanText(const std::string& text, bool lineBreaks) {
    // Bytes that are not UTF-8 (a log written in another code page) become U+FFFD.
    const QString in = QString::fromUtf8(text.data(), qsizetype(text.size()));
    QString out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        const QChar c = in[i];
        if (c == '\r' && i + 1 < in.size() && in[i + 1] == '\n') continue;
        if ((c == '\n' || c == '\r') && lineBreaks)
            out += '\n';
        else if (c.category() == QChar::Other_Control)
            out += ' ';
        else
            out += c;
    }
    return out.toStdString();
}

std::string writeCalendar(const std::vector<Event>& events, const QDateTime& stamp) {
    Component calendar(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(),
                               icalproperty_new_prodid("-//Wendrik//Kalvex4 " KV_VERSION "//EN"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_calscale("GREGORIAN"));
    const QDateTime utc = stamp.toUTC();
    icaltimetype when =
        icaltime_from_timet_with_zone(utc.toSecsSinceEpoch(), 0, icaltimezone_get_utc_timezone());
    for (const Event& e : events)
        icalcomponent_add_component(calendar.get(), eventComponent(e, when));
    char* bytes = icalcomponent_as_ical_string_r(calendar.get());
    std::string text(bytes);
    icalmemory_free_buffer(bytes);
    return text;
}

}  // namespace kv::cli
