// "Load from file..." of the type menu, through the real open dialog and message boxes.
#include <cstdio>
#include <fstream>

#include "LutCtlTestSupport.h"
#include "resource.h"

using namespace luttest;

namespace {

std::string TempFile(const std::string& name, const std::string& content) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  std::string path = std::string(folder) + name;
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

std::string Lines(int count, int badLine = -1) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    char line[64];
    if (i == badLine)
      snprintf(line, sizeof(line), "%d, x, 3\n", i);
    else
      snprintf(line, sizeof(line), "%d, %d, %d\n", 255 - i, i / 2, i);
    text += line;
  }
  return text;
}

struct Box {
  std::string caption, text;
};

// Chooses "Load from file...", names `path` in the open dialog and answers the box that follows.
std::vector<Box> LoadThroughMenu(const HostedLutCtl& hosted, const std::string& path) {
  std::vector<Box> boxes;
  int stage = 0;
  WhileModal(
      [&] {
        SendMessageW(hosted.Window(), WM_COMMAND, MAKEWPARAM(ID_LUTCTL_TYPE, BN_CLICKED),
                     reinterpret_cast<LPARAM>(hosted.Child(IDC_LUTCTL_TOOLBAR)));
      },
      [&] {
        if (stage == 0) {
          HWND popup = FindWindowW(L"#32768", nullptr);
          if (!popup || !IsWindowVisible(popup)) return false;
          PostMessageW(popup, WM_KEYDOWN, VK_UP, 0);  // the last item, "Load from file..."
          PostMessageW(popup, WM_KEYDOWN, VK_RETURN, 0);
          stage = 1;
          return false;
        }
        HWND dialog = FindThreadDialog("");
        if (!dialog) return false;
        std::string caption = TextOf(dialog);
        if (stage == 1) {
          // The open dialog: its file name box, then Open.
          HWND name = GetDlgItem(dialog, 0x47c);  // the name combo of the explorer-style dialog
          if (!name) name = GetDlgItem(dialog, 0x480);
          if (!name) return false;
          HWND edit = FindWindowExW(name, nullptr, L"Edit", nullptr);
          SetWindowTextA(edit ? edit : name, path.c_str());
          SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                       reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
          stage = 2;
          return false;
        }
        // The box's text is its one static with text (the icon's static has none).
        std::string text;
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
          char className[16] = {};
          GetClassNameA(child, className, sizeof(className));
          if (_stricmp(className, "Static") == 0 && !TextOf(child).empty()) text = TextOf(child);
        }
        boxes.push_back({caption, text});
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return false;
      });
  return boxes;
}

std::vector<uint32_t> Table8(ILut* lut, long channel) { return Table(lut, channel, VT_UI1, 256); }

}  // namespace

TEST(LutCtlFile, A256LineFileMakesTheCurveManual) {
  HostedLutCtl hosted(300, 360);
  ASSERT_EQ(hosted.created, S_OK);
  CComPtr<ILut> lut = hosted.Lut();
  std::string path = TempFile("lutctl-good.LUT", Lines(256) + "not looked at\n");
  std::vector<Box> boxes = LoadThroughMenu(hosted, path);
  EXPECT_TRUE(boxes.empty()) << (boxes.empty() ? "" : boxes[0].caption + ": " + boxes[0].text);
  LUT_TYPE type;
  ASSERT_EQ(lut->get_Type(&type), S_OK);
  EXPECT_EQ(type, ltManual);
  for (int row :
       {IDC_LUTCTL_DMAX_TRACK, IDC_LUTCTL_DMIN_TRACK, IDC_LUTCTL_GAMMA_TRACK, IDC_LUTCTL_GAMMALO_EDIT})
    EXPECT_FALSE(Shown(hosted.Child(row)));
  std::vector<uint32_t> red = Table8(lut, 1), green = Table8(lut, 2), blue = Table8(lut, 3),
                        all = Table8(lut, 0);
  EXPECT_EQ(red[0], 255u);
  EXPECT_EQ(red[255], 0u);
  EXPECT_EQ(green[200], 100u);
  EXPECT_EQ(blue[77], 77u);
  EXPECT_EQ(all[128], 128u);
  // The red curve as drawn: the file's falling line.
  ASSERT_EQ(hosted.control->put_Channel(chR), S_OK);
  Pump();
  HWND graph = hosted.Child(IDC_LUTCTL_GRAPH);
  RECT plot = PlotOf(graph);
  int size = std::min(plot.right - plot.left, plot.bottom - plot.top);
  EXPECT_TRUE(ColourNear(graph, plot.left + size / 4, plot.bottom - (size - 1 - size / 4), 0x4040C4));
  remove(path.c_str());
}

TEST(LutCtlFile, BadFilesShowABoxAndChangeNothing) {
  struct Case {
    const char* what;
    std::string content;
    std::string text;
  } const cases[] = {
      {"255 lines", Lines(255), "Premature end of file"},
      {"a bad line", Lines(256, 17), "Invalid file format"},
      {"a number above 255", "256, 0, 0\n" + Lines(255), "Invalid file format"},
      {"binary", std::string("\x01\x02\x00\xff\xfe", 5), "Invalid file format"},
      {"empty", "", "Premature end of file"},
      {"a line over 1024 characters", std::string(2000, '1') + "\n" + Lines(255), "Invalid file format"},
  };
  HostedLutCtl hosted(300, 360);
  ASSERT_EQ(hosted.created, S_OK);
  CComPtr<ILut> lut = hosted.Lut();
  ASSERT_EQ(PutValue(lut, 0, L"dMax", 12L), S_OK);
  std::vector<unsigned char> before = SaveBytes(lut);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string path = TempFile("lutctl-bad.LUT", c.content);
    std::vector<Box> boxes = LoadThroughMenu(hosted, path);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Error reading file");
    EXPECT_EQ(boxes[0].text, c.text);
    EXPECT_EQ(SaveBytes(lut), before);
    remove(path.c_str());
  }
}

TEST(LutCtlFile, AGreyscaleCurveIsRefusedBeforeAnythingChanges) {
  HostedLutCtl hosted(300, 360);
  ASSERT_EQ(hosted.created, S_OK);
  CComPtr<ILut> lut = hosted.Lut();
  ASSERT_EQ(lut->put_ChannelSet(csGreyscale), S_OK);
  std::vector<unsigned char> before = SaveBytes(lut);
  std::string path = TempFile("lutctl-grey.LUT", Lines(256));
  std::vector<Box> boxes = LoadThroughMenu(hosted, path);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Unable to load LUT");
  EXPECT_EQ(boxes[0].text, "An unexpected error occured");
  EXPECT_EQ(SaveBytes(lut), before);
  LUT_TYPE type;
  ASSERT_EQ(lut->get_Type(&type), S_OK);
  EXPECT_EQ(type, ltBasic);
  remove(path.c_str());
}
