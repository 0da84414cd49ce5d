#include "ImagesFromDiskDlg.h"

#include "ImageEvents.h"
#include "ControlClasses.h"
#include "DocumentEvents.h"
#include "ImageFromDiskSettings.h"
#include "ImagesImportSettings.h"
#include "ImportMessages.h"
#include "ImportSetupDlg.h"
#include "TheDocument.h"
#include "resource.h"

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);
// A file that was not taken: red text on white.
constexpr COLORREF Refused = RGB(255, 64, 64);

CString Upper(const CString& text) {
  CString upper = text;
  upper.MakeUpper();
  return upper;
}

}  // namespace

BEGIN_MESSAGE_MAP(CImagesFromDiskDlg, CDialog)
  ON_BN_CLICKED(IDC_IMPORT_START, &CImagesFromDiskDlg::OnStart)
  ON_BN_CLICKED(IDC_IMPORT_STOP, &CImagesFromDiskDlg::OnStop)
  ON_BN_CLICKED(IDC_IMPORT_PAUSE, &CImagesFromDiskDlg::OnPause)
  ON_BN_CLICKED(IDC_IMPORT_HIDE, &CImagesFromDiskDlg::OnHide)
  ON_BN_CLICKED(IDC_IMPORT_SETUP, &CImagesFromDiskDlg::OnSetup)
  ON_BN_CLICKED(IDC_IMPORT_EMPTY_LIST, &CImagesFromDiskDlg::OnEmptyList)
  ON_BN_CLICKED(IDC_IMPORT_ADD_DIRECTORY, &CImagesFromDiskDlg::OnAddDirectory)
  ON_BN_CLICKED(IDC_IMPORT_ADD_MASK, &CImagesFromDiskDlg::OnAddMask)
  ON_BN_CLICKED(IDC_IMPORT_ADD_SELECTED, &CImagesFromDiskDlg::OnAddSelected)
  ON_BN_CLICKED(IDC_IMPORT_NUMERIC, &CImagesFromDiskDlg::OnOrder)
  ON_BN_CLICKED(IDC_IMPORT_ALPHABETIC, &CImagesFromDiskDlg::OnOrder)
  ON_BN_CLICKED(IDC_IMPORT_USE_EXIF, &CImagesFromDiskDlg::OnUseExif)
  ON_WM_DESTROY()
  ON_NOTIFY(NM_CLICK, IDC_IMPORT_FILES, &CImagesFromDiskDlg::OnGridClick)
  ON_NOTIFY(NM_DBLCLK, IDC_IMPORT_FILES, &CImagesFromDiskDlg::OnGridDoubleClick)
  ON_MESSAGE(WM_IMPORT_FILE, &CImagesFromDiskDlg::OnWorkerFile)
  ON_MESSAGE(WM_IMPORT_PERCENT, &CImagesFromDiskDlg::OnWorkerPercent)
  ON_MESSAGE(WM_IMPORT_QUESTION, &CImagesFromDiskDlg::OnWorkerQuestion)
  ON_MESSAGE(WM_IMPORT_IMAGE, &CImagesFromDiskDlg::OnWorkerImage)
  ON_MESSAGE(WM_IMPORT_DONE_FILE, &CImagesFromDiskDlg::OnWorkerDoneFile)
  ON_MESSAGE(WM_IMPORT_FINISHED, &CImagesFromDiskDlg::OnWorkerFinished)
  ON_MESSAGE(WM_IMPORT_STOPPED, &CImagesFromDiskDlg::OnWorkerStopped)
END_MESSAGE_MAP()

CImagesFromDiskDlg::CImagesFromDiskDlg(CTheDocument& document, CWnd* parent)
    : CDialog(IDD_IMAGES_FROM_DISK, parent), document(document) {
  // Registered at start-up; again here for a dialog made before that (nothing happens then).
  ControlClasses::RegisterGridClass();
  ControlClasses::RegisterOwnerCtlClass();
  Create(IDD_IMAGES_FROM_DISK, parent);
}

CImagesFromDiskDlg::~CImagesFromDiskDlg() {
  if (m_hWnd != nullptr) DestroyWindow();
  UnsubscribeAll();
}

// ---- opening and the buttons

BOOL CImagesFromDiskDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  CenterWindow();
  preview.AttachDlgItem(IDC_IMPORT_PREVIEW, this);
  document.Subscribe(this);
  CheckRadioButton(IDC_IMPORT_NUMERIC, IDC_IMPORT_ALPHABETIC,
                   ImageFromDiskSettings::Instance().order == 1 ? IDC_IMPORT_ALPHABETIC : IDC_IMPORT_NUMERIC);
  const ImagesImportSettings& import = GetImagesImportSettings();
  CheckDlgButton(IDC_IMPORT_PAUSE, import.ImportActive ? BST_UNCHECKED : BST_CHECKED);
  CheckDlgButton(IDC_IMPORT_USE_EXIF, import.UseExif ? BST_CHECKED : BST_UNCHECKED);
  SetUpGrid();
  UpdateButtons();
  return TRUE;
}

void CImagesFromDiskDlg::SetUpGrid() {
  grid.SubclassDlgItem(IDC_IMPORT_FILES, this);
  grid.SetEditable(FALSE);
  grid.SetColumnCount(2);
  grid.SetFixedRowCount(0);
  grid.SetFixedColumnCount(0);
  CClientDC dc(this);
  CFont* old = dc.SelectObject(GetFont());
  TEXTMETRICA metrics{};
  ::GetTextMetricsA(dc.GetSafeHdc(), &metrics);
  dc.SelectObject(old);
  grid.SetDefaultRowHeight(metrics.tmHeight + metrics.tmExternalLeading + 2);
  GridItem check(0, 0, GVIF_TYPE);
  check.type = gctCheck;
  grid.SetColumnDefaults(0, check);
  grid.SetColumnWidth(0, metrics.tmAveCharWidth * 2 + 8);
  grid.SetStretchColumn(1);
  grid.ExpandColumns();
}

bool CImagesFromDiskDlg::IsRunning() const {
  return ::WaitForSingleObject(doneEvent.m_hObject, 0) != WAIT_OBJECT_0;
}

void CImagesFromDiskDlg::UpdateButtons() {
  if (m_hWnd == nullptr) return;
  const bool running = IsRunning();
  for (int id : {IDC_IMPORT_SETUP, IDC_IMPORT_EMPTY_LIST, IDC_IMPORT_ADD_DIRECTORY, IDC_IMPORT_ADD_MASK,
                 IDC_IMPORT_ADD_SELECTED, IDC_IMPORT_USE_EXIF})
    if (CWnd* item = GetDlgItem(id)) item->EnableWindow(!running);
  if (CWnd* start = GetDlgItem(IDC_IMPORT_START))
    start->EnableWindow(!running && document.IsOpen() && !document.IsReadOnly());
  if (CWnd* stop = GetDlgItem(IDC_IMPORT_STOP)) stop->EnableWindow(running);
}

void CImagesFromDiskDlg::OnHide() { ShowWindow(SW_HIDE); }
void CImagesFromDiskDlg::OnCancel() { ShowWindow(SW_HIDE); }

void CImagesFromDiskDlg::OnSetup() {
  CImagesFromDiskSetupDlg setup(this);
  setup.DoModal();
  UpdateButtons();
}

void CImagesFromDiskDlg::OnOrder() {
  ImageFromDiskSettings::Instance().order = IsDlgButtonChecked(IDC_IMPORT_ALPHABETIC) == BST_CHECKED ? 1 : 0;
}

void CImagesFromDiskDlg::OnUseExif() {
  GetImagesImportSettings().UseExif = IsDlgButtonChecked(IDC_IMPORT_USE_EXIF) == BST_CHECKED;
}

void CImagesFromDiskDlg::OnPause() {
  ImagesImportSettings& import = GetImagesImportSettings();
  import.ImportActive = !import.ImportActive;
  ImageImportGoEvent go(IsDlgButtonChecked(IDC_IMPORT_PAUSE) == BST_CHECKED);
  document.FireEvent(go);
}

// ---- the file list

int CImagesFromDiskDlg::GetRowCount() const { return grid.GetRowCount(FALSE); }
CString CImagesFromDiskDlg::GetRowPath(int row) const { return grid.GetItemText(row, 1); }

int32_t CImagesFromDiskDlg::GetRowNumber(int row) const {
  const COleVariant data = grid.GetRowData(row);
  return data.vt == VT_I4 ? data.lVal : 0;
}

bool CImagesFromDiskDlg::IsRowTicked(int row) const {
  const COleVariant value = grid.GetItemValue(row, 0);
  return value.vt == VT_BOOL && value.boolVal != VARIANT_FALSE;
}

COLORREF CImagesFromDiskDlg::GetRowTextColour(int row) const {
  const GridCell* cell = grid.GetCell(row, 1);
  return cell != nullptr ? cell->fgColour : Black;
}

COLORREF CImagesFromDiskDlg::GetRowBackColour(int row) const {
  const GridCell* cell = grid.GetCell(row, 1);
  return cell != nullptr ? cell->bkColour : White;
}

void CImagesFromDiskDlg::SetRowTicked(int row, bool ticked) {
  COleVariant value(static_cast<short>(ticked ? VARIANT_TRUE : VARIANT_FALSE), VT_BOOL);
  grid.SetItemValue(row, 0, &value);
}

void CImagesFromDiskDlg::SetRowColours(int row, COLORREF back, COLORREF text) {
  for (int col = 0; col < 2; ++col) {
    grid.SetItemBkColour(row, col, back);
    grid.SetItemFgColour(row, col, text);
  }
  grid.InvalidateRow(row);
}

int CImagesFromDiskDlg::FindRow(const CString& path) const {
  const auto found = rowOfPath.find(Upper(path));
  return found != rowOfPath.end() ? found->second : -1;
}

void CImagesFromDiskDlg::AddFiles(const std::vector<ImportCandidate>& files, const CString& commonFolder) {
  grid.SetRedraw(FALSE);
  for (const ImportCandidate& file : files) {
    const CString path = (file.folder.IsEmpty() ? commonFolder : file.folder) + file.name;
    COleVariant number(static_cast<long>(file.number), VT_I4);
    int row = FindRow(path);
    if (row < 0) {
      row = grid.InsertRow("");
      grid.SetItemText(row, 1, path);
      SetRowColours(row, White, Black);
      rowOfPath[Upper(path)] = row;
    }
    grid.SetRowData(row, &number);
    SetRowTicked(row, true);
  }
  grid.SetRedraw(TRUE, TRUE);
  grid.Invalidate();
  UpdateButtons();
}

void CImagesFromDiskDlg::RemoveRow(int row) {
  if (row < 0 || row >= GetRowCount()) return;
  grid.DeleteRow(row);
  rowOfPath.clear();
  for (int r = 0; r < GetRowCount(); ++r) rowOfPath[Upper(GetRowPath(r))] = r;
  grid.Invalidate();
}

void CImagesFromDiskDlg::OnEmptyList() {
  grid.DeleteNonFixedRows();
  rowOfPath.clear();
  grid.Invalidate();
  UpdateButtons();
}

void CImagesFromDiskDlg::ToggleRow(int row) {
  if (IsRunning() || row < 0 || row >= GetRowCount()) return;
  SetRowTicked(row, !IsRowTicked(row));
}

void CImagesFromDiskDlg::OnGridClick(NMHDR* header, LRESULT* result) {
  const auto* notify = reinterpret_cast<const GridNotify*>(header);
  if (notify->col == 0) ToggleRow(notify->row);
  *result = 0;
}

void CImagesFromDiskDlg::OnGridDoubleClick(NMHDR* header, LRESULT* result) {
  const auto* notify = reinterpret_cast<const GridNotify*>(header);
  if (notify->col == 1) ToggleRow(notify->row);
  *result = 0;
}

// ---- a run

void CImagesFromDiskDlg::OnStart() {
  if (IsRunning() || !document.IsOpen() || document.IsReadOnly()) return;
  grid.SetNoHighlight(TRUE);
  grid.Invalidate();
  preview.SetBitmap(nullptr);
  SetDlgItemText(IDC_IMPORT_FILE_OF, "");
  SetDlgItemText(IDC_IMPORT_RESULT, "");
  SetDlgItemText(IDC_IMPORT_FILE, "");
  SendDlgItemMessage(IDC_IMPORT_RUN_PROGRESS, PBM_SETPOS, 0, 0);
  added.clear();
  placedCount = 0;
  endWaiting = false;

  ImageImportStartEvent start;
  document.FireEvent(start);
  stopEvent.ResetEvent();
  doneEvent.ResetEvent();

  std::vector<CImagesFromDiskThread::File> files;
  for (int row = 0; row < GetRowCount(); ++row)
    if (IsRowTicked(row)) files.push_back({GetRowPath(row), GetRowNumber(row)});
  const ImageFromDiskSettings& settings = ImageFromDiskSettings::Instance();
  const CImagesFromDiskThread::Link link{m_hWnd, stopEvent.m_hObject, answerEvent.m_hObject,
                                         doneEvent.m_hObject, &answerCode};
  // The document's bitmaps of each image are made on the worker's side, while the images before are stored.
  CTheDocument& job = document;
  auto makeStored = [&job](zvkImage::IBitmap* bitmap, bool linked, const ImageProcessing& processing) {
    return job.MakeImportBitmaps(bitmap, linked, processing, true);
  };
  auto* worker = new CImagesFromDiskThread(link, document.IsIndexed(), settings.reference, settings.keepPath,
                                           std::move(files), makeStored);
  if (!worker->Start()) {
    delete worker;
    doneEvent.SetEvent();
    EndRun(false);
    return;
  }
  UpdateButtons();
}

LRESULT CImagesFromDiskDlg::OnWorkerFile(WPARAM, LPARAM lParam) {
  const auto& progress = *reinterpret_cast<const ImportFileProgress*>(lParam);
  const int row = FindRow(progress.path);
  if (row >= 0) SetRowColours(row, Black, White);
  SetDlgItemText(IDC_IMPORT_FILE, progress.path);
  CString text;
  text.FormatMessage(IDS_FILE_OF, progress.index + 1, progress.count);
  SetDlgItemText(IDC_IMPORT_FILE_OF, text);
  return 0;
}

LRESULT CImagesFromDiskDlg::OnWorkerPercent(WPARAM, LPARAM lParam) {
  SendDlgItemMessage(IDC_IMPORT_FILE_PROGRESS, PBM_SETPOS,
                     static_cast<WPARAM>(*reinterpret_cast<const int32_t*>(lParam)), 0);
  return 0;
}

LRESULT CImagesFromDiskDlg::OnWorkerDoneFile(WPARAM, LPARAM lParam) {
  const auto& progress = *reinterpret_cast<const ImportFileProgress*>(lParam);
  if (progress.count > 0)
    SendDlgItemMessage(IDC_IMPORT_RUN_PROGRESS, PBM_SETPOS,
                       static_cast<WPARAM>((progress.index + 1) * 100 / progress.count), 0);
  return 0;
}

LRESULT CImagesFromDiskDlg::OnWorkerQuestion(WPARAM wParam, LPARAM lParam) {
  // The path lives on the worker's stack: a Stop while the question is open ends the worker.
  const CString path = *reinterpret_cast<const CString*>(lParam);
  int answer = IDIGNORE;
  if (wParam == MissingFile) {
    CString text;
    text.FormatMessage(IDS_UNABLE_TO_READ_FILE, static_cast<const char*>(path));
    answer = AfxPrompt(m_hWnd, text, AfxGetAppName(), MB_ABORTRETRYIGNORE | MB_ICONQUESTION,
                       IDS_UNABLE_TO_READ_FILE);
  } else if (wParam == InvalidNumber) {
    CString text;
    text.FormatMessage(IDS_INVALID_IMAGE_NUMBER, static_cast<const char*>(path));
    answer =
        AfxPrompt(m_hWnd, text, AfxGetAppName(), MB_OKCANCEL | MB_ICONQUESTION, IDS_INVALID_IMAGE_NUMBER);
  }
  answerCode = answer;
  if (answer != IDRETRY) {
    const int row = FindRow(path);
    if (row >= 0) {
      SetRowColours(row, White, Refused);
      SetRowTicked(row, false);
    }
  }
  answerEvent.SetEvent();
  return 0;
}

LRESULT CImagesFromDiskDlg::OnWorkerImage(WPARAM, LPARAM lParam) {
  // Copied at once: the worker's record goes when a Stop ends it.
  auto image = std::make_shared<ImportedImage>(*reinterpret_cast<const ImportedImage*>(lParam));
  preview.SetBitmap(image->preview);
  preview.RedrawNow();
  RemoveRow(FindRow(image->path));
  if (GetImagesImportSettings().ImportActive)
    AddImage(image);
  else
    pending = image;
  return 0;
}

void CImagesFromDiskDlg::AddImage(const std::shared_ptr<ImportedImage>& image) {
  const CString fileText = ImportFileText(image->path, image->reference, image->keepPath);
  adding = image;
  // ImportImage reports its own failures; the run goes on with the next file.
  const bool placed = image->stored.draft ? document.ImportImage(image->number, image->stored, fileText,
                                                                 image->reference, &image->processing)
                                          : document.ImportImage(image->number, image->bitmap, fileText,
                                                                 image->reference, &image->processing);
  if (placed) ++placedCount;
  adding.reset();
  answerEvent.SetEvent();
  if (endWaiting) {
    endWaiting = false;
    EndRun(endFinished);
  }
}

int CImagesFromDiskDlg::OnEvent(EventSource* source, Event* event) {
  if (auto* addedEvent = dynamic_cast<ImageAddedEvent*>(event)) {
    if (adding) added.push_back({addedEvent->id, adding->texts});
  } else if (auto* replaced = dynamic_cast<ImageReplacedEvent*>(event)) {
    // An image that takes another's place gets the file's texts too.
    if (adding) added.push_back({replaced->id, adding->texts});
  } else if (dynamic_cast<ImageImportGoEvent*>(event) != nullptr) {
    const bool active = GetImagesImportSettings().ImportActive;
    if (m_hWnd != nullptr) CheckDlgButton(IDC_IMPORT_PAUSE, active ? BST_UNCHECKED : BST_CHECKED);
    if (active && pending) {
      auto image = std::move(pending);
      pending.reset();
      AddImage(image);
    }
  } else if (dynamic_cast<FileCloseEvent*>(event) != nullptr) {
    StopRun();
    UpdateButtons();
  } else if (dynamic_cast<FileNewEvent*>(event) != nullptr ||
             dynamic_cast<FileOpenEvent*>(event) != nullptr) {
    UpdateButtons();
  }
  return EventSink::OnEvent(source, event);
}

LRESULT CImagesFromDiskDlg::OnWorkerFinished(WPARAM, LPARAM) {
  EndRun(true);
  return 0;
}

LRESULT CImagesFromDiskDlg::OnWorkerStopped(WPARAM, LPARAM) {
  EndRun(false);
  return 0;
}

void CImagesFromDiskDlg::EndRun(bool finished) {
  if (adding) {
    endWaiting = true;
    endFinished = finished;
    return;
  }
  if (m_hWnd == nullptr) return;
  SendDlgItemMessage(IDC_IMPORT_FILE_PROGRESS, PBM_SETPOS, 0, 0);
  SetDlgItemText(IDC_IMPORT_FILE, "");
  CString text;
  text.FormatMessage(finished ? IDS_IMPORT_FINISHED : IDS_IMPORT_STOPPED, placedCount);
  SetDlgItemText(IDC_IMPORT_RESULT, text);
  grid.SetNoHighlight(FALSE);
  grid.Invalidate();
  WriteTagTexts();
  UpdateButtons();
  ImageImportStopEvent stop(finished);
  document.FireEvent(stop);
  if (finished) ShowWindow(SW_HIDE);
}

void CImagesFromDiskDlg::WriteTagTexts() {
  ImageMultipleBeginEvent begin;
  document.FireEvent(begin);
  const BOOL wasEnabled = IsWindowEnabled();
  EnableWindow(FALSE);
  const std::vector<AddedImage> entries = std::move(added);
  added.clear();
  for (const AddedImage& entry : entries) {
    CWaitCursor wait;
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        ::PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    if (document.HasImage(entry.id)) WriteImportTexts(document, entry.id, entry.texts);
  }
  EnableWindow(wasEnabled);
  ImageMultipleEndEvent end;
  document.FireEvent(end);
}

// ---- stopping

void CImagesFromDiskDlg::RemovePostedWorkerMessages() {
  MSG msg;
  while (::PeekMessageA(&msg, m_hWnd, WM_IMPORT_FILE, WM_IMPORT_DONE_FILE, PM_REMOVE)) {
  }
}

void CImagesFromDiskDlg::StopRun() {
  stopEvent.SetEvent();
  // Cleared before the wait: the worker's last message, handled during the wait or after it, shows
  // how many images the run placed.
  if (m_hWnd != nullptr) {
    preview.SetBitmap(nullptr);
    SetDlgItemText(IDC_IMPORT_FILE_OF, "");
    SetDlgItemText(IDC_IMPORT_RESULT, "");
    SendDlgItemMessage(IDC_IMPORT_RUN_PROGRESS, PBM_SETPOS, 0, 0);
  }
  pending.reset();
  while (IsRunning()) {
    RemovePostedWorkerMessages();
    HANDLE done = doneEvent.m_hObject;
    // Messages the worker sends are handled while waiting, so a worker blocked in a send goes on.
    ::MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_SENDMESSAGE);
  }
  // A question or an image posted just before the worker ended must not be handled afterwards.
  RemovePostedWorkerMessages();
  if (m_hWnd != nullptr)
    CheckDlgButton(IDC_IMPORT_PAUSE, GetImagesImportSettings().ImportActive ? BST_UNCHECKED : BST_CHECKED);
}

void CImagesFromDiskDlg::OnStop() {
  StopRun();
  UpdateButtons();
}

void CImagesFromDiskDlg::OnDestroy() {
  StopRun();
  UnsubscribeAll();
  CDialog::OnDestroy();
}
