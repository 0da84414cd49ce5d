// Select All, the drag image and printing: pages printed into an enhanced metafile (there is no
// printer here) whose text records the tests read back.
#include "GridTestSupport.h"

#include "WindowShot.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

using gridtest::Fixture;

namespace {

struct PrintedText {
  std::string text;
  POINT at;
};

struct Collected {
  std::vector<PrintedText> texts;
  POINT origin{0, 0};  // the window origin in force: positions are kept relative to the page
};

int CALLBACK CollectText(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM lParam) {
  auto* collected = reinterpret_cast<Collected*>(lParam);
  auto* texts = &collected->texts;
  const POINT origin = collected->origin;
  auto onPage = [origin](POINTL p) { return POINT{p.x - origin.x, p.y - origin.y}; };
  if (record->iType == EMR_SETWINDOWORGEX) {
    const auto* set = reinterpret_cast<const EMRSETWINDOWORGEX*>(record);
    collected->origin = POINT{set->ptlOrigin.x, set->ptlOrigin.y};
  } else if (record->iType == EMR_EXTTEXTOUTW) {
    const auto* out = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
    const auto* chars =
        reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) + out->emrtext.offString);
    std::string text;
    for (DWORD i = 0; i < out->emrtext.nChars; ++i) text += static_cast<char>(chars[i]);
    texts->push_back({text, onPage(out->emrtext.ptlReference)});
  } else if (record->iType == EMR_EXTTEXTOUTA) {
    const auto* out = reinterpret_cast<const EMREXTTEXTOUTA*>(record);
    const char* chars = reinterpret_cast<const char*>(record) + out->emrtext.offString;
    texts->push_back({std::string(chars, out->emrtext.nChars), onPage(out->emrtext.ptlReference)});
  }
  return 1;
}

// Prints one page of the grid and returns its texts (and, with a name, saves a picture of it).
std::vector<PrintedText> PrintPage(CGridCtrl& g, CPrintInfo& info, UINT page, const char* shot = nullptr) {
  HDC metafile = ::CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  CDC dc;
  dc.Attach(metafile);
  info.m_nCurPage = page;
  g.OnPrint(&dc, &info);
  dc.Detach();
  HENHMETAFILE recorded = ::CloseEnhMetaFile(metafile);
  Collected collected;
  ::EnumEnhMetaFile(nullptr, recorded, &CollectText, &collected, nullptr);
  if (shot != nullptr) {
    HDC screen = ::GetDC(nullptr);
    const int width = ::GetDeviceCaps(screen, HORZRES) / 2, height = ::GetDeviceCaps(screen, VERTRES) / 2;
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    RECT all{0, 0, width, height};
    ::FillRect(memory, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::PlayEnhMetaFile(memory, recorded, &all);
    testsupport::SaveDcShot(memory, width, height, shot);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
  }
  ::DeleteEnhMetaFile(recorded);
  return collected.texts;
}

UINT BeginPrinting(CGridCtrl& g, CPrintInfo& info) {
  HDC reference = ::CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  CDC dc;
  dc.Attach(reference);
  g.OnBeginPrinting(&dc, &info);
  dc.Detach();
  ::DeleteEnhMetaFile(::CloseEnhMetaFile(reference));
  return info.GetMaxPage();
}

const PrintedText* Find(const std::vector<PrintedText>& texts, const std::string& text) {
  for (const PrintedText& t : texts)
    if (t.text == text) return &t;
  return nullptr;
}

std::string CellText(int row, int col) {
  char text[32];
  snprintf(text, sizeof(text), "r%dc%d", row, col);
  return text;
}

void FillGrid(CGridCtrl& g) {
  for (int col = 0; col < g.GetColumnCount(); ++col)
    g.SetItemText(0, col, ("Head " + std::to_string(col)).c_str());
  for (int row = 1; row < g.GetRowCount(); ++row)
    for (int col = 0; col < g.GetColumnCount(); ++col) g.SetItemText(row, col, CellText(row, col).c_str());
}

class TestCmdUI : public CCmdUI {
 public:
  int enabled = -1;
  void Enable(BOOL on) override {
    enabled = on ? 1 : 0;
    m_bEnableChanged = TRUE;
  }
};

}  // namespace

TEST(GridSelectAll, TheCommandSelectsEveryCellWhileSelectionIsEnabled) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  g.SendMessage(WM_COMMAND, ID_EDIT_SELECT_ALL);
  EXPECT_EQ(g.GetSelectedCellRange(), CellRange(1, 1, 5, 3));
  TestCmdUI ui;
  ui.m_nID = ID_EDIT_SELECT_ALL;
  EXPECT_TRUE(g.OnCmdMsg(ID_EDIT_SELECT_ALL, static_cast<int>(CN_UPDATE_COMMAND_UI), &ui, nullptr));
  EXPECT_EQ(ui.enabled, 1);
  g.EnableSelection(FALSE);
  TestCmdUI off;
  off.m_nID = ID_EDIT_SELECT_ALL;
  EXPECT_TRUE(g.OnCmdMsg(ID_EDIT_SELECT_ALL, static_cast<int>(CN_UPDATE_COMMAND_UI), &off, nullptr));
  EXPECT_EQ(off.enabled, 0);
  g.SendMessage(WM_COMMAND, ID_EDIT_SELECT_ALL);
  EXPECT_FALSE(g.IsValid(g.GetSelectedCellRange())) << "nothing is selected while selection is off";
}

TEST(GridDragImage, TheFocusCellAsDrawnMaskedWithTheBackground) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  SIZE size{0, 0};
  EXPECT_EQ(g.CreateDragImage(&size), nullptr) << "no focus cell";
  g.SetItemBkColour(2, 2, RGB(255, 0, 0));
  g.SetFocusCell(2, 2);
  std::unique_ptr<CImageList> images(g.CreateDragImage(&size));
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(images->GetImageCount(), 1);
  EXPECT_EQ(size.cx, g.GetColumnWidth(2));
  EXPECT_EQ(size.cy, g.GetRowHeight(2));
  IMAGEINFO info{};
  ASSERT_TRUE(images->GetImageInfo(0, &info));
  EXPECT_EQ(info.rcImage.right - info.rcImage.left, size.cx);
  EXPECT_EQ(info.rcImage.bottom - info.rcImage.top, size.cy);

  // Drawn over green: the cell's own red shows, the grid's background colour is see-through.
  auto pixelOver = [&](CImageList& list) {
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, size.cx, size.cy);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    HBRUSH green = ::CreateSolidBrush(RGB(0, 255, 0));
    RECT all{0, 0, size.cx, size.cy};
    ::FillRect(memory, &all, green);
    ::DeleteObject(green);
    ::ImageList_Draw(list.GetSafeHandle(), 0, memory, 0, 0, ILD_TRANSPARENT);
    const COLORREF pixel = ::GetPixel(memory, 3, 3);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return pixel;
  };
  EXPECT_EQ(pixelOver(*images), RGB(255, 0, 0));
  g.SetFocusCell(3, 2);
  std::unique_ptr<CImageList> plain(g.CreateDragImage(&size));
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(pixelOver(*plain), RGB(0, 255, 0));

  Fixture tall(60, 4);
  tall.grid->SetFocusCell(1, 1);
  tall.grid->SendMessage(WM_VSCROLL, SB_BOTTOM);
  EXPECT_EQ(tall.grid->CreateDragImage(&size), nullptr) << "the focus cell is scrolled out";
}

TEST(GridPrint, AGridOnOnePagePrintsHeaderHeadingsEveryCellAndFooter) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  FillGrid(g);
  f.parent.SetWindowText("Order sheet");
  CPrintInfo info;
  EXPECT_EQ(BeginPrinting(g, info), 1u);
  EXPECT_EQ(info.m_nCurPage, 1u);
  const std::vector<PrintedText> texts = PrintPage(g, info, 1, "grid-printed-page");
  g.OnEndPrinting(nullptr, &info);
  const PrintedText* title = Find(texts, "Grid Tests");
  const PrintedText* owner = Find(texts, "Order sheet");
  const PrintedText* footer = Find(texts, "Page 1 of 1");
  ASSERT_NE(title, nullptr);
  ASSERT_NE(owner, nullptr);
  ASSERT_NE(footer, nullptr);
  EXPECT_GT(title->at.x, owner->at.x) << "the title right-aligned, the owner's text centred";
  EXPECT_GT(owner->at.x, footer->at.x);
  EXPECT_GT(footer->at.y, title->at.y) << "the footer below everything";
  for (int col = 0; col < 4; ++col) EXPECT_NE(Find(texts, "Head " + std::to_string(col)), nullptr) << col;
  for (int row = 1; row < 6; ++row)
    for (int col = 0; col < 4; ++col)
      EXPECT_NE(Find(texts, CellText(row, col)), nullptr) << CellText(row, col);
}

TEST(GridPrint, ATallGridPagesWithoutSplittingARow) {
  Fixture f(120, 3);
  CGridCtrl& g = *f.grid;
  FillGrid(g);
  g.SetRowHeight(7, 3 * g.GetRowHeight(7));
  CPrintInfo info;
  const UINT pages = BeginPrinting(g, info);
  ASSERT_GT(pages, 1u);
  std::map<std::string, int> printed;
  int lastRow = 0;
  for (UINT page = 1; page <= pages; ++page) {
    SCOPED_TRACE(page);
    const std::vector<PrintedText> texts = PrintPage(g, info, page);
    EXPECT_NE(Find(texts, "Page " + std::to_string(page) + " of " + std::to_string(pages)), nullptr);
    EXPECT_NE(Find(texts, "Head 1"), nullptr) << "every page has the headings";
    int first = 0, last = 0;
    for (int row = 1; row < 120; ++row) {
      const bool here = Find(texts, CellText(row, 1)) != nullptr;
      if (here && first == 0) first = row;
      if (here) last = row;
      if (here)
        for (int col = 0; col < 3; ++col) ++printed[CellText(row, col)];
    }
    EXPECT_EQ(first, lastRow + 1) << "pages follow each other";
    lastRow = last;
  }
  g.OnEndPrinting(nullptr, &info);
  EXPECT_EQ(lastRow, 119);
  EXPECT_EQ(printed.size(), 119u * 3u);
  for (const auto& [text, count] : printed) EXPECT_EQ(count, 1) << text << ": every cell on exactly one page";
}

TEST(GridPrint, AGridWithoutRowsPrintsNothing) {
  Fixture f(1, 4);
  CGridCtrl& g = *f.grid;
  FillGrid(g);
  CPrintInfo info;
  const UINT before = info.GetMaxPage();
  EXPECT_EQ(BeginPrinting(g, info), before) << "no pages are announced";
  EXPECT_TRUE(PrintPage(g, info, 1).empty());
  g.OnEndPrinting(nullptr, &info);
}
