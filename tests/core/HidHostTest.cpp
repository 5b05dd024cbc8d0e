// What the reader layer reads from a device path and writes as UTF-8.
#include <gtest/gtest.h>

#include "reader/HidDevicePath.h"
#include "reader/Utf8.h"

namespace tavrin {
namespace {

TEST(DevicePath, IdentifiersComeFromTheInterfacePath) {
  const auto ids = IdsFromDevicePath(R"(\\?\HID#VID_046D&PID_C077&MI_00#x)");
  EXPECT_EQ(ids.value().vendorId, 0x046D);
  EXPECT_EQ(ids.value().productId, 0xC077);
  for (const char* path : {R"(\\?\hid#vid_10c4#x)", R"(\\?\hid#vid_10g4&pid_1009#x)",
                           "vid_10c4&pid_10", "hid1009#vid_10c4"})
    EXPECT_FALSE(IdsFromDevicePath(path)) << path;
}

// A serial number or a file's text may hold any character: A, é, €, 😀;
// a value past Unicode adds nothing.
TEST(Utf8, EveryLengthOfCharacterAndNothingBeyondUnicode) {
  std::string text;
  for (const char32_t c : {U'A', U'\u00E9', U'\u20AC', U'\U0001F600', char32_t{0x110000}})
    AppendUtf8(text, c);
  EXPECT_EQ(text, "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
}

}  // namespace
}  // namespace tavrin
