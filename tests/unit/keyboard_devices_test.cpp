#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "keys/source/key_dispatch.h"
#include "keys/source/keyboard_device_id.h"
#include "keys/source/keyboard_devices.h"

namespace {

TEST(KeyboardDeviceName, MakerAndProductFromEveryKindOfName) {
  struct Case {
    const char* name;
    const char* id;
    bool has_vendor;
    uint16_t vendor, product;
  };
  const Case cases[] = {
      {"\\\\?\\HID#VID_046D&PID_C31C&MI_00#7&2a0c4a8b&0&0000#{884b96c3-56ef-11d1-bc8c-00a0c91e6bf6}",
       "VID_046D&PID_C31C", true, 0x046D, 0xC31C},
      {"\\\\?\\hid#vid_04f2&pid_0112#7&1&0&0000#{884b96c3}", "VID_04F2&PID_0112", true, 0x04F2, 0x0112},
      {"\\??\\HID#VID_845E&PID_0002#0&0000&0&0#{884b96c3-56ef-11d1-bc8c-00a0c91405dd}", "VID_845E&PID_0002",
       true, 0x845E, 0x0002},
      // Bluetooth: the vendor id's source (0002: a USB id) before the vendor.
      {"\\\\?\\HID#{00001124-0000-1000-8000-00805f9b34fb}_VID&0002046d_PID&b342&Col01#8&2b4a&0&0000#{884b}",
       "VID_046D&PID_B342", true, 0x046D, 0xB342},
      {"\\\\?\\HID#{00001812-0000-1000-8000-00805f9b34fb}_Dev_VID&02045e_PID&0b13_REV&0509#9&1#{884b}",
       "VID_045E&PID_0B13", true, 0x045E, 0x0B13},
      // Built in: the plug-and-play id.
      {"\\\\?\\ACPI#PNP0303#4&1d401fb5&0#{884b96c3-56ef-11d1-bc8c-00a0c91e6bf6}", "ACPI\\PNP0303", false, 0, 0},
      {"\\\\?\\Root#RDP_KBD#0000#{884b96c3}", "Root\\RDP_KBD", false, 0, 0},
      {"\\\\?\\HID#ConvertedDevice&Col01#5&3#{884b96c3}", "HID\\ConvertedDevice&Col01", false, 0, 0},
      // Malformed: numbers cut short, too long or not hex; parts missing.
      {"\\\\?\\HID#VID_04&PID_C31C#7#{884b}", "HID\\VID_04&PID_C31C", false, 0, 0},
      {"\\\\?\\HID#VID_046DA&PID_C31C#7#{884b}", "HID\\VID_046DA&PID_C31C", false, 0, 0},
      {"\\\\?\\HID#VID_XY6D&PID_C31C#7", "HID\\VID_XY6D&PID_C31C", false, 0, 0},
      {"\\\\?\\HID#VID_046D#7", "HID\\VID_046D", false, 0, 0},
      {"\\\\?\\HID#_VID&0002046d0_PID&b342#8", "HID\\_VID&0002046d0_PID&b342", false, 0, 0},
      {"\\\\?\\HID#VID_046D\x01\xFF", "HID\\VID_046D??", false, 0, 0},
      {"\\\\?\\HID#", "", false, 0, 0},
      {"#PNP0303", "", false, 0, 0},
      {"no separators at all", "", false, 0, 0},
      {"", "", false, 0, 0},
      {nullptr, "", false, 0, 0},
  };
  for (const Case& c : cases) {
    KeyboardDevice device;
    std::memset(&device, 0x55, sizeof device);
    device.has_vendor = true;
    const bool found = keyboard_device_parse_name(c.name, &device);
    const std::string label = c.name ? c.name : "(null)";
    EXPECT_EQ(found, c.has_vendor) << label;
    EXPECT_EQ(device.has_vendor, c.has_vendor) << label;
    EXPECT_STREQ(device.id, c.id) << label;
    EXPECT_EQ(device.vendor, c.vendor) << label;
    EXPECT_EQ(device.product, c.product) << label;
  }
  // Whatever the length, the id stays within its field.
  std::string long_name = "\\\\?\\ACPI#" + std::string(300, 'K') + "#1";
  KeyboardDevice device{};
  keyboard_device_parse_name(long_name.c_str(), &device);
  EXPECT_EQ(std::string(device.id), "ACPI\\" + std::string(sizeof device.id - 6, 'K'));
  EXPECT_FALSE(keyboard_device_parse_name("\\\\?\\HID#VID_046D&PID_C31C#7", nullptr));
}

TEST(KeyboardDeviceName, ProductNamesAreCleanedAndCutAtWholeCharacters) {
  struct Case {
    std::string name, stored;
  };
  const std::string umlaut = "\xC3\xBC", euro = "\xE2\x82\xAC";  // 127 bytes fit
  const Case cases[] = {
      {"  Wine HID keyboard  ", "Wine HID keyboard"},
      {"Tab\there\r\nand\x7F", "Tab here  and"},
      {std::string(125, 'x') + umlaut, std::string(125, 'x') + umlaut},
      {std::string(126, 'x') + umlaut, std::string(126, 'x')},
      {std::string(127, 'x') + umlaut, std::string(127, 'x')},
      {std::string(125, 'x') + euro, std::string(125, 'x')},
      {std::string(122, 'x') + "   " + euro, std::string(122, 'x')},
      {"", ""},
  };
  for (const Case& c : cases) {
    KeyboardDevice device{};
    keyboard_device_set_name(&device, c.name.c_str());
    EXPECT_EQ(std::string(device.name), c.stored) << c.name;
  }
  KeyboardDevice device{};
  std::strcpy(device.name, "old");
  keyboard_device_set_name(&device, nullptr);
  EXPECT_STREQ(device.name, "");
  keyboard_device_set_name(nullptr, "x");
}

TEST(KeyboardDeviceName, DescriptionsKeepToTheirBuffer) {
  KeyboardDevice device{};
  char text[200];
  keyboard_device_describe(device, text, sizeof text);
  EXPECT_STREQ(text, "unnamed");
  std::strcpy(device.name, "Wine HID keyboard");
  keyboard_device_describe(device, text, 5);
  EXPECT_STREQ(text, "\"Win");
  keyboard_device_describe(device, text, 0);
  keyboard_device_describe(device, nullptr, 10);
}

TEST(KeyboardDevices, NumberedInTheOrderTheyFirstSentAKey) {
  keyboard_devices_reset();
  EXPECT_EQ(keyboard_device_count(), 0);
  EXPECT_EQ(keyboard_device_find(0x2), kNoKeyDevice);
  EXPECT_EQ(keyboard_device_add(0x2, "\\\\?\\HID#VID_845E&PID_0002#0#{884b}", "Wine HID keyboard"), 1);
  EXPECT_EQ(keyboard_device_add(0x0, nullptr, nullptr), 2);  // input the system made up: no device
  EXPECT_EQ(keyboard_device_find(0x2), 1);
  EXPECT_EQ(keyboard_device_find(0x0), 2);
  for (int i = 0; i < 3; ++i) keyboard_device_count_event(1);
  keyboard_device_count_event(2);
  keyboard_device_count_event(0);
  keyboard_device_count_event(3);

  KeyboardDevice device;
  ASSERT_TRUE(keyboard_device_copy(1, &device));
  EXPECT_EQ(device.number, 1);
  EXPECT_STREQ(device.id, "VID_845E&PID_0002");
  EXPECT_STREQ(device.name, "Wine HID keyboard");
  EXPECT_EQ(device.events, 3);
  ASSERT_TRUE(keyboard_device_copy(2, &device));
  EXPECT_EQ(device.number, 2);
  EXPECT_STREQ(device.id, "");
  EXPECT_STREQ(device.name, "");
  EXPECT_FALSE(device.has_vendor);
  EXPECT_EQ(device.events, 1);
  for (int number : {0, 3, -1, 1 << 30}) EXPECT_FALSE(keyboard_device_copy(number, &device)) << number;
  EXPECT_FALSE(keyboard_device_copy(1, nullptr));

  // Plugged in again under a new handle: the same keyboard, the same number.
  EXPECT_EQ(keyboard_device_add(0x9, "\\\\?\\HID#VID_845E&PID_0002#0#{884b}", "other"), 1);
  EXPECT_EQ(keyboard_device_find(0x9), 1);
  EXPECT_EQ(keyboard_device_count(), 2);
  // Unnamed ones are told apart by their handles only.
  EXPECT_EQ(keyboard_device_add(0x7, "", nullptr), 3);

  keyboard_devices_reset();
  EXPECT_EQ(keyboard_device_count(), 0);
  EXPECT_EQ(keyboard_device_find(0x2), kNoKeyDevice);
}

TEST(KeyboardDevices, AFullListGivesNoNumber) {
  keyboard_devices_reset();
  for (int i = 1; i <= kMaxKeyboardDevices; ++i)
    EXPECT_EQ(keyboard_device_add(static_cast<uintptr_t>(100 + i), nullptr, nullptr), i);
  EXPECT_EQ(keyboard_device_add(500, "\\\\?\\HID#VID_1234&PID_5678#0", "extra"), kNoKeyDevice);
  EXPECT_EQ(keyboard_device_find(500), kNoKeyDevice);
  EXPECT_EQ(keyboard_device_count(), kMaxKeyboardDevices);
  keyboard_devices_reset();
}

}  // namespace
