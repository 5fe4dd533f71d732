#include "app/tray_menu.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

namespace k7 {
namespace {

// The Big5 bytes of a UTF-8 text, by the C library's converter.
std::string Big5(const std::string& utf8) {
  iconv_t cd = iconv_open("BIG5", "UTF-8");
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
  std::string in = utf8, out(64, '\0');
  char* inp = in.data();
  char* outp = out.data();
  size_t inLeft = in.size(), outLeft = out.size();
  EXPECT_NE(iconv(cd, &inp, &inLeft, &outp, &outLeft), static_cast<size_t>(-1));
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

TEST(TrayMenu, ChineseOnTraditionalChineseSystemsEnglishElsewhere) {
  const TrayMenuTexts& zh = LoadTrayMenuTexts(1028);
  EXPECT_EQ(zh.open, Big5("開啟編輯器"));
  EXPECT_EQ(zh.reload, Big5("重新載入"));
  EXPECT_EQ(zh.disable, Big5("停收訊號"));
  EXPECT_EQ(zh.enable, Big5("開始收訊號"));
  EXPECT_EQ(zh.exit, Big5("離開"));
  EXPECT_EQ(zh.events, Big5("事件記錄..."));
  for (uint16_t lang : {1033, 2052, 3076, 1041, 0}) {
    const TrayMenuTexts& en = LoadTrayMenuTexts(lang);
    EXPECT_STREQ(en.open, "Open Editer");
    EXPECT_STREQ(en.reload, "Reload");
    EXPECT_STREQ(en.disable, "Disable");
    EXPECT_STREQ(en.enable, "Enable");
    EXPECT_STREQ(en.exit, "Exit");
    EXPECT_STREQ(en.events, "Events...");
  }
}

TEST(TrayMenu, TheThirdItemFollowsTheDisabledFlag) {
  const TrayMenuTexts& en = LoadTrayMenuTexts(1033);
  auto enabled = BuildTrayMenu(en, false);
  ASSERT_EQ(enabled.size(), 5u);
  EXPECT_EQ(enabled[0].id, 201);
  EXPECT_EQ(enabled[1].id, 202);
  EXPECT_EQ(enabled[2].id, 203);
  EXPECT_STREQ(enabled[2].text, "Disable");
  EXPECT_EQ(enabled[3].id, 206);
  EXPECT_EQ(enabled[4].id, 205);
  auto disabled = BuildTrayMenu(en, true);
  EXPECT_EQ(disabled[2].id, 204);
  EXPECT_STREQ(disabled[2].text, "Enable");
  EXPECT_STREQ(BuildTrayMenu(LoadTrayMenuTexts(1028), true)[2].text,
               LoadTrayMenuTexts(1028).enable);
}

}  // namespace
}  // namespace k7
