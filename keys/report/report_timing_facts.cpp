#include "keys/report/report_timing_facts.h"

#include "keys/key_names.h"
#include "keys/record/key_timings.h"
#include "keys/report/report_escape.h"
#include "keys/report/report_facts.h"

namespace {

constexpr char kMs[] = " ms";
constexpr char kS[] = " s";

constexpr uint64_t kUsPerMs = 1000;
constexpr uint64_t kUsPerS = 1000000;

// value / unit to three significant digits; unit is a power of ten.
LineBuilder& significant(LineBuilder& out, uint64_t value, uint64_t unit) {
  uint64_t step = 1;  // value is rounded to a multiple of step
  while (value / step >= 1000) step *= 10;
  uint64_t digits = value / step;
  if (step > 1 && value % step >= step / 2) ++digits;
  if (digits >= 1000) {  // 999.5 rounded up
    digits /= 10;
    step *= 10;
  }
  if (step >= unit) return out.integer(static_cast<int64_t>(digits * (step / unit)));
  uint64_t divisor = unit / step;
  out.integer(static_cast<int64_t>(digits / divisor));
  uint64_t fraction = digits % divisor;
  if (fraction == 0) return out;
  out.put(out.decimal_mark());
  for (divisor /= 10; fraction != 0; divisor /= 10) {
    out.put(static_cast<char>('0' + fraction / divisor));
    fraction %= divisor;
  }
  return out;
}

uint64_t unit_of(uint64_t us) { return us >= kUsPerS ? kUsPerS : kUsPerMs; }

struct FactForm {
  const char* before_name;
  const char* after_name;
  const char* after_value;
  bool text;  // the text report's names, in lower case where the language writes them so
  LineBuilder& (*escape)(LineBuilder&, const char*);
};
constexpr FactForm kTextForm = {"", ": ", "\n", true, plain_text};
constexpr FactForm kHtmlForm = {"<tr><th>", "</th><td>", "</td></tr>\n", false, html_text};

void write_record_facts(LineBuilder& out, const KeyMapReport& map, const FactForm& form, UiLanguage language) {
  const auto say = [language](UiText id) { return ui_text(language, id); };
  const auto name = [&](UiText id) -> LineBuilder& {
    out.text(form.before_name);
    if (form.text) write_text_fact_name(out, id, language);
    else out.text(say(id));
    return out.text(form.after_name);
  };
  name(UiText::kThresholdFact).integer(map.chatter_ms).text(kMs).text(form.after_value);
  write_chord(name(UiText::kChordFact), map, form.escape).text(form.after_value);
  name(UiText::kEventsFact).integer(map.events);
  if (map.dropped_from_us >= 0) {
    out.text(say(UiText::kNotKeptFrom));
    write_duration(out, map.dropped_from_us);
    out.text(say(UiText::kNotKeptEnd));
  }
  out.text(form.after_value);
  // The name may fill its array: never read past it.
  char source[sizeof map.source_name + 1];
  size_t length = 0;
  for (; length < sizeof map.source_name && map.source_name[length] != '\0'; ++length)
    source[length] = map.source_name[length];
  source[length] = '\0';
  if (length > 0) form.escape(name(UiText::kSourceFact), source).text(form.after_value);
  if (map.restarts > 0) {
    name(UiText::kRestartFact).integer(map.restarts).text(say(map.restarts == 1 ? UiText::kOneTime : UiText::kTimes));
    if (map.restarted_at_us >= 0) {
      out.text(say(UiText::kLastAt));
      write_duration(out, map.restarted_at_us);
      out.text(say(UiText::kIntoRecord));
    }
    out.text(form.after_value);
  }
}

}  // namespace

LineBuilder& write_short_time(LineBuilder& out, int64_t us) {
  const uint64_t value = us > 0 ? static_cast<uint64_t>(us) : 0;
  const uint64_t unit = unit_of(value);
  return significant(out, value, unit).text(unit == kUsPerS ? kS : kMs);
}

LineBuilder& write_bin_range(LineBuilder& out, int bin, const char* dash, UiLanguage language) {
  const int64_t lower = timing_bin_lower_us(bin), upper = timing_bin_upper_us(bin);
  if (lower < 0) return out.put('-');
  if (bin == 0) return write_short_time(out.text(ui_text(language, UiText::kBinBelow)), upper);
  if (upper < 0) return write_short_time(out, lower).text(ui_text(language, UiText::kBinAndUp));
  // Both edges in the lower one's unit: "562-1000 ms", not "562 ms-1 s".
  const uint64_t unit = unit_of(static_cast<uint64_t>(lower));
  significant(out, static_cast<uint64_t>(lower), unit).text(dash);
  return significant(out, static_cast<uint64_t>(upper), unit).text(unit == kUsPerS ? kS : kMs);
}

LineBuilder& write_chord(LineBuilder& out, const KeyMapReport& map,
                         LineBuilder& (*escape)(LineBuilder&, const char*)) {
  if (escape == nullptr) escape = plain_text;
  out.integer(map.view.most_held);
  const char* separator = " (";
  for (int key = 0; key < kKeyIdCount; ++key) {
    if (!map.chord[key]) continue;
    escape(out.text(separator), key_name(key));
    separator = ", ";
  }
  if (separator[0] == ',') out.put(')');
  return out;
}

void write_record_facts_text(LineBuilder& out, const KeyMapReport& map, UiLanguage language) {
  write_record_facts(out, map, kTextForm, language);
}

void write_record_facts_html(LineBuilder& out, const KeyMapReport& map, UiLanguage language) {
  write_record_facts(out, map, kHtmlForm, language);
}

LineBuilder& write_text_fact_name(LineBuilder& out, UiText name, UiLanguage language) {
  const char* text = ui_text(language, name);
  if (ui_table(language).lower_case_names && *text >= 'A' && *text <= 'Z') out.put(static_cast<char>(*text++ - 'A' + 'a'));
  return out.text(text);
}
