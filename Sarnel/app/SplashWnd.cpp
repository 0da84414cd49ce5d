#include "SplashWnd.h"

#include "FileVersionInfo.h"

#include "resource.h"

namespace {

CSplashWnd* splash = nullptr;
bool timerExpired = false;
bool waiting = false;

bool ClosesSplash(UINT message) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
      return true;
    default:
      return false;
  }
}

struct VersionTexts {
  CString product;
  CString legal;
};

VersionTexts ReadVersionTexts() {
  VersionTexts texts;
  char path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  FileVersionInfo info;
  const bool readable = length != 0 && length < MAX_PATH && info.Load(path);
  CString productName, productVersion, privateBuild, computer, user, date;
  if (readable) {
    productName = info.GetValue("ProductName");
    productVersion = info.GetValue("ProductVersion");
    texts.legal = info.GetValue("LegalCopyright");
    privateBuild = info.GetValue("PrivateBuild");
  }
  const bool isPrivate = !readable || (info.GetFileFlags() & VS_FF_PRIVATEBUILD) != 0;
  if (!isPrivate) {
    texts.product = productName + " Version " + productVersion;
    return texts;
  }
  if (readable) {
    computer = info.GetValue("BuildComputer");
    user = info.GetValue("BuildUser");
    date = info.GetValue("BuildDate");
  }
  texts.product = "Private build \xB7 ";
  if (!computer.IsEmpty() && !user.IsEmpty())
    texts.product += CString("\\\\") + computer + "\\" + user;
  else
    texts.product += privateBuild;
  if (!date.IsEmpty()) texts.product += CString(" \xB7 ") + date;
  return texts;
}

HFONT MakeFont(int height, int weight) {
  LOGFONTA font = {};
  font.lfHeight = height;
  font.lfWeight = weight;
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(font.lfFaceName, "HELV", LF_FACESIZE);
  return CreateFontIndirectA(&font);
}

}  // namespace

BEGIN_MESSAGE_MAP(CSplashWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_PAINT()
  ON_WM_TIMER()
END_MESSAGE_MAP()

CSplashWnd::~CSplashWnd() {
  if (bitmap != nullptr) DeleteObject(bitmap);
  if (splash == this) splash = nullptr;
}

CSplashWnd* CSplashWnd::GetSplash() { return splash; }

void CSplashWnd::ShowSplashScreen(bool, CWnd* parent) {
  if (splash != nullptr) return;
  auto* created = new CSplashWnd;
  splash = created;
  if (!created->Create(parent)) {
    // A window that was made and failed deletes itself; one never made is deleted here.
    if (splash == created) {
      splash = nullptr;
      delete created;
    }
    return;
  }
  created->UpdateWindow();
  timerExpired = false;
  waiting = false;
}

bool CSplashWnd::Create(CWnd* parent) {
  bitmap = static_cast<HBITMAP>(LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDB_SPLASH), IMAGE_BITMAP,
                                           0, 0, LR_CREATEDIBSECTION));
  if (bitmap == nullptr) return false;
  BITMAP info = {};
  GetObjectA(bitmap, sizeof(info), &info);
  bitmapSize = {info.bmWidth, info.bmHeight};
  LPCTSTR windowClass = AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW));
  return CreateEx(0, windowClass, nullptr, WS_POPUP | WS_VISIBLE, 0, 0, bitmapSize.cx, bitmapSize.cy,
                  parent != nullptr ? AfxSafeHwnd(parent) : nullptr, nullptr) != FALSE;
}

int CSplashWnd::OnCreate(LPCREATESTRUCT) {
  CenterWindow();
  CString title;
  title.LoadString(IDS_PELLORIN);
  SetWindowText(title);
  return 0;
}

void CSplashWnd::StartCloseTimer() {
  if (splash == nullptr) return;
  splash->Invalidate(FALSE);
  splash->UpdateWindow();
  splash->KillTimer(CloseTimerId);
  splash->SetTimer(CloseTimerId, CloseTimerMs);
}

void CSplashWnd::WaitForClose() {
  if (splash == nullptr) return;
  if (timerExpired) {
    HideSplashScreen();
    return;
  }
  waiting = true;
  MSG msg;
  while (splash != nullptr) {
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      // The program is ending: the splash goes, and the outer loop must still see the quit.
      HideSplashScreen();
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    // A key or click that closes the splash still reaches its own window.
    PreTranslateAppMessage(&msg);
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  waiting = false;
}

void CSplashWnd::HideSplashScreen() {
  if (splash != nullptr && splash->m_hWnd != nullptr) splash->DestroyWindow();
}

bool CSplashWnd::PreTranslateAppMessage(MSG* pMsg) {
  if (splash == nullptr || !ClosesSplash(pMsg->message)) return false;
  HideSplashScreen();
  return true;
}

void CSplashWnd::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent != CloseTimerId) return;
  KillTimer(CloseTimerId);
  if (waiting)
    DestroyWindow();
  else
    timerExpired = true;
}

void CSplashWnd::PostNcDestroy() {
  if (splash == this) splash = nullptr;
  delete this;
}

CString CSplashWnd::GetProductLine() { return ReadVersionTexts().product; }
CString CSplashWnd::GetLegalLine() { return ReadVersionTexts().legal; }

void CSplashWnd::OnPaint() {
  CPaintDC paint(this);
  HDC screen = paint.GetSafeHdc();
  const int width = bitmapSize.cx;
  const int height = bitmapSize.cy;
  // Drawn off screen first, so the picture never shows without its texts.
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP buffer = CreateCompatibleBitmap(screen, width, height);
  HDC source = CreateCompatibleDC(screen);
  if (memory == nullptr || buffer == nullptr || source == nullptr) {
    if (source != nullptr) DeleteDC(source);
    if (buffer != nullptr) DeleteObject(buffer);
    if (memory != nullptr) DeleteDC(memory);
    return;
  }
  HGDIOBJ oldBuffer = SelectObject(memory, buffer);
  HGDIOBJ oldSource = SelectObject(source, bitmap);
  BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
  SelectObject(source, oldSource);
  DeleteDC(source);
  DrawTexts(memory, width, height);
  BitBlt(screen, 0, 0, width, height, memory, 0, 0, SRCCOPY);
  SelectObject(memory, oldBuffer);
  DeleteObject(buffer);
  DeleteDC(memory);
}

void CSplashWnd::DrawTexts(HDC dc, int width, int height) {
  const LONG units = GetDialogBaseUnits();
  const double x = LOWORD(units);
  const double y = HIWORD(units);
  const int boldHeight = static_cast<int>(y * 9 * 0.125);
  const int h = static_cast<int>(y * 7.5 * 0.125);
  const int m = static_cast<int>(x * 6 * 0.25);
  const int b = static_cast<int>(y * 6 * 0.125);
  const int g = static_cast<int>(y * 0.8 * 0.125);
  const int bottom = height - b;

  const VersionTexts texts = ReadVersionTexts();
  HFONT bold = MakeFont(boldHeight, FW_BOLD);
  HFONT normal = MakeFont(h, FW_NORMAL);
  const int saved = SaveDC(dc);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  const UINT format = DT_LEFT | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX;

  RECT productRow = {m, bottom - 3 * h - 2 * g, width - m, bottom - 2 * h - 2 * g};
  if (bold != nullptr) SelectObject(dc, bold);
  DrawTextA(dc, texts.product, texts.product.GetLength(), &productRow, format);

  RECT legalRow = {m, bottom - 2 * h - g, width - m, bottom - h - g};
  if (normal != nullptr) SelectObject(dc, normal);
  DrawTextA(dc, texts.legal, texts.legal.GetLength(), &legalRow, format);

  RestoreDC(dc, saved);
  if (bold != nullptr) DeleteObject(bold);
  if (normal != nullptr) DeleteObject(normal);
}
