// What the hosted editing control shows: its own default curve, rows and buttons per type and
// channel set, the curve's colours and the layout of its rows.
#include "LutCtlTestSupport.h"
#include "WindowShot.h"
#include "resource.h"

using namespace luttest;

namespace {

const int kLabels[] = {IDC_LUTCTL_DMAX_LABEL, IDC_LUTCTL_DMIN_LABEL, IDC_LUTCTL_GAMMALO_LABEL,
                       IDC_LUTCTL_GAMMA_LABEL, IDC_LUTCTL_GAMMAHI_LABEL};
const int kTracks[] = {IDC_LUTCTL_DMAX_TRACK, IDC_LUTCTL_DMIN_TRACK, IDC_LUTCTL_GAMMALO_TRACK,
                       IDC_LUTCTL_GAMMA_TRACK, IDC_LUTCTL_GAMMAHI_TRACK};
const int kEdits[] = {IDC_LUTCTL_DMAX_EDIT, IDC_LUTCTL_DMIN_EDIT, IDC_LUTCTL_GAMMALO_EDIT,
                      IDC_LUTCTL_GAMMA_EDIT, IDC_LUTCTL_GAMMAHI_EDIT};

// Whether the curve of the current channel passes through the identity diagonal in `colour`.
bool DiagonalIn(const HostedLutCtl& hosted, COLORREF colour) {
  HWND graph = hosted.Child(IDC_LUTCTL_GRAPH);
  RECT plot = PlotOf(graph);
  int size = std::min(plot.right - plot.left, plot.bottom - plot.top);
  int hits = 0;
  for (int i = size / 4; i < size; i += size / 4)
    if (ColourNear(graph, plot.left + i, plot.bottom - i, colour)) ++hits;
  return hits == 3;
}

RECT RectIn(HWND child, HWND parent) {
  RECT rect;
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

}  // namespace

TEST(LutCtlView, WithoutValueTheControlMakesItsOwnIdentityCurve) {
  HostedLutCtl hosted(300, 360);
  ASSERT_EQ(hosted.created, S_OK);
  CComPtr<ILut> lut = hosted.Lut();
  ASSERT_TRUE(lut);
  LUT_TYPE type;
  ASSERT_EQ(lut->get_Type(&type), S_OK);
  EXPECT_EQ(type, ltBasic);

  EXPECT_EQ(TextOf(hosted.Child(IDC_LUTCTL_DMAX_LABEL)), "Black point (dMax):");
  EXPECT_EQ(TextOf(hosted.Child(IDC_LUTCTL_DMIN_LABEL)), "White point (dMin):");
  EXPECT_EQ(TextOf(hosted.Child(IDC_LUTCTL_GAMMA_LABEL)), "Gamma:");
  EXPECT_EQ(TextOf(hosted.Child(IDC_LUTCTL_DMAX_EDIT)), "0");
  EXPECT_EQ(TextOf(hosted.Child(IDC_LUTCTL_DMIN_EDIT)), "255");
  EXPECT_EQ(TextOf(hosted.Child(IDC_LUTCTL_GAMMA_EDIT)), "1.0");
  EXPECT_EQ(SendMessageW(hosted.Child(IDC_LUTCTL_DMIN_TRACK), TBM_GETPOS, 0, 0), 255);
  EXPECT_EQ(SendMessageW(hosted.Child(IDC_LUTCTL_DMIN_TRACK), TBM_GETRANGEMAX, 0, 0), 255);
  EXPECT_EQ(SendMessageW(hosted.Child(IDC_LUTCTL_GAMMA_TRACK), TBM_GETPOS, 0, 0), 10);
  EXPECT_EQ(SendMessageW(hosted.Child(IDC_LUTCTL_GAMMA_TRACK), TBM_GETRANGEMIN, 0, 0), -15);
  EXPECT_EQ(SendMessageW(hosted.Child(IDC_LUTCTL_GAMMA_TRACK), TBM_GETRANGEMAX, 0, 0), 35);
  for (int id :
       {IDC_LUTCTL_GAMMALO_LABEL, IDC_LUTCTL_GAMMALO_TRACK, IDC_LUTCTL_GAMMALO_EDIT, IDC_LUTCTL_GAMMAHI_LABEL,
        IDC_LUTCTL_GAMMAHI_TRACK, IDC_LUTCTL_GAMMAHI_EDIT, IDC_LUTCTL_HINT})
    EXPECT_FALSE(Shown(hosted.Child(id))) << id;
  for (int id : {IDC_LUTCTL_DMAX_TRACK, IDC_LUTCTL_DMIN_EDIT, IDC_LUTCTL_GAMMA_TRACK})
    EXPECT_TRUE(Shown(hosted.Child(id))) << id;
  EXPECT_TRUE(DiagonalIn(hosted, GetSysColor(COLOR_3DDKSHADOW)));
  testsupport::SaveWindowShot(hosted.host, "lutctl-default");
}

TEST(LutCtlView, RowsAndButtonsFollowTypeAndChannelSet) {
  HostedLutCtl hosted(300, 360);
  ASSERT_EQ(hosted.created, S_OK);
  CComPtr<ILut> lut = hosted.Lut();
  HWND toolbar = hosted.Child(IDC_LUTCTL_TOOLBAR);
  struct Case {
    LUT_TYPE type;
    LUT_CHANNELSET channelSet;
    bool rows[5];  // black, white, gamma lo, gamma, gamma hi
    int typeImage;
    bool invertEnabled;
    bool channelShown[4];
  } const cases[] = {
      {ltBasic, csRGB, {true, true, false, true, false}, 0, true, {true, true, true, true}},
      {ltAdvanced, csRGB, {true, true, true, true, true}, 1, true, {true, true, true, true}},
      {ltManual, csRGB, {false, false, false, false, false}, 2, false, {true, true, true, true}},
      {ltBasic, csGreyscale, {true, true, false, true, false}, 0, true, {true, false, false, false}},
      {ltAdvanced, csGreyscale, {true, true, true, true, true}, 1, true, {true, false, false, false}},
      {ltManual, csGreyscale, {false, false, false, false, false}, 2, false, {true, false, false, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << " channel set " << c.channelSet);
    ASSERT_EQ(lut->put_ChannelSet(c.channelSet), S_OK);
    ASSERT_EQ(lut->put_Type(c.type), S_OK);
    Pump();
    for (int row = 0; row < 5; ++row) {
      EXPECT_EQ(Shown(hosted.Child(kLabels[row])), c.rows[row]) << row;
      EXPECT_EQ(Shown(hosted.Child(kTracks[row])), c.rows[row]) << row;
      EXPECT_EQ(Shown(hosted.Child(kEdits[row])), c.rows[row]) << row;
    }
    EXPECT_FALSE(Shown(hosted.Child(IDC_LUTCTL_HINT)));
    TBBUTTONINFOW info = {sizeof(info), TBIF_IMAGE};
    SendMessageW(toolbar, TB_GETBUTTONINFOW, ID_LUTCTL_TYPE, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.iImage, c.typeImage);
    EXPECT_EQ(SendMessageW(toolbar, TB_ISBUTTONENABLED, ID_LUTCTL_INVERT, 0) != 0, c.invertEnabled);
    EXPECT_EQ(SendMessageW(toolbar, TB_ISBUTTONENABLED, ID_LUTCTL_GAMMASTYLE, 0) != 0, c.invertEnabled);
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(SendMessageW(toolbar, TB_ISBUTTONHIDDEN, ID_LUTCTL_CHANNEL_ALL + i, 0) == 0,
                c.channelShown[i])
          << i;
      SendMessageW(toolbar, TB_GETBUTTONINFOW, ID_LUTCTL_CHANNEL_ALL + i, reinterpret_cast<LPARAM>(&info));
      EXPECT_EQ(info.iImage, 5 + i);
    }
    EXPECT_NE(SendMessageW(toolbar, TB_ISBUTTONCHECKED, ID_LUTCTL_CHANNEL_ALL, 0), 0);
    if (c.type == ltAdvanced && c.channelSet == csRGB)
      testsupport::SaveWindowShot(hosted.host, "lutctl-advanced");
  }
}

TEST(LutCtlView, EachChannelDrawsItsCurveInItsColour) {
  HostedLutCtl hosted(300, 360);
  ASSERT_EQ(hosted.created, S_OK);
  const COLORREF colours[] = {GetSysColor(COLOR_3DDKSHADOW), 0x4040C4, 0x408040, 0xFF6060};
  for (long channel = 0; channel < 4; ++channel) {
    ASSERT_EQ(hosted.control->put_Channel(static_cast<LUT_CHANNEL>(channel)), S_OK);
    Pump();
    EXPECT_TRUE(DiagonalIn(hosted, colours[channel])) << channel;
    EXPECT_NE(SendMessageW(hosted.Child(IDC_LUTCTL_TOOLBAR), TB_ISBUTTONCHECKED,
                           ID_LUTCTL_CHANNEL_ALL + channel, 0),
              0);
  }
}

TEST(LutCtlView, RowsAreLaidOutByTheFontsDialogUnits) {
  HostedLutCtl hosted(300, 360);
  ASSERT_EQ(hosted.created, S_OK);
  ASSERT_EQ(hosted.Lut()->put_Type(ltAdvanced), S_OK);
  for (short appearance : {0, 1}) {
    ASSERT_EQ(hosted.control->put_Appearance(appearance), S_OK);
    for (SIZE size : {SIZE{300, 360}, SIZE{420, 520}}) {
      SCOPED_TRACE(testing::Message() << size.cx << " x " << size.cy << " appearance " << appearance);
      hosted.Resize(size.cx, size.cy);
      HWND window = hosted.Window();
      RECT client;
      GetClientRect(window, &client);

      // The base units of the rows' font.
      HFONT font =
          reinterpret_cast<HFONT>(SendMessageW(hosted.Child(IDC_LUTCTL_DMAX_EDIT), WM_GETFONT, 0, 0));
      HDC dc = GetDC(window);
      HGDIOBJ old = SelectObject(dc, font);
      SIZE alphabet;
      GetTextExtentPoint32A(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &alphabet);
      TEXTMETRICA metrics;
      GetTextMetricsA(dc, &metrics);
      SelectObject(dc, old);
      ReleaseDC(window, dc);
      int bx = (alphabet.cx / 26 + 1) / 2, by = metrics.tmHeight;
      int mx = 4 * bx / 4, my = 4 * by / 8, gy = 7 * by / 8;
      int ex = (appearance ? 24 : 22) * bx / 4, ey = (appearance ? 14 : 12) * by / 8;
      int label = 66 * bx / 4;

      RECT toolbar = RectIn(hosted.Child(IDC_LUTCTL_TOOLBAR), window);
      int t = toolbar.bottom - toolbar.top;
      EXPECT_EQ(toolbar.top, 0);
      EXPECT_EQ(toolbar.right, client.right - mx / 2);
      int graphHeight = std::max(64, static_cast<int>(client.bottom - 5 * ey - 3 * gy - 3 * my - t - 2));
      int trackWidth = std::max(32, static_cast<int>(client.right - 4 * mx - ex - label));
      RECT graph = RectIn(hosted.Child(IDC_LUTCTL_GRAPH), window);
      EXPECT_EQ(graph.left, mx);
      EXPECT_EQ(graph.top, t + 2);
      EXPECT_EQ(graph.right - graph.left, client.right - 2 * mx);
      EXPECT_EQ(graph.bottom - graph.top, graphHeight);

      const int below[] = {gy, my, gy, my, my};
      int y = t + 2 + graphHeight;
      for (int row = 0; row < 5; ++row) {
        y += below[row];
        RECT labelRect = RectIn(hosted.Child(kLabels[row]), window);
        RECT trackRect = RectIn(hosted.Child(kTracks[row]), window);
        RECT editRect = RectIn(hosted.Child(kEdits[row]), window);
        EXPECT_EQ(labelRect.left, mx) << row;
        EXPECT_EQ(labelRect.top, y) << row;
        EXPECT_EQ(labelRect.right - labelRect.left, label) << row;
        EXPECT_EQ(trackRect.left, mx + label + mx) << row;
        EXPECT_EQ(trackRect.top, y - 1) << row;
        EXPECT_EQ(trackRect.bottom - trackRect.top, ey + 2) << row;
        EXPECT_EQ(trackRect.right - trackRect.left, trackWidth) << row;
        EXPECT_EQ(editRect.left, trackRect.right + mx) << row;
        EXPECT_EQ(editRect.right - editRect.left, ex) << row;
        EXPECT_EQ(editRect.bottom - editRect.top, ey) << row;
        y += ey;
      }
    }
  }
}
