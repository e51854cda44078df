// The icon and version information linked into the program: the window's
// class carries the program's icon, and Windows reads the version text.
#include <string>

#include "window_test_support.h"

namespace {

class ProgramIconTest : public GdiScreenTest {};

// The test program links the same resource script as klimperdetektor.exe.
TEST_F(ProgramIconTest, WindowClassCarriesTheProgramsIcon) {
  open_screen();
  const auto icon = reinterpret_cast<HICON>(GetClassLongPtrA(window(), GCLP_HICON));
  ASSERT_NE(icon, nullptr);
  EXPECT_NE(icon, LoadIconA(nullptr, IDI_APPLICATION));
  EXPECT_EQ(icon, LoadIconA(GetModuleHandleA(nullptr), "ZQ_PROGRAM_ICON"));
}

TEST(ProgramIcon, HoldsSixteenThirtyTwoAndFortyEightPixels) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, "ZQ_PROGRAM_ICON", MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  ASSERT_NE(found, nullptr);
  auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
  ASSERT_NE(directory, nullptr);
  // Group directory: reserved, type 1, count, then 14-byte entries whose
  // first byte is the width.
  const int count = directory[4] | (directory[5] << 8);
  std::vector<int> widths;
  for (int i = 0; i < count; ++i) widths.push_back(directory[6 + 14 * i]);
  EXPECT_EQ(widths, (std::vector<int>{16, 32, 48}));
  for (int size : {16, 32, 48}) {
    HICON icon = static_cast<HICON>(LoadImageA(module, "ZQ_PROGRAM_ICON", IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr) << size;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour{};
    GetObjectA(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, size);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}

// klimperdetektor.exe stands one directory above the test program.
std::string program_path() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string text(path);
  text.erase(text.find_last_of("\\/") + 1);
  return text + "..\\klimperdetektor.exe";
}

std::string version_text(const std::vector<char>& block, const char* name) {
  char* value = nullptr;
  UINT length = 0;
  const std::string query = std::string("\\StringFileInfo\\040904B0\\") + name;
  if (!VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
    return "(none)";
  return value;
}

TEST(ProgramVersion, WindowsReadsProductDescriptionVersionAndCopyright) {
  const std::string path = program_path();
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
  ASSERT_GT(size, 0u) << path;
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));
  EXPECT_EQ(version_text(block, "ProductName"), "klimperdetektor");
  EXPECT_EQ(version_text(block, "FileDescription"), "Keyboard scancode viewer");
  EXPECT_EQ(version_text(block, "LegalCopyright"), "Copyright (c) 2026 the klimperdetektor developers");
  EXPECT_EQ(version_text(block, "FileVersion"), ZQ_PROGRAM_VERSION);

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

}  // namespace
