#include "keys/log/keyboard_list_format.h"

#include "keys/line_builder.h"
#include "keys/source/keyboard_device_id.h"

namespace {

LineBuilder& hex4(LineBuilder& out, uint16_t value) {
  for (int shift = 12; shift >= 0; shift -= 4) out.put("0123456789ABCDEF"[value >> shift & 0xF]);
  return out;
}

void text_description(LineBuilder& out, const KeyboardDevice& device) {
  char description[sizeof device.name + sizeof device.id + 8];
  keyboard_device_describe(device, description, sizeof description);
  out.text(description);
}

// "device":1,"id":"VID_845E&PID_0002","vendor":"845E","product":"0002","name":"..."
// with null for what is not known.
void json_fields(LineBuilder& out, const KeyboardDevice& device) {
  out.text("\"device\":").integer(device.number).text(",\"id\":");
  if (device.id[0] != '\0') out.json_string(device.id);
  else out.text("null");
  out.text(",\"vendor\":");
  if (device.has_vendor) hex4(out.put('"'), device.vendor).put('"');
  else out.text("null");
  out.text(",\"product\":");
  if (device.has_vendor) hex4(out.put('"'), device.product).put('"');
  else out.text("null");
  out.text(",\"name\":");
  if (device.name[0] != '\0') out.json_string(device.name);
  else out.text("null");
}

}  // namespace

void write_log_keyboard(const LogWriter& writer, LogFormat format, const KeyboardDevice& device) {
  LineBuilder out(writer);
  if (format == LogFormat::kText || format == LogFormat::kCsv) {
    out.text("# keyboard ").integer(device.number).text(": ");
    text_description(out, device);
    out.put('\n');
  } else if (format == LogFormat::kJsonl) {
    out.text("{\"type\":\"keyboard\",");
    json_fields(out, device);
    out.text("}\n");
  }
}

void write_keyboards_text(const LogWriter& writer, const KeyboardDevice* devices, int count,
                          const char* filter_text) {
  LineBuilder out(writer);
  out.text("keyboards:");
  if (devices == nullptr || count <= 0) out.text(" none");
  out.put('\n');
  for (int i = 0; devices != nullptr && i < count; ++i) {
    out.text("  ").integer(devices[i].number).pad_to(6);
    text_description(out, devices[i]);
    out.text(", ").integer(devices[i].events).text(devices[i].events == 1 ? " event\n" : " events\n");
  }
  out.flush();
  write_keyboard_filter_text(writer, filter_text);
}

void write_keyboard_filter_text(const LogWriter& writer, const char* filter_text) {
  if (filter_text == nullptr || filter_text[0] == '\0') return;
  LineBuilder out(writer);
  out.text("the map counts ").text(filter_text).text(" only\n");
}

void write_keyboards_json(const LogWriter& writer, const KeyboardDevice* devices, int count) {
  LineBuilder out(writer);
  out.text(",\"keyboards\":[");
  for (int i = 0; devices != nullptr && i < count; ++i) {
    out.text(i > 0 ? ",{" : "{");
    json_fields(out, devices[i]);
    out.text(",\"events\":").integer(devices[i].events).put('}');
  }
  out.put(']');
}

void write_keyboard_filter_json(const LogWriter& writer, const char* filter_text) {
  if (filter_text == nullptr || filter_text[0] == '\0') return;
  LineBuilder out(writer);
  out.text(",\"counted_keyboard\":").json_string(filter_text);
}

int copy_keyboard_list(KeyboardDevice* devices) {
  int count = 0;
  while (devices != nullptr && count < kMaxKeyboardDevices && keyboard_device_copy(count + 1, &devices[count]))
    ++count;
  return count;
}
