// The import panel: when its placement controls may be used, and how pausing with one image selected
// sets where the next imports go. A test sink answers the selection request in place of the view.
#include "ImportTestSupport.h"

#include "WindowShot.h"

#include "DocumentEvents.h"
#include "ImageEvents.h"
#include "ImagesImportPanelDlg.h"
#include "ImagesImportSettings.h"
#include "resource.h"

using namespace importtest;

namespace {

class SelectionSink : public EventSink {
 public:
  explicit SelectionSink(CTheDocument& document) : document(document) { document.Subscribe(this); }
  ~SelectionSink() override { document.Unsubscribe(this); }
  int OnEvent(EventSource*, Event* event) override {
    if (auto* request = dynamic_cast<ImageSelectionRequestEvent*>(event)) {
      ++requests;
      request->answered = true;
      request->kind = static_cast<int32_t>(ids.size() > 2 ? 2 : ids.size());
      if (ids.size() == 1) request->id = ids[0];
    }
    return 0;
  }
  std::vector<CString> ids;
  int requests = 0;

 private:
  CTheDocument& document;
};

class ImagesImportPanelTest : public ImportTest {
 protected:
  void SetUp() override {
    ImportTest::SetUp();
    for (int i = 0; i < 6; ++i)
      ASSERT_TRUE(
          document.ImportImage(0, MakeMarkedBitmap(8, 6, RGB(i * 40, 0, 0), -1, -1, 0), "x", false, nullptr));
    panel = std::make_unique<CImagesImportPanelDlg>(document);
    ASSERT_TRUE(panel->Create(&MainWindow(), IDD_IMAGES_IMPORT_PANEL, CBRS_TOP | WS_VISIBLE, 0xE820));
    MainWindow().ShowWindow(SW_SHOW);
  }
  void TearDown() override {
    panel.reset();
    ImportTest::TearDown();
  }
  bool Enabled(int id) { return ::IsWindowEnabled(::GetDlgItem(panel->m_hWnd, id)) != FALSE; }
  void Click(int id) { ::SendMessageA(::GetDlgItem(panel->m_hWnd, id), BM_CLICK, 0, 0); }
  CString IdOfNumber(int32_t number) { return document.GetImageIdByNumber(number); }
  std::unique_ptr<CImagesImportPanelDlg> panel;
};

TEST_F(ImagesImportPanelTest, PlacementIsOfferedOnlyWhilePausedInASequentialJobAndInsertNeedsOneImage) {
  SelectionSink selection(document);
  selection.ids = {IdOfNumber(5)};
  const int placement[] = {IDC_IMPORT_PLACEMENT_GROUP, IDC_IMPORT_TO_END, IDC_IMPORT_INSERT,
                           IDC_IMPORT_REPLACE, IDC_IMPORT_REVERSE};
  // Active: every placement control is off, and selection changes leave the panel alone.
  for (int id : placement) EXPECT_FALSE(Enabled(id)) << id;
  EXPECT_TRUE(Enabled(IDC_IMPORT_PAUSE));
  EXPECT_TRUE(Enabled(IDC_IMPORT_FOLLOW));
  const int asked = selection.requests;
  ImageSelectionChangeEvent change;
  document.FireEvent(change);
  EXPECT_EQ(asked, selection.requests);

  Click(IDC_IMPORT_PAUSE);
  EXPECT_FALSE(GetImagesImportSettings().ImportActive);
  for (int id : placement) EXPECT_TRUE(Enabled(id)) << id;
  testsupport::SaveWindowShot(panel->m_hWnd, "import-panel");

  selection.ids = {IdOfNumber(2), IdOfNumber(3)};
  document.FireEvent(change);
  EXPECT_TRUE(Enabled(IDC_IMPORT_TO_END));
  EXPECT_FALSE(Enabled(IDC_IMPORT_INSERT));
  EXPECT_FALSE(Enabled(IDC_IMPORT_REPLACE));

  document.SetIndexed(true);
  PropertiesChangeEvent properties;
  document.FireEvent(properties);
  for (int id : placement) EXPECT_FALSE(Enabled(id)) << id;
}

TEST_F(ImagesImportPanelTest, PausingSelectingImageFiveInsertingAndResumingPutsTheNextImportsThere) {
  SelectionSink selection(document);
  Click(IDC_IMPORT_PAUSE);
  selection.ids = {IdOfNumber(5)};
  ImageSelectionChangeEvent change;
  document.FireEvent(change);
  Click(IDC_IMPORT_INSERT);
  EXPECT_EQ(ImagesImportSettings::Insert, GetImagesImportSettings().Mode);
  Click(IDC_IMPORT_PAUSE);
  EXPECT_TRUE(GetImagesImportSettings().ImportActive);
  EXPECT_EQ(4, GetImagesImportSettings().Position);
  for (int id : {IDC_IMPORT_TO_END, IDC_IMPORT_INSERT}) EXPECT_FALSE(Enabled(id));

  const CString fifth = IdOfNumber(5);
  ASSERT_TRUE(
      document.ImportImage(0, MakeMarkedBitmap(8, 6, RGB(1, 2, 3), -1, -1, 0), "new1", false, nullptr));
  ASSERT_TRUE(
      document.ImportImage(0, MakeMarkedBitmap(8, 6, RGB(1, 2, 3), -1, -1, 0), "new2", false, nullptr));
  EXPECT_EQ(CString("new1"), document.GetImageFileName(IdOfNumber(5)));
  EXPECT_EQ(CString("new2"), document.GetImageFileName(IdOfNumber(6)));
  EXPECT_EQ(fifth, IdOfNumber(7));
  EXPECT_EQ(6, GetImagesImportSettings().Position);
}

TEST_F(ImagesImportPanelTest, ThePauseCheckFollowsPausesFromElsewhereAndFollowIsStored) {
  GetImagesImportSettings().ImportActive = false;
  ImageImportGoEvent go(true);
  document.FireEvent(go);
  EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(panel->m_hWnd, IDC_IMPORT_PAUSE));
  Click(IDC_IMPORT_FOLLOW);
  EXPECT_TRUE(GetImagesImportSettings().FollowImages);
  Click(IDC_IMPORT_REVERSE);
  EXPECT_TRUE(GetImagesImportSettings().Reverse);
}

TEST_F(ImagesImportPanelTest, ImportTellsWhetherItPlacedTheImage) {
  EXPECT_TRUE(document.ImportImage(0, MakeMarkedBitmap(8, 6, 0, -1, -1, 0), "a", false, nullptr));
  GetImagesImportSettings().Mode = 9;  // no such placement: nothing placed, nothing left behind
  const int count = document.GetImages().GetCount();
  EXPECT_FALSE(document.ImportImage(0, MakeMarkedBitmap(8, 6, 0, -1, -1, 0), "b", false, nullptr));
  EXPECT_EQ(count, document.GetImages().GetCount());
  GetImagesImportSettings().Mode = 0;
  document.SetIndexed(true);
  EXPECT_FALSE(document.ImportImage(0, MakeMarkedBitmap(8, 6, 0, -1, -1, 0), "c", false, nullptr));
}

}  // namespace
