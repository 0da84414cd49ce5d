// The production window in the running program: its bars and menus, the image grid that follows
// the job, selection and the questions other windows ask the grid, selecting from the command line
// and the scanner, and the painting of one cell.
#include "ShellTestSupport.h"

#include "AppEventBus.h"
#include "BarcodeEvents.h"
#include "EventSource.h"
#include "CellRows.h"
#include "CmdLineParamEvent.h"
#include "DocumentEvents.h"
#include "ImageBitmap.h"
#include "ImageEvents.h"
#include "ImageViewEvents.h"
#include "ImagesFromDiskDlg.h"
#include "IndividualImagesView.h"
#include "MainFrame_Image.h"
#include "OptionValues.h"
#include "Options.h"
#include "ProductionFrame.h"
#include "TheDocument.h"

#include "WindowShot.h"

#include "resource.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

IBitmapPtr Flat(long width, long height, COLORREF colour) {
  IBitmapPtr bitmap = CreateImageBitmap("test", 1);
  EXPECT_EQ(S_OK, bitmap->Allocate(width, height, 24, 0));
  HDC dc = nullptr;
  EXPECT_EQ(S_OK, bitmap->GetDC(&dc));
  RECT all = {0, 0, width, height};
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  EXPECT_EQ(S_OK, bitmap->ReleaseDC(dc));
  return bitmap;
}

// Counts the events of one type fired on a source.
template <class T>
class Counter : public EventSink {
 public:
  explicit Counter(EventSource* source) : source(source) { source->Subscribe(this); }
  ~Counter() override { source->Unsubscribe(this); }
  int OnEvent(EventSource*, Event* event) override {
    if (dynamic_cast<T*>(event) != nullptr) ++count;
    return 0;
  }
  int count = 0;

 private:
  EventSource* source;
};

class ProductionWindowTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    GetOptionValues() = OptionValues();
    prompts.FailWhenEmpty(true);
  }
  void TearDown() override {
    GetOptionValues() = OptionValues();
    ShellTest::TearDown();
  }
  CTheDocument* Document() { return TestApp().GetDocument(); }
  CProductionFrame* Production() { return static_cast<CProductionFrame*>(Frame()->GetScreen(1)); }
  CImagesView* View() { return Production()->GetImagesView(); }
  // Adds images of the given colours to the job, in number order.
  void AddImages(int count) {
    for (int i = 0; i < count; ++i) {
      const COLORREF colour = RGB(40 + 15 * i, 200 - 12 * i, 90 + 10 * (i % 5));
      CString name;
      name.Format("pic%02d", i + 1);
      Document()->ImportImage(-1, Flat(48, 64, colour), name, false, nullptr);
    }
    PumpPending();
  }
  std::vector<int> CellNumbers() {
    std::vector<int> numbers;
    for (int i = 0; i < View()->GetGrid().GetItemCount(); ++i)
      numbers.push_back(Document()->GetImageNumber(View()->GetCellImageId(i)));
    return numbers;
  }
  CString IdOf(int number) { return Document()->GetImageIdByNumber(number); }
  CScriptedPrompt prompts;
  void Click(int index, UINT keys) {
    CRect cell = View()->GetGrid().GetCellRect(index - View()->GetGrid().GetTopIndex());
    const LPARAM at = MAKELPARAM(cell.CenterPoint().x, cell.CenterPoint().y);
    View()->GetGrid().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
    View()->GetGrid().SendMessage(WM_LBUTTONUP, keys, at);
  }
};

TEST_F(ProductionWindowTest, TheWindowHoldsItsBarsMenusAndTwelveCellsInNumberOrder) {
  ASSERT_TRUE(Start());
  AddImages(12);
  const std::string path = scratch + "\\twelve.plj";
  CFileDialogScript dialogs;
  dialogs.Answer(path.c_str());
  Frame()->SendMessage(WM_COMMAND, ID_FILE_SAVE_AS);
  Frame()->SendMessage(WM_COMMAND, ID_FILE_CLOSE);
  EXPECT_EQ(View()->GetGrid().GetItemCount(), 0);
  EXPECT_FALSE(View()->GetGrid().IsWindowEnabled());
  dialogs.Answer(path.c_str());
  Frame()->SendMessage(WM_COMMAND, ID_FILE_OPEN);
  PumpPending();
  EXPECT_TRUE(View()->GetGrid().IsWindowEnabled());
  EXPECT_EQ(Title(), "Pellorin - " + path);

  ASSERT_NE(Production()->GetDlgItem(0xE804), nullptr);
  ASSERT_NE(Production()->GetReBar().GetDlgItem(0xE800), nullptr);
  EXPECT_GE(Production()->GetToolBar().GetToolBarCtrl().GetButtonCount(), 10);
  char title[64] = {};
  Production()->GetToolBar().GetWindowText(title, sizeof(title));
  EXPECT_STREQ(title, "Control Bar");
  ASSERT_NE(View()->GetDlgItem(0xE800), nullptr);  // the view's own bottom bar

  std::vector<int> expected;
  for (int n = 1; n <= 12; ++n) expected.push_back(n);
  EXPECT_EQ(CellNumbers(), expected);

  // A 4 x 3 arrangement shows the whole job at once; every picture arrives at idle time.
  View()->GetArrangement().NoAcross = 4;
  View()->GetArrangement().NoDown = 3;
  View()->ApplyArrangement();
  Frame()->ShowWindow(SW_SHOWNORMAL);
  Frame()->SetWindowPos(nullptr, 0, 0, 1024, 768, SWP_NOZORDER);
  View()->SelectImage(IdOf(5));
  for (int i = 0; i < 40; ++i) {
    TestApp().FireIdleTimeEvent();
    PumpPending(10);
  }
  PumpPending(300);
  testsupport::SaveWindowShot(Frame()->m_hWnd, "production-window");
}

TEST_F(ProductionWindowTest, CommandsReachTheViewFirstAndTakePictureIsEnabled) {
  ASSERT_TRUE(Start());
  struct Probe : CCmdUI {
    BOOL enabled = FALSE;
    void Enable(BOOL on) override { enabled = on; }
  } probe;
  probe.m_nID = ID_TAKE_PICTURE;
  probe.DoUpdate(Frame(), TRUE);
  EXPECT_TRUE(probe.enabled);
  probe.m_nID = ID_EXPORT_IMAGES;
  probe.DoUpdate(Frame(), TRUE);
  EXPECT_TRUE(probe.enabled);
  Frame()->SendMessage(WM_COMMAND, ID_FILE_CLOSE);
  probe.enabled = TRUE;
  probe.DoUpdate(Frame(), TRUE);
  EXPECT_FALSE(probe.enabled);
}

TEST_F(ProductionWindowTest, ImportCommandsShowAndHideTheDiskImportAndThePanel) {
  ASSERT_TRUE(Start());
  struct Probe : CCmdUI {
    int checked = -1;
    void SetCheck(int check) override { checked = check; }
  } probe;
  EXPECT_EQ(Production()->GetDiskImport(), nullptr) << "made on the first command only";
  EXPECT_FALSE(Production()->GetImportPanel().IsWindowVisible());
  for (bool shown : {true, false}) {
    Production()->SendMessage(WM_COMMAND, ID_IMPORT_FROM_DISK);
    ASSERT_NE(Production()->GetDiskImport(), nullptr);
    EXPECT_EQ(shown, !!Production()->GetDiskImport()->IsWindowVisible());
    probe.m_nID = ID_IMPORT_FROM_DISK;
    probe.DoUpdate(Production(), TRUE);
    EXPECT_EQ(shown ? 1 : 0, probe.checked);

    Production()->SendMessage(WM_COMMAND, ID_IMPORT_PANEL);
    EXPECT_EQ(shown, !!Production()->GetImportPanel().IsWindowVisible());
    probe.m_nID = ID_IMPORT_PANEL;
    probe.DoUpdate(Production(), TRUE);
    EXPECT_EQ(shown ? 1 : 0, probe.checked);
  }
}

TEST_F(ProductionWindowTest, TheImportPanelFloatsInAToolWindowWhoseCloseBoxHidesIt) {
  ASSERT_TRUE(Start());
  Frame()->ShowWindow(SW_SHOWNORMAL);
  CImagesImportPanelDlg& panel = Production()->GetImportPanel();
  HWND tool = ::GetParent(panel.m_hWnd);
  ASSERT_NE(tool, Production()->m_hWnd);
  EXPECT_NE(::GetWindowLongPtrA(tool, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
  EXPECT_EQ(::GetWindow(tool, GW_OWNER), Frame()->m_hWnd) << "a popup's owner is the top-level window";
  CString title;
  title.LoadString(IDS_IMPORT_PANEL_TITLE);
  char caption[128] = {};
  ::GetWindowTextA(tool, caption, sizeof(caption));
  EXPECT_EQ(CString(caption), title);
  EXPECT_FALSE(::IsWindowVisible(tool));

  CRect before, after;
  View()->GetWindowRect(&before);
  Production()->SendMessage(WM_COMMAND, ID_IMPORT_PANEL);
  EXPECT_TRUE(::IsWindowVisible(tool));
  View()->GetWindowRect(&after);
  EXPECT_EQ(after, before) << "the floating panel takes no room from the view";
  PumpPending(300);
  testsupport::SaveWindowShot(::GetDesktopWindow(), "production-import-panel");

  struct Probe : CCmdUI {
    int checked = -1;
    void SetCheck(int check) override { checked = check; }
  } probe;
  probe.m_nID = ID_IMPORT_PANEL;
  ::SendMessageA(tool, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(::IsWindowVisible(tool));
  probe.DoUpdate(Production(), TRUE);
  EXPECT_EQ(probe.checked, 0);
}

TEST_F(ProductionWindowTest, TheGridFollowsTheJobAndBatchesRebuildOnce) {
  ASSERT_TRUE(Start());
  AddImages(3);
  EXPECT_EQ(CellNumbers(), (std::vector<int>{1, 2, 3}));

  // Removing and adding one image each change one cell.
  Document()->RemoveImage(IdOf(2));
  EXPECT_EQ(View()->GetGrid().GetItemCount(), 2);
  EXPECT_FALSE(View()->HasImageCell(Document()->GetImageIdByNumber(2)));

  // Inside a batch nothing is added or removed; the end shows everything at once.
  ImageMultipleBeginEvent begin;
  Document()->FireEvent(begin);
  AddImages(2);
  EXPECT_EQ(View()->GetGrid().GetItemCount(), 2);
  ImageMultipleEndEvent end;
  Document()->FireEvent(end);
  EXPECT_EQ(View()->GetGrid().GetItemCount(), 4);

  // While the screen is not active a rebuild waits, and runs once on activation.
  Production()->Deactivate();
  ImageMultipleBeginEvent quiet;
  Document()->FireEvent(quiet);
  Document()->InsertImageAt(-1, CString(), "blank", false, nullptr);
  ImageMultipleEndEvent again;
  Document()->FireEvent(again);
  Document()->FireEvent(again);
  EXPECT_EQ(View()->GetGrid().GetItemCount(), 4);
  Production()->Activate();
  EXPECT_EQ(View()->GetGrid().GetItemCount(), 5);

  // An image added while the mouse is held on a cell appears at the release, selected.
  Counter<ImageSelectionChangeEvent> changes(Document());
  CRect cell = View()->GetGrid().GetCellRect(0);
  const LPARAM at = MAKELPARAM(cell.CenterPoint().x, cell.CenterPoint().y);
  View()->GetGrid().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
  ASSERT_EQ(::GetCapture(), View()->GetGrid().m_hWnd);
  ImageAddedEvent added(Document()->GetImageIdByNumber(5), 5, true);
  View()->RemoveImageCell(added.id);
  Document()->FireEvent(added);
  EXPECT_FALSE(View()->HasImageCell(added.id));
  View()->GetGrid().SendMessage(WM_LBUTTONUP, 0, at);
  EXPECT_TRUE(View()->HasImageCell(added.id));
  EXPECT_EQ(View()->GetSelectionInOrder().GetCount(), 1);
  EXPECT_EQ(View()->GetSelectionInOrder()[0], added.id);

  // The mouse taken away without a release adds the queued image too.
  View()->GetGrid().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
  View()->RemoveImageCell(added.id);
  Document()->FireEvent(added);
  EXPECT_FALSE(View()->HasImageCell(added.id));
  ::ReleaseCapture();
  EXPECT_TRUE(View()->HasImageCell(added.id));

  // Closing the job empties the grid.
  Document()->SetDirty(false);
  Frame()->SendMessage(WM_COMMAND, ID_FILE_CLOSE);
  EXPECT_EQ(View()->GetGrid().GetItemCount(), 0);
}

TEST_F(ProductionWindowTest, SelectionAnswersRequestsInSelectionAndGridOrder) {
  ASSERT_TRUE(Start());
  AddImages(5);
  Counter<ImageSelectionChangeEvent> changes(Document());

  ImageSelectionRequestEvent none;
  Document()->FireEvent(none);
  EXPECT_EQ(none.answered, 1);
  EXPECT_EQ(none.kind, 0);
  ImageSetRequestEvent fromNothing(1);
  Document()->FireEvent(fromNothing);
  EXPECT_EQ(fromNothing.answered, 1);
  EXPECT_EQ(fromNothing.ids.GetCount(), 0);

  Click(3, 0);
  Click(1, MK_CONTROL);
  EXPECT_GE(changes.count, 2);
  ImageSelectionRequestEvent two;
  Document()->FireEvent(two);
  EXPECT_EQ(two.kind, 2);
  ASSERT_EQ(two.ids.GetCount(), 2);
  EXPECT_EQ(two.ids[0], IdOf(4));  // selected first
  EXPECT_EQ(two.ids[1], IdOf(2));

  struct Case {
    int type;
    std::vector<int> numbers;
  };
  const Case cases[] = {{0, {1, 2, 3, 4, 5}}, {1, {2, 3, 4, 5}}, {3, {3}}};
  for (const Case& c : cases) {
    ImageSetRequestEvent request(c.type);
    Document()->FireEvent(request);
    EXPECT_EQ(request.answered, 1) << c.type;
    std::vector<int> numbers;
    for (int i = 0; i < request.ids.GetCount(); ++i)
      numbers.push_back(Document()->GetImageNumber(request.ids[i]));
    EXPECT_EQ(numbers, c.numbers) << c.type;
  }

  // Several ids at once fire one change; the last cell selected alone has no cell after it.
  changes.count = 0;
  SharedStringList ids;
  ids.Append(IdOf(1));
  ids.Append(IdOf(5));
  ids.Append("no-such-id");
  View()->SelectImages(ids);
  EXPECT_EQ(changes.count, 1);
  View()->SelectImage(IdOf(5));
  ImageSelectionRequestEvent one;
  Document()->FireEvent(one);
  EXPECT_EQ(one.kind, 1);
  EXPECT_EQ(one.id, IdOf(5));
  ImageSetRequestEvent after(3);
  Document()->FireEvent(after);
  EXPECT_EQ(after.answered, 1);
  EXPECT_EQ(after.ids.GetCount(), 0);
}

TEST_F(ProductionWindowTest, CommandLineAndScannerTextsSelectImages) {
  ASSERT_TRUE(Start());
  AddImages(13);
  Document()->SetImageFileName(IdOf(7), "12");
  struct Case {
    bool barcode;
    const char* text;
    int selected;  // number, 0 for nothing
  };
  const Case cases[] = {
      {false, "FIN7", 7}, {false, "fin9", 9},    {false, "fitpic03", 3}, {false, "FIX7", 0},
      {false, "FIN", 0},  {false, "FINx", 0},    {true, "/12", 7},       {true, "/11", 11},
      {true, "N5", 5},    {true, "Fpic04", 4},   {true, "tpic06", 6},    {true, "X5", 0},
      {true, "", 0},      {true, "Nnothing", 0},
  };
  for (const Case& c : cases) {
    View()->SelectAllImages(false);
    if (c.barcode) {
      BCImageEvent event(c.text);
      GetAppEventSource()->Fire(&event);
    } else {
      CmdLineParamEvent event(c.text);
      GetAppEventSource()->Fire(&event);
    }
    SharedStringList selected = View()->GetSelectionInOrder();
    if (c.selected == 0) {
      EXPECT_EQ(selected.GetCount(), 0) << c.text;
    } else {
      ASSERT_EQ(selected.GetCount(), 1) << c.text;
      EXPECT_EQ(Document()->GetImageNumber(selected[0]), c.selected) << c.text;
    }
  }
}

TEST_F(ProductionWindowTest, TheFilterOptionsChooseTheListedImages) {
  ASSERT_TRUE(Start());
  AddImages(4);
  Document()->SetImageFlag04(IdOf(2), true);
  const CString duplicate = Document()->DuplicateImage(IdOf(3), false);
  struct Case {
    int filter;
    bool invert;
    int count;
  };
  const Case cases[] = {{0, false, 5}, {0, true, 5}, {1, false, 1}, {1, true, 4},
                        {2, false, 5}, {2, true, 5}, {3, false, 1}, {3, true, 4}};
  for (const Case& c : cases) {
    GetOptionValues().ImagesFilter = c.filter;
    GetOptionValues().ImagesFilterNot = c.invert;
    EXPECT_EQ(View()->GetImageList().GetCount(), c.count) << c.filter << " " << c.invert;
  }
  GetOptionValues().ImagesFilter = 3;
  GetOptionValues().ImagesFilterNot = false;
  View()->RebuildImageList();
  ASSERT_EQ(View()->GetGrid().GetItemCount(), 1);
  EXPECT_EQ(View()->GetCellImageId(0), duplicate);
}

TEST_F(ProductionWindowTest, ArrangementCountsOfZeroOrLessCountAsOne) {
  ASSERT_TRUE(Start());
  ArrangeSettings& arrangement = View()->GetArrangement();
  struct Case {
    int across, down;
    bool locked;
    int lockedX, lockedY;
  };
  const Case cases[] = {{0, -3, false, 0, 0}, {2, 2, true, 0, -5}, {2, 2, true, 100000, 100000}};
  for (const Case& c : cases) {
    arrangement.NoAcross = c.across;
    arrangement.NoDown = c.down;
    arrangement.IsLocked = c.locked;
    arrangement.LockedX = c.lockedX;
    arrangement.LockedY = c.lockedY;
    View()->ApplyArrangement();
    EXPECT_GE(View()->GetGrid().GetColumns(), 1);
    EXPECT_GE(View()->GetGrid().GetRows(), 1);
  }
  arrangement.IsLocked = false;
  arrangement.Arrange = false;
  View()->ApplyArrangement();
  EXPECT_EQ(View()->GetGrid().GetPageSize(), 1);
}

// ---- Painting one cell into a bitmap of our own.

class CellPaintingTest : public ProductionWindowTest {
 protected:
  struct Canvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    uint8_t* bits = nullptr;
    int width = 0, height = 0;
    Canvas(int w, int h) : width(w), height(h) {
      BITMAPINFO info = {};
      info.bmiHeader.biSize = sizeof(info.bmiHeader);
      info.bmiHeader.biWidth = w;
      info.bmiHeader.biHeight = -h;
      info.bmiHeader.biPlanes = 1;
      info.bmiHeader.biBitCount = 32;
      void* p = nullptr;
      dc = CreateCompatibleDC(nullptr);
      bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &p, nullptr, 0);
      bits = static_cast<uint8_t*>(p);
      previous = SelectObject(dc, bitmap);
    }
    ~Canvas() {
      SelectObject(dc, previous);
      DeleteObject(bitmap);
      DeleteDC(dc);
    }
    COLORREF At(int x, int y) const {
      GdiFlush();
      const uint8_t* p = bits + (static_cast<size_t>(y) * width + x) * 4;
      return RGB(p[2], p[1], p[0]);
    }
  };
  BOOL Paint(Canvas& canvas, int index, int mode) {
    CRect cell(0, 0, canvas.width, canvas.height);
    return View()->OnDrawCell(&View()->GetGrid(), CDC::FromHandle(canvas.dc), index, cell, cell, mode);
  }
};

TEST_F(CellPaintingTest, ACellShowsFillFrameAndPictureOnceDecoded) {
  ASSERT_TRUE(Start());
  AddImages(1);
  Document()->GetAspectRatios() = AspectRatios();
  View()->SelectAllImages(false);
  Canvas canvas(200, 240);
  Document()->GetImageBitmapCache().Clear();
  // Not decoded yet: background, frame and caption now, the picture later.
  EXPECT_FALSE(Paint(canvas, 0, 1));
  EXPECT_EQ(canvas.At(0, 0), 0xA0A0A0u);
  EXPECT_EQ(canvas.At(100, 5), 0xD0D0D0u);
  EXPECT_TRUE(Paint(canvas, 0, 2));
  EXPECT_EQ(canvas.At(100, 100), RGB(40, 200, 90));
  // Selected: darker fill and frame.
  View()->SelectImage(IdOf(1));
  EXPECT_TRUE(Paint(canvas, 0, 1));
  EXPECT_EQ(canvas.At(0, 0), 0x808080u);
  EXPECT_EQ(canvas.At(100, 5), 0x909090u);
  // An empty place.
  EXPECT_TRUE(Paint(canvas, -1, 0));
  EXPECT_EQ(canvas.At(0, 0), 0xC4C4C4u);
  EXPECT_EQ(canvas.At(100, 100), 0xE0E0E0u);
}

TEST_F(CellPaintingTest, CropScaleAndOffsetMoveThePictureInItsWindow) {
  ASSERT_TRUE(Start());
  AddImages(1);
  Document()->GetAspectRatios() = AspectRatios();
  Canvas canvas(200, 240);
  const CString id = IdOf(1);
  const COLORREF picture = RGB(40, 200, 90);
  // Half size: the picture in the middle, the lattice (white and grey) around it.
  CropScale half;
  half.scale = 0.5;
  Document()->SetImageCropScale(id, half);
  ASSERT_TRUE(Paint(canvas, 0, 2));
  EXPECT_EQ(canvas.At(100, 110), picture);
  int white = 0, grey = 0;
  for (int x = 20; x < 50; ++x) {
    const COLORREF c = canvas.At(x, 40);
    if (c == RGB(255, 255, 255)) ++white;
    if (c == 0xC0C0C0) ++grey;
  }
  EXPECT_GT(white, 0);
  EXPECT_GT(grey, 0);
  // Offset 0.1 at scale 1: the left edge moves right by a tenth of the picture's width.
  CropScale whole;
  ASSERT_TRUE(Paint(canvas, 0, 2));
  Document()->SetImageCropScale(id, whole);
  ASSERT_TRUE(Paint(canvas, 0, 2));
  int left = -1;
  for (int x = 0; x < 200 && left < 0; ++x)
    if (canvas.At(x, 110) == picture) left = x;
  int right = left;
  while (right < 199 && canvas.At(right + 1, 110) == picture) ++right;
  CropScale moved;
  moved.posA = 0.1;
  Document()->SetImageCropScale(id, moved);
  ASSERT_TRUE(Paint(canvas, 0, 2));
  int movedLeft = -1;
  for (int x = 0; x < 200 && movedLeft < 0; ++x)
    if (canvas.At(x, 110) == picture) movedLeft = x;
  ASSERT_GE(left, 0);
  EXPECT_NEAR(movedLeft - left, (right - left + 1) / 10, 2);
}

TEST_F(CellPaintingTest, NumberBoxAndTagBoxShowTheImageStatus) {
  ASSERT_TRUE(Start());
  AddImages(1);
  View()->SelectAllImages(false);
  const CString id = IdOf(1);
  Canvas canvas(200, 240);
  const LONG units = GetDialogBaseUnits();
  const int bx = LOWORD(units), by = HIWORD(units);
  const int band = static_cast<int>(by * 12.0 / 8);
  const int boxHeight = static_cast<int>(by * 7.8 / 8);
  const int boxTop = 240 - band + 1 + (band - 2 - boxHeight) / 2;
  const CPoint inBox(1 + bx / 4 + 2, boxTop + 2);
  const CPoint inShadow(1 + bx / 4 + 4, boxTop + boxHeight + by / 4 - 1);
  GetOptions().ViewImageTagged = true;
  ASSERT_TRUE(Paint(canvas, 0, 2));
  EXPECT_EQ(canvas.At(inBox.x, inBox.y), RGB(255, 255, 255));
  EXPECT_EQ(canvas.At(inShadow.x, inShadow.y), 0x404040u);
  Document()->SetImageFlag02(id, true);
  ASSERT_TRUE(Paint(canvas, 0, 2));
  EXPECT_EQ(canvas.At(inBox.x, inBox.y), 0xC4C4C4u);

  // The tag box: black outline, white inside; a tagged image gets a black check mark.
  const int side = static_cast<int>(1.25 * bx) + 1;
  const CRect box(bx / 2, by / 4, bx / 2 + side, by / 4 + side);
  EXPECT_EQ(canvas.At(box.left, box.top), RGB(0, 0, 0));
  auto blackInside = [&] {
    int black = 0;
    for (int y = box.top + 2; y < box.bottom - 2; ++y)
      for (int x = box.left + 2; x < box.right - 2; ++x)
        if (canvas.At(x, y) == RGB(0, 0, 0)) ++black;
    return black;
  };
  EXPECT_EQ(blackInside(), 0);
  Document()->SetImageFlag04(id, true);
  ASSERT_TRUE(Paint(canvas, 0, 2));
  EXPECT_GT(blackInside(), 3);
  GetOptions().ViewImageTagged = false;
  ASSERT_TRUE(Paint(canvas, 0, 2));
  EXPECT_NE(canvas.At(box.left, box.top), RGB(0, 0, 0));
}

TEST_F(CellPaintingTest, ABlankImageShowsNoPictureAndTheFileNameVeilStaysInTheCell) {
  ASSERT_TRUE(Start());
  Document()->InsertImageAt(-1, CString(), "blank", false, nullptr);
  AddImages(1);
  PumpPending();
  View()->SelectAllImages(false);
  Canvas canvas(200, 240);
  ASSERT_TRUE(Paint(canvas, 0, 2));
  EXPECT_EQ(canvas.At(100, 100), 0xD0D0D0u);

  // A long file name in a tiny cell: the veil is clipped to the cell, nothing is written past it.
  Document()->SetImageFileName(IdOf(2), "a-very-long-file-name-that-does-not-fit-anywhere.jpg");
  GetOptions().ViewImageTags = true;
  Canvas tiny(40, 60);
  EXPECT_TRUE(Paint(tiny, 1, 2));
  GetOptions().ViewImageTags = false;
}

TEST_F(CellPaintingTest, AMaskShowsTheLatticeWhereWhiteAndABackgroundFillsWhatThePictureLeaves) {
  ASSERT_TRUE(Start());
  AddImages(1);
  Document()->GetAspectRatios() = AspectRatios();
  View()->SelectAllImages(false);
  const CString id = IdOf(1);
  const COLORREF picture = RGB(40, 200, 90);
  Canvas canvas(200, 240);
  ASSERT_TRUE(Paint(canvas, 0, 2));
  int left = -1;
  for (int x = 0; x < 200 && left < 0; ++x)
    if (canvas.At(x, 110) == picture) left = x;
  ASSERT_GE(left, 0);
  int right = left;
  while (right < 199 && canvas.At(right + 1, 110) == picture) ++right;

  // Black on the left half, white on the right: the picture, then the lattice.
  IBitmapPtr mask = Flat(48, 64, RGB(255, 255, 255));
  HDC dc = nullptr;
  ASSERT_EQ(S_OK, mask->GetDC(&dc));
  RECT half = {0, 0, 24, 64};
  FillRect(dc, &half, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ASSERT_EQ(S_OK, mask->ReleaseDC(dc));
  Document()->SetImageMask(id, Document()->AddMask(mask, "half"));
  Document()->SetImageMaskOn(id, true);
  ASSERT_TRUE(Paint(canvas, 0, 2));
  EXPECT_EQ(canvas.At(left + 2, 110), picture);
  int lattice = 0;
  for (int x = right - 12; x <= right - 2; ++x) {
    const COLORREF c = canvas.At(x, 110);
    EXPECT_TRUE(c == RGB(255, 255, 255) || c == 0xC0C0C0u) << std::hex << c;
    lattice += c == 0xC0C0C0u;
  }
  EXPECT_GT(lattice, 0);

  // Without the mask, at half size: the background shows round the picture instead of the lattice.
  Document()->SetImageMaskOn(id, false);
  Document()->SetImageBackground(id, Document()->AddBackground(Flat(30, 30, RGB(200, 30, 30)), "red"));
  Document()->SetImageBackgroundOn(id, true);
  CropScale small;
  small.scale = 0.5;
  Document()->SetImageCropScale(id, small);
  ASSERT_TRUE(Paint(canvas, 0, 2));
  EXPECT_EQ(canvas.At(100, 110), picture);
  EXPECT_EQ(canvas.At(left + 2, 110), RGB(200, 30, 30));
  EXPECT_EQ(canvas.At(right - 2, 110), RGB(200, 30, 30));
}

TEST(CellRows, TheMaskBlendsLatticeAndPictureByteByByte) {
  struct Case {
    uint8_t mask, lattice, picture, expected;
  };
  const Case cases[] = {
      {255, 200, 10, 200},
      {0, 200, 10, 10},
      {128, 200, 10, 0},
      {128, 90, 240, 0},
  };
  for (const Case& c : cases) {
    uint8_t lattice[3] = {c.lattice, c.lattice, c.lattice};
    const uint8_t picture[3] = {c.picture, c.picture, c.picture};
    const uint8_t mask[3] = {c.mask, c.mask, c.mask};
    BlendRowThroughMask(lattice, picture, mask, 3);
    uint8_t expected = c.expected;
    if (c.mask == 128)
      expected = static_cast<uint8_t>(BlendTableRow(127)[c.picture] + BlendTableRow(128)[c.lattice]);
    EXPECT_EQ(lattice[0], expected) << int(c.mask);
    EXPECT_EQ(lattice[2], expected);
  }
  EXPECT_EQ(BlendTableRow(255)[77], 77);
  EXPECT_EQ(BlendTableRow(128)[200], 100);
  EXPECT_EQ(WashValue(0), 224);
  EXPECT_EQ(WashValue(255), 255);
}

TEST(CellRows, TheVeilIsClippedToItsBitmap) {
  // A 4 x 2 bitmap with guard bytes after it: a label far larger touches only the bitmap.
  std::vector<uint8_t> memory(16 * 2 + 8, 0);
  RowBitmap bitmap{memory.data(), 4, 2, 12};
  WashRect(bitmap, -10, -10, 100, 100);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 12; ++x) EXPECT_EQ(memory[static_cast<size_t>(y) * 12 + x], 224);
  for (size_t i = 24; i < memory.size(); ++i) EXPECT_EQ(memory[i], 0) << i;
}

}  // namespace
