#include "ImagesView.h"

#include "AppEventBus.h"
#include "BarcodeEvents.h"
#include "CmdLineParamEvent.h"
#include "DocumentEvents.h"
#include "ErrorReport.h"
#include "EventSource.h"
#include "ImageEvents.h"
#include "ImageViewEvents.h"
#include "MyException.h"
#include "Options.h"
#include "TheDocument.h"

#include "resource.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <utility>
#include <vector>

IMPLEMENT_DYNAMIC(CImagesView, CView)

BEGIN_MESSAGE_MAP(CImagesView, CView)
  ON_WM_SIZE()
  ON_WM_DESTROY()
  ON_WM_ERASEBKGND()
  ON_WM_SETFOCUS()
  ON_MESSAGE(CImagesView::ReportFailureMessage, &CImagesView::OnReportFailure)
END_MESSAGE_MAP()

namespace {

CString profileSection = "Settings\\ImageList";

constexpr int GridControlId = 0xFFFF;  // the grid is the view's only unnamed child
constexpr int BottomBarId = 0xE800;

CString IdOf(LPARAM data) { return data != 0 ? CString(reinterpret_cast<const char*>(data)) : CString(); }

}  // namespace

void SetImagesViewProfileSection(const char* section) { profileSection = section; }

const char* CImagesView::ProfileSection() { return profileSection; }

// ---- The grid.

CImagesView::CListCtl::CListCtl(CImagesView* view, COwnerCellCtlOwner* owner)
    : COwnerCellCtl(1, 1, StyleTwoPassDrawing | StyleMultipleSelection, owner), view(view) {}

BEGIN_MESSAGE_MAP(CImagesView::CListCtl, COwnerCellCtl)
  ON_WM_CAPTURECHANGED()
END_MESSAGE_MAP()

void CImagesView::CListCtl::OnCaptureChanged(CWnd* next) {
  Default();
  if (next == nullptr || next->m_hWnd != m_hWnd) view->FlushPendingAdds();
}

void CImagesView::CListCtl::FocusGained(CWnd* previous) {
  COwnerCellCtl::FocusGained(previous);
  view->ShowFocusMarker(true);
}

void CImagesView::CListCtl::FocusLost(CWnd* next) {
  COwnerCellCtl::FocusLost(next);
  view->ShowFocusMarker(false);
}

// ---- Life.

CImagesView::CImagesView() : grid(this, this) {
  chromaKeyAllowed = true;
  HDC screen = ::GetDC(nullptr);
  const LONG units = ::GetDialogBaseUnits();
  const int by = HIWORD(units);
  ::ReleaseDC(nullptr, screen);
  LOGFONTA font = {};
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpyA(font.lfFaceName, "Microsoft Sans Serif");
  font.lfHeight = -static_cast<int>(by * 7.2 / 8);
  numberFont.CreateFontIndirect(&font);
  font.lfHeight = -static_cast<int>(by * 7.0 / 8);
  captionFont.CreateFontIndirect(&font);
  fileNameFont.CreateFontIndirect(&font);
}

CImagesView::~CImagesView() {
  if (document != nullptr) document->Unsubscribe(this);
  if (appEvents != nullptr) appEvents->Unsubscribe(this);
}

BOOL CImagesView::CreateView(CWnd* parent, UINT id, CTheDocument* doc, EventSource* appSource) {
  document = doc;
  if (!CWnd::Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, CRect(0, 0, 0, 0), parent, id,
                    nullptr))
    return FALSE;
  if (bottomBar.CreateEx(this, TBSTYLE_FLAT, 0x50008280, CRect(0, 0, 0, 0), BottomBarId))
    bottomBar.LoadToolBar(IDR_IMAGES_VIEW_BAR);
  COwnerCellCtl::RegisterWindowClass();
  if (!grid.Create(COwnerCellCtl::kWindowClass, "", 0x50200000, CRect(0, 0, 0, 0), this, GridControlId))
    return FALSE;
  focusMarker.Create("", WS_CHILD | SS_BITMAP, CRect(0, 0, 11, 11), this);
  focusBitmap = static_cast<HBITMAP>(
      ::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDB_FOCUS_MARKER), IMAGE_BITMAP, 0, 0, 0));
  if (focusBitmap != nullptr)
    focusMarker.SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(focusBitmap));

  appEvents = appSource != nullptr ? appSource : GetAppEventSource();
  if (appEvents != nullptr) appEvents->Subscribe(this);
  if (document != nullptr) document->Subscribe(this);

  arrangement.Load(ProfileSection(), "Cell");
  CWinApp* app = AfxGetApp();
  if (app != nullptr) {
    colours.voidPlace = app->GetProfileInt(ProfileSection(), "ColorVoid", colours.voidPlace);
    colours.selected = app->GetProfileInt(ProfileSection(), "ColorSelected", colours.selected);
    colours.background = app->GetProfileInt(ProfileSection(), "ColorBackground", colours.background);
  }
  LayoutChildren();
  OnDocumentClosed();
  return TRUE;
}

void CImagesView::OnDestroy() {
  arrangement.Save(ProfileSection(), "Cell");
  if (document != nullptr) document->Unsubscribe(this);
  if (appEvents != nullptr) appEvents->Unsubscribe(this);
  document = nullptr;
  appEvents = nullptr;
  CView::OnDestroy();
  if (focusBitmap != nullptr) {
    ::DeleteObject(focusBitmap);
    focusBitmap = nullptr;
  }
}

// The grid paints itself; what is left is the bottom bar's strip, and the flat bar asks its parent for
// the colour behind its buttons.
BOOL CImagesView::OnEraseBkgnd(CDC* dc) {
  CRect client;
  GetClientRect(&client);
  ::FillRect(dc->GetSafeHdc(), &client, ::GetSysColorBrush(COLOR_BTNFACE));
  return TRUE;
}

void CImagesView::OnSetFocus(CWnd*) {
  if (grid.m_hWnd != nullptr) grid.SetFocus();
}

void CImagesView::OnSize(UINT type, int cx, int cy) {
  CView::OnSize(type, cx, cy);
  LayoutChildren();
}

void CImagesView::LayoutChildren() {
  if (m_hWnd == nullptr) return;
  CRect client;
  GetClientRect(&client);
  const int w = client.Width(), h = client.Height();
  int barHeight = 0;
  if (bottomBar.m_hWnd != nullptr) {
    barHeight = bottomBar.CalcFixedLayout(FALSE, TRUE).cy;
    bottomBar.MoveWindow(0, h - barHeight, w, barHeight);
  }
  if (grid.m_hWnd != nullptr) grid.MoveWindow(0, 0, w, std::max(0, h - barHeight));
  if (focusMarker.m_hWnd != nullptr) focusMarker.MoveWindow(w - 16, h - 16, 11, 11);
  ApplyArrangement();
}

void CImagesView::ApplyArrangement() {
  if (grid.m_hWnd == nullptr) return;
  // Zero or negative counts and sizes (a hand-edited profile, a grid narrower than a locked cell)
  // count as one, so the layout never divides by zero.
  arrangement.NoAcross = std::max(1, arrangement.NoAcross);
  arrangement.NoDown = std::max(1, arrangement.NoDown);
  if (toolMode == 2) {
    grid.SetLayout(1, 1);
    return;
  }
  if (arrangement.IsLocked) {
    CRect client;
    grid.GetClientRect(&client);
    const int lockedX = std::max(1, arrangement.LockedX);
    const int lockedY = std::max(1, arrangement.LockedY);
    arrangement.NoAcross = std::max(1, client.Width() / lockedX);
    arrangement.NoDown = std::max(1, client.Height() / lockedY);
  }
  if (arrangement.Arrange)
    grid.SetLayout(arrangement.NoAcross, arrangement.NoDown);
  else
    grid.SetLayout(1, 1);
}

void CImagesView::ShowFocusMarker(bool show) {
  if (focusMarker.m_hWnd != nullptr) focusMarker.ShowWindow(show ? SW_SHOW : SW_HIDE);
}

// ---- Failures outside a command frame: kept and reported once, after the paint or the event.

void CImagesView::KeepFailure(std::exception_ptr failure) {
  if (failureReportPending) return;
  failureReportPending = true;
  pendingFailureException = failure;
  if (m_hWnd != nullptr)
    PostMessage(ReportFailureMessage);
  else
    OnReportFailure(0, 0);
}

LRESULT CImagesView::OnReportFailure(WPARAM, LPARAM) {
  std::exception_ptr failure = std::exchange(pendingFailureException, nullptr);
  if (failure != nullptr) ReportException(failure);
  failureReportPending = false;
  return 0;
}

// ---- The list.

void CImagesView::SetUpdatesEnabled(bool enabled) {
  updatesEnabled = enabled;
  if (enabled && rebuildPending) {
    rebuildPending = false;
    RebuildImageList();
  }
}

bool CImagesView::IncludeImage(const char*) { return true; }

bool CImagesView::OnRemoveImages(const SharedStringList&) { return false; }

// A caption that says nothing about this image (the template filled without one) is not drawn.
CString CImagesView::GetImageCaption(const char* id) {
  if (document == nullptr) return CString();
  const CString caption = document->GetImageCaption(id);
  return caption == document->GetEmptyImageCaption() ? CString() : caption;
}

int CImagesView::CompareImages(const char* a, const char* b) {
  if (document == nullptr) return -1;
  return document->GetImageNumber(a) <= document->GetImageNumber(b) ? -1 : 1;
}

void CImagesView::OnDocumentOpened() {
  RebuildImageList();
  if (grid.m_hWnd != nullptr) grid.EnableWindow(TRUE);
}

void CImagesView::OnDocumentClosed() {
  if (grid.m_hWnd != nullptr) {
    grid.EnableWindow(FALSE);
    grid.DeleteAllItems();
  }
  cells.clear();
}

void CImagesView::RebuildImageList() {
  if (!updatesEnabled) {
    rebuildPending = true;
    return;
  }
  if (grid.m_hWnd == nullptr) return;
  CWaitCursor wait;
  try {
    grid.SetRedraw(false);
    SharedStringList list = GetImageList();
    std::set<CString, NumericStringLessOrder> wanted;
    for (int i = 0; i < list.GetCount(); ++i) wanted.insert(list[i]);
    for (int index = 0; index < grid.GetItemCount();) {
      const CString id = GetCellImageId(index);
      if (wanted.count(id) == 0)
        RemoveImageCell(id);
      else
        ++index;
    }
    for (const CString& id : wanted)
      if (!HasImageCell(id)) AddImageCell(id);
    grid.SortItems();
    grid.SetRedraw(true);
    ApplyArrangement();
  } catch (...) {
    // The grid never stays frozen after a failed rebuild.
    grid.SetRedraw(true);
    ReportCurrentException();
  }
}

int CImagesView::AddImageCell(const char* id) {
  const size_t length = std::strlen(id) + 1;
  char* copy = static_cast<char*>(std::malloc(length));
  if (copy == nullptr) throw CMyException(E_OUTOFMEMORY, "E_OUTOFMEMORY", "ImagesView", 391);
  std::memcpy(copy, id, length);
  COwnerCellCtl::ItemHandle item;
  try {
    item = grid.InsertItemSorted(reinterpret_cast<LPARAM>(copy));
  } catch (...) {
    std::free(copy);
    throw;
  }
  cells[id] = item.id;
  return item.id;
}

void CImagesView::RemoveImageCell(const char* id) {
  auto found = cells.find(id);
  if (found == cells.end()) return;
  const int itemId = found->second;
  cells.erase(found);
  grid.DeleteItem(COwnerCellCtl::ItemPos::ById(itemId));
}

int CImagesView::GetImageCellId(const char* id) const {
  auto found = cells.find(id);
  return found != cells.end() ? found->second : 0;
}

CString CImagesView::GetCellImageId(int index) const {
  if (index < 0 || index >= grid.GetItemCount()) return CString();
  return IdOf(grid.GetItemData(COwnerCellCtl::ItemPos::ByIndex(index)));
}

void CImagesView::AddImage(const char* id, bool follow) {
  if (!IncludeImage(id)) return;
  if (grid.m_hWnd != nullptr && ::GetCapture() == grid.m_hWnd) {
    // The new cell would move the one under the mouse: it waits for the release.
    pendingAdds.SetCopyOnWrite(true);
    pendingAdds.Append(id);
    pendingFollow = follow;
    return;
  }
  try {
    if (HasImageCell(id)) return;
    const int itemId = AddImageCell(id);
    grid.SortItems();
    if (follow) grid.SelectItem(COwnerCellCtl::ItemPos::ById(itemId), true);
  } catch (...) {
    ReportCurrentException();
  }
}

void CImagesView::FlushPendingAdds() {
  if (pendingAdds.GetCount() == 0) return;
  SharedStringList queued = pendingAdds;
  const bool follow = pendingFollow;
  pendingAdds = SharedStringList();
  pendingFollow = false;
  for (int i = 0; i < queued.GetCount(); ++i) AddImage(queued[i], follow && i == queued.GetCount() - 1);
}

// ---- Selection.

void CImagesView::SelectImage(const char* id) {
  const int itemId = GetImageCellId(id);
  if (itemId == 0) return;
  grid.SelectItem(COwnerCellCtl::ItemPos::ById(itemId), true);
}

void CImagesView::SelectImages(const SharedStringList& ids) {
  if (ids.GetCount() == 1) {
    SelectImage(ids[0]);
    return;
  }
  reportSelection = false;
  for (int i = 0; i < grid.GetItemCount(); ++i)
    grid.SetItemSelected(COwnerCellCtl::ItemPos::ByIndex(i), false);
  for (int i = 0; i < ids.GetCount(); ++i) {
    const int itemId = GetImageCellId(ids[i]);
    if (itemId != 0) grid.SetItemSelected(COwnerCellCtl::ItemPos::ById(itemId), true);
  }
  reportSelection = true;
  FireSelectionChange();
}

void CImagesView::SelectAllImages(bool select) {
  reportSelection = false;
  for (int i = 0; i < grid.GetItemCount(); ++i)
    grid.SetItemSelected(COwnerCellCtl::ItemPos::ByIndex(i), select);
  reportSelection = true;
  FireSelectionChange();
}

void CImagesView::FireSelectionChange() {
  if (document == nullptr) return;
  ImageSelectionChangeEvent event;
  document->FireEvent(event);
}

SharedStringList CImagesView::GetSelectionInOrder() const {
  std::vector<std::pair<int, int>> ordered;  // (selection order, index)
  for (int i = 0; i < grid.GetItemCount(); ++i) {
    const int order = grid.GetSelectionOrder(COwnerCellCtl::ItemPos::ByIndex(i));
    if (order != 0) ordered.emplace_back(order, i);
  }
  std::sort(ordered.begin(), ordered.end());
  SharedStringList ids;
  for (const auto& entry : ordered) ids.Append(GetCellImageId(entry.second));
  return ids;
}

void CImagesView::RedrawImage(const char* id) {
  const int itemId = GetImageCellId(id);
  if (itemId != 0) grid.RedrawItem(COwnerCellCtl::ItemPos::ById(itemId));
}

int CImagesView::SetToolMode(int mode) {
  if (mode == toolMode || (mode == 3 && !chromaKeyAllowed)) return mode;
  toolMode = mode;
  LayoutChildren();
  grid.Redraw();
  return mode;
}

void CImagesView::AnswerSetRequest(ImageSetRequestEvent& request) {
  request.answered = 1;
  const int count = grid.GetItemCount();
  int first = -1;
  for (int i = 0; i < count && first < 0; ++i)
    if (grid.GetSelectionOrder(COwnerCellCtl::ItemPos::ByIndex(i)) != 0) first = i;
  SharedStringList ids;
  switch (request.type) {
    case ImageSetRequestEvent::All:
      for (int i = 0; i < count; ++i) ids.Append(GetCellImageId(i));
      break;
    case ImageSetRequestEvent::FromFirstSelected:
      if (first >= 0)
        for (int i = first; i < count; ++i) ids.Append(GetCellImageId(i));
      break;
    case ImageSetRequestEvent::AfterFirstSelected:
      if (first >= 0 && first + 1 < count) ids.Append(GetCellImageId(first + 1));
      break;
    default:
      break;
  }
  request.ids = ids;
}

// ---- Selecting from outside: the command line and the barcode scanner.

namespace {

// The decimal number the text holds; false when it holds none (or anything after it).
bool ParseNumber(const CString& text, int32_t& number) {
  if (text.IsEmpty()) return false;
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (end == static_cast<const char*>(text) || *end != '\0') return false;
  number = static_cast<int32_t>(value);
  return true;
}

}  // namespace

void CImagesView::SelectFromCommandLine(const CString& text) {
  if (document == nullptr || text.GetLength() < 3) return;
  if (toupper(static_cast<unsigned char>(text[0])) != 'F' ||
      toupper(static_cast<unsigned char>(text[1])) != 'I')
    return;
  const char kind = static_cast<char>(toupper(static_cast<unsigned char>(text[2])));
  const CString rest = text.Mid(3);
  int32_t number = 0;
  if (kind == 'N') {
    if (ParseNumber(rest, number)) document->SelectImageByNumber(number);
  } else if (kind == 'T') {
    if (!rest.IsEmpty()) document->SelectImagesByFileName(rest);
  }
}

void CImagesView::SelectFromBarcode(const CString& text) {
  bool found = false;
  if (document != nullptr && !text.IsEmpty()) {
    const char kind = static_cast<char>(toupper(static_cast<unsigned char>(text[0])));
    const CString data = text.Mid(1);
    int32_t number = 0;
    switch (kind) {
      case '/':
        found = !data.IsEmpty() && document->SelectImagesByFileName(data) > 0;
        if (!found && ParseNumber(data, number)) found = document->SelectImageByNumber(number);
        break;
      case 'F':
      case 'T':
        found = !data.IsEmpty() && document->SelectImagesByFileName(data) > 0;
        break;
      case 'N':
        found = ParseNumber(data, number) && document->SelectImageByNumber(number);
        break;
      default:
        break;
    }
  }
  if (!found) {
    ::Sleep(200);
    ::MessageBeep(MB_OK);
  }
}

// ---- Events.

int CImagesView::OnEvent(EventSource* source, Event* event) {
  Guarded([&] { HandleEvent(source, event); });
  return 0;
}

void CImagesView::HandleEvent(EventSource*, Event* event) {
  if (event == nullptr) return;
  if (auto* request = dynamic_cast<ImageSelectionRequestEvent*>(event)) {
    SharedStringList ids = GetSelectionInOrder();
    request->answered = 1;
    request->kind = ids.GetCount() == 0   ? ImageSelectionRequestEvent::None
                    : ids.GetCount() == 1 ? ImageSelectionRequestEvent::One
                                          : ImageSelectionRequestEvent::Several;
    if (ids.GetCount() == 1)
      request->id = ids[0];
    else if (ids.GetCount() > 1)
      request->ids = ids;
    return;
  }
  if (auto* request = dynamic_cast<ImageSetRequestEvent*>(event)) {
    AnswerSetRequest(*request);
    return;
  }
  if (dynamic_cast<FileNewEvent*>(event) != nullptr || dynamic_cast<FileOpenEvent*>(event) != nullptr) {
    OnDocumentOpened();
    return;
  }
  if (dynamic_cast<FileCloseEvent*>(event) != nullptr) {
    OnDocumentClosed();
    return;
  }
  if (auto* added = dynamic_cast<ImageAddedEvent*>(event)) {
    if (!batchRunning) AddImage(added->id, added->follow);
    return;
  }
  if (auto* removed = dynamic_cast<ImageRemovedEvent*>(event)) {
    if (!batchRunning) RemoveImageCell(removed->id);
    return;
  }
  if (dynamic_cast<ImageReplacedEvent*>(event) != nullptr ||
      dynamic_cast<ImageChangedEvent*>(event) != nullptr) {
    if (!batchRunning) RedrawImage(static_cast<ImageEvent*>(event)->id);
    return;
  }
  if (dynamic_cast<ImageStatusEvent*>(event) != nullptr ||
      dynamic_cast<ImageCropScaleChangeEvent*>(event) != nullptr ||
      dynamic_cast<ImageColorCorrectChangeEvent*>(event) != nullptr ||
      dynamic_cast<ImageChromaKeyChangeEvent*>(event) != nullptr ||
      dynamic_cast<ImageRotationChangeEvent*>(event) != nullptr) {
    RedrawImage(static_cast<ImageEvent*>(event)->id);
    return;
  }
  if (dynamic_cast<AspectRatiosChangeEvent*>(event) != nullptr) {
    grid.Redraw();
    return;
  }
  if (auto* select = dynamic_cast<ImageSelectEvent*>(event)) {
    if (select->kind == ImageSelectEvent::OneImage)
      SelectImage(select->id);
    else
      SelectImages(select->ids);
    return;
  }
  if (dynamic_cast<ImageMultipleBeginEvent*>(event) != nullptr) {
    batchRunning = true;
    return;
  }
  if (dynamic_cast<ImageMultipleEndEvent*>(event) != nullptr) {
    batchRunning = false;
    RebuildImageList();
    return;
  }
  if (dynamic_cast<PrimaryImageIsFirstChangeEvent*>(event) != nullptr) {
    RebuildImageList();
    return;
  }
  if (auto* param = dynamic_cast<CmdLineParamEvent*>(event)) {
    SelectFromCommandLine(param->text);
    return;
  }
  if (auto* barcode = dynamic_cast<BCImageEvent*>(event)) {
    SelectFromBarcode(barcode->text);
    return;
  }
}

// ---- Owner callbacks.

void CImagesView::OnDeleteItemData(COwnerCellCtl*, LPARAM data) { std::free(reinterpret_cast<void*>(data)); }

int CImagesView::OnCompareItems(COwnerCellCtl*, int, LPARAM data1, int, LPARAM data2) {
  return CompareImages(IdOf(data1), IdOf(data2));
}

void CImagesView::OnCellLButtonDown(COwnerCellCtl* ctl, int index, const CRect& cell, UINT flags, int x,
                                    int y) {
  Guarded([&] {
    if (index >= 0 && document != nullptr) {
      ImageClickEvent event(GetCellImageId(index));
      document->FireEvent(event);
    }
    COwnerCellCtlOwner::OnCellLButtonDown(ctl, index, cell, flags, x, y);
    // A press on an image cell keeps the mouse until the release, so that cells added meanwhile
    // do not move under it.
    if (index >= 0 && ::GetKeyState(VK_MENU) >= 0 && toolMode != 3 && ::GetCapture() != ctl->m_hWnd)
      ctl->SetCapture();
  });
}

void CImagesView::OnCellLButtonUp(COwnerCellCtl* ctl, int index, const CRect& cell, UINT flags, int x,
                                  int y) {
  Guarded([&] {
    COwnerCellCtlOwner::OnCellLButtonUp(ctl, index, cell, flags, x, y);
    if (::GetCapture() == ctl->m_hWnd) ::ReleaseCapture();
    FlushPendingAdds();
  });
}

void CImagesView::OnCellLButtonDblClk(COwnerCellCtl* ctl, int index, const CRect&, UINT flags, int, int) {
  if (index < 0) return;
  Guarded([&] {
    if ((flags & MK_CONTROL) != 0) grid.SelectItem(COwnerCellCtl::ItemPos::ByIndex(index), false);
    if (document != nullptr) {
      ImageDblClickEvent event(GetCellImageId(index));
      document->FireEvent(event);
    }
  });
  (void)ctl;
}

void CImagesView::OnCellChar(COwnerCellCtl*, UINT, UINT, UINT) {}

void CImagesView::OnClickSelect(COwnerCellCtl* ctl, UINT flags, int index) {
  if (suppressNextClickSelect) {
    suppressNextClickSelect = false;
    return;
  }
  COwnerCellCtlOwner::OnClickSelect(ctl, flags, index);
}

void CImagesView::OnSelectionChanged(COwnerCellCtl*, int) {
  Guarded([&] {
    if (reportSelection) FireSelectionChange();
  });
}

// ---- Commands: the view's own come first; the rest go on to the frame and the job.

BOOL CImagesView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  return CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}
