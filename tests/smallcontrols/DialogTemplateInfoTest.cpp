// Reading a dialog template's font and base units before the dialog exists.
#include "SmallControlsSupport.h"

#include "DialogTemplateInfo.h"

namespace {

HINSTANCE Module() { return ::GetModuleHandleA(nullptr); }

TEST(DialogTemplateInfo, ATemplateWithoutAFontUsesTheSystemBaseUnits) {
  CDialogTemplateInfo info;
  ASSERT_TRUE(info.Open(Module(), 9001));
  EXPECT_FALSE(info.extended);
  WORD size = 1, weight = 1;
  BOOL italic = TRUE;
  CString face = "x";
  EXPECT_TRUE(info.GetFont(size, weight, italic, face));
  EXPECT_EQ(size, 0);
  EXPECT_EQ(weight, 0);
  EXPECT_FALSE(italic);
  EXPECT_TRUE(face.IsEmpty());
  int cx = 0, cy = 0;
  EXPECT_TRUE(info.GetBaseUnits(cx, cy));
  EXPECT_EQ(cx, LOWORD(::GetDialogBaseUnits()));
  EXPECT_EQ(cy, HIWORD(::GetDialogBaseUnits()));
  EXPECT_EQ(info.GetSizeInDialogUnits().cx, 120);
  EXPECT_EQ(info.GetSizeInDialogUnits().cy, 60);
}

TEST(DialogTemplateInfo, ClassicAndExtendedFontsAreReadFromTheTemplate) {
  CDialogTemplateInfo classic;
  ASSERT_TRUE(classic.Open(Module(), 9002));
  WORD size = 0, weight = 0;
  BOOL italic = TRUE;
  CString face;
  EXPECT_TRUE(classic.GetFont(size, weight, italic, face));
  EXPECT_EQ(size, 8);
  EXPECT_EQ(weight, FW_NORMAL);
  EXPECT_FALSE(italic);
  EXPECT_STREQ(face, "MS Shell Dlg");
  EXPECT_EQ(classic.GetSizeInDialogUnits().cx, 200);

  CDialogTemplateInfo extended;
  ASSERT_TRUE(extended.Open(Module(), 9003));
  EXPECT_TRUE(extended.extended);
  EXPECT_TRUE(extended.GetFont(size, weight, italic, face));
  EXPECT_EQ(size, 12);
  EXPECT_EQ(weight, 700);
  EXPECT_TRUE(italic);
  EXPECT_STREQ(face, "Tahoma");
  EXPECT_EQ(extended.GetSizeInDialogUnits().cx, 150);
  EXPECT_EQ(extended.GetSizeInDialogUnits().cy, 80);
  EXPECT_FALSE(CDialogTemplateInfo().Open(Module(), 9999));
}

// The units must be the ones the system uses when it makes a dialog from the same template.
TEST(DialogTemplateInfo, BaseUnitsMatchTheDialogTheSystemMakes) {
  for (UINT id : {9002u, 9003u}) {
    CDialogTemplateInfo info;
    ASSERT_TRUE(info.Open(Module(), id));
    int cx = 0, cy = 0;
    ASSERT_TRUE(info.GetBaseUnits(cx, cy));
    HWND dialog = ::CreateDialogParamA(
        Module(), MAKEINTRESOURCEA(id), nullptr, [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; },
        0);
    ASSERT_NE(dialog, nullptr);
    RECT rect = {0, 0, 400, 800};
    ::MapDialogRect(dialog, &rect);
    ::DestroyWindow(dialog);
    EXPECT_EQ(CDialogTemplateInfo::WidthToPixels(400, cx), rect.right) << id;
    EXPECT_EQ(CDialogTemplateInfo::HeightToPixels(800, cy), rect.bottom) << id;
  }
}

}  // namespace
