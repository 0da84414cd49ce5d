#include "ImagesExportDlg.h"

#include "ErrorReport.h"
#include "IcmDraw.h"
#include "ExportFileName.h"
#include "ImageViewEvents.h"
#include "ImagesExportSetupDlg.h"
#include "MyException.h"
#include "PathHelpers.h"
#include "RectFitting.h"
#include "resource.h"

#include <vector>

BEGIN_MESSAGE_MAP(CImagesExportDlg, CDialog)
  ON_BN_CLICKED(IDC_EXPORT_BROWSE, &CImagesExportDlg::OnBrowse)
  ON_BN_CLICKED(IDC_EXPORT_SETUP, &CImagesExportDlg::OnSetup)
  ON_BN_CLICKED(IDC_EXPORT_START, &CImagesExportDlg::OnStart)
  ON_BN_CLICKED(IDC_EXPORT_STOP, &CImagesExportDlg::OnStop)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {

using IConnectionPointContainerPtr =
    _com_ptr_t<_com_IIID<IConnectionPointContainer, &IID_IConnectionPointContainer>>;
using IConnectionPointPtr = _com_ptr_t<_com_IIID<IConnectionPoint, &IID_IConnectionPoint>>;

IConnectionPointPtr ProgressPoint(zvkImage::IBitmap* bitmap) {
  IConnectionPointContainerPtr container;
  if (FAILED(bitmap->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container))) ||
      !container)
    return nullptr;
  IConnectionPointPtr point;
  if (FAILED(container->FindConnectionPoint(__uuidof(zvkImage::IBitmapEvents), &point))) return nullptr;
  return point;
}

// Compares two paths as the file system does: without regard to case, either slash.
bool SamePath(const CString& a, const CString& b) {
  if (a.GetLength() != b.GetLength()) return false;
  for (int i = 0; i < a.GetLength(); ++i) {
    char x = a[i], y = b[i];
    if (x == '/') x = '\\';
    if (y == '/') y = '\\';
    if (tolower(static_cast<unsigned char>(x)) != tolower(static_cast<unsigned char>(y))) return false;
  }
  return true;
}

}  // namespace

// ---- the preview ----

CImagesExportDlg::CImageCtl::~CImageCtl() {
  if (bitmap) bitmap->Release();
}

void CImagesExportDlg::CImageCtl::SetBitmap(zvkImage::IBitmap* newBitmap) {
  if (newBitmap) newBitmap->AddRef();
  if (bitmap) bitmap->Release();
  bitmap = newBitmap;
  if (GetSafeHwnd()) Redraw();
}

void CImagesExportDlg::CImageCtl::Draw(CDC* dc, const CRect& client, const CRect&) {
  CRect area = client;
  dc->FillSolidRect(&area, GetSysColor(COLOR_BTNFACE));
  dc->Draw3dRect(&area, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
  if (!bitmap) return;
  long w = 0, h = 0;
  if (FAILED(bitmap->GetWidth(&w)) || FAILED(bitmap->GetHeight(&h)) || w <= 0 || h <= 0) return;
  const int insetX = area.Width() / 15, insetY = area.Height() / 15;
  const PlacementRect box{area.left + insetX, area.top + insetY, area.Width() - 2 * insetX,
                          area.Height() - 2 * insetY};
  const PlacementRect fit = FitRect(box, int(w), int(h));
  const RECT target{fit.x, fit.y, fit.x + fit.width, fit.y + fit.height};
  // Drawn as the cells draw the job's pictures: from its colour space to the screen's; as it is when no
  // conversion can be had.
  zvk::IcmDisplay managed(dc->GetSafeHdc());
  if (FAILED(managed.DrawFromSource(zvk::IcmBase::kSourceJob, bitmap, target, POINT{0, 0}, SRCCOPY)))
    bitmap->Draw(dc->GetSafeHdc(), &target, nullptr, SRCCOPY);
  CRect frame(target.left - 1, target.top - 1, target.right + 1, target.bottom + 1);
  dc->Draw3dRect(&frame, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
}

// ---- the progress sink ----

HRESULT CImagesExportDlg::XBitmapEventsSink::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == __uuidof(zvkImage::IBitmapEvents)) {
    *object = static_cast<zvkImage::IBitmapEvents*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT CImagesExportDlg::XBitmapEventsSink::SaveProgress(LONG_PTR callerValue, long done, long total) {
  auto* target = reinterpret_cast<CImagesExportDlg*>(callerValue);
  if (target == &dialog && total > 0 && dialog.fileBar.GetSafeHwnd())
    dialog.fileBar.SetPos(int(done * 100 / total));
  return S_OK;
}

// ---- the dialog ----

CImagesExportDlg::CImagesExportDlg(std::unique_ptr<ExportJob> job, CWnd* parent)
    : CDialog(IDD_IMAGES_EXPORT, parent), job(std::move(job)), settings(ImageExportSettings::Instance()) {}

CImagesExportDlg::~CImagesExportDlg() = default;

BOOL CImagesExportDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  preview.AttachDlgItem(IDC_EXPORT_PREVIEW, this);
  if (EventSource* events = job->Events()) events->Subscribe(this);
  path = settings.Path;
  CString selectedText;
  GetDlgItemText(IDC_EXPORT_SELECTED, selectedText);
  const int bar = selectedText.Find('|');
  if (bar >= 0) SetDlgItemText(IDC_EXPORT_SELECTED, selectedText.Left(bar));
  ImageSelectionRequestEvent selection;
  ImageSetRequestEvent set(ImageSetRequestEvent::All);
  if (EventSource* events = job->Events()) {
    events->Fire(&selection);
    events->Fire(&set);
  }
  if (selection.answered && selection.kind == ImageSelectionRequestEvent::One && !selection.id.IsEmpty())
    selected.Append(selection.id);
  else if (selection.answered && selection.kind == ImageSelectionRequestEvent::Several)
    selected = selection.ids;
  if (set.answered) shown = set.ids;
  if (settings.DoFiltered)
    choice = 2;
  else if (selected.GetCount() > 0 && settings.DoSelected)
    choice = 1;
  else
    choice = 0;
  includeOff = settings.DoOff ? 1 : 0;
  if (CWnd* filtered = GetDlgItem(IDC_EXPORT_FILTERED)) filtered->ShowWindow(SW_HIDE);
  UpdateData(FALSE);
  EnableControls(false);
  return TRUE;
}

void CImagesExportDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_EXPORT_PROGRESS, overallBar);
  DDX_Control(pDX, IDC_EXPORT_FILE_PROGRESS, fileBar);
  DDX_Text(pDX, IDC_EXPORT_FILE, currentFile);
  DDX_Text(pDX, IDC_EXPORT_PATH, path);
  DDX_Text(pDX, IDC_EXPORT_STATUS, status);
  DDX_Text(pDX, IDC_EXPORT_RESULT, result);
  DDX_Radio(pDX, IDC_EXPORT_ALL, choice);
  DDX_Check(pDX, IDC_EXPORT_INCLUDE_OFF, includeOff);
}

void CImagesExportDlg::OnCancel() {
  // Exit is greyed while a run is on; Escape must not end the dialog under the run either.
  if (running) return;
  CDialog::OnCancel();
}

void CImagesExportDlg::OnDestroy() {
  CDialog::OnDestroy();
  CString text;
  GetDlgItemText(IDC_EXPORT_PATH, text);
  settings.Path = text;
  const int chosen = IsDlgButtonChecked(IDC_EXPORT_SELECTED)   ? 1
                     : IsDlgButtonChecked(IDC_EXPORT_FILTERED) ? 2
                                                               : 0;
  settings.DoSelected = chosen == 1 ? 1 : 0;
  settings.DoFiltered = chosen == 2 ? 1 : 0;
  settings.DoOff = IsDlgButtonChecked(IDC_EXPORT_INCLUDE_OFF) ? 1 : 0;
  if (EventSource* events = job->Events()) events->Unsubscribe(this);
}

void CImagesExportDlg::OnBrowse() {
  UpdateData(TRUE);
  CString title;
  title.LoadString(IDS_EXPORT_BROWSE_TITLE);
  path = BrowseForFolderOrDefault(GetSafeHwnd(), path, title);
  UpdateData(FALSE);
}

void CImagesExportDlg::OnSetup() {
  CImagesExportSetupDlg setup(nullptr, this);
  setup.DoModal();
}

void CImagesExportDlg::OnStart() {
  if (running || !UpdateData(TRUE)) return;
  CWaitCursor wait;
  EnableControls(true);
  Run();
  if (GetSafeHwnd()) EnableControls(false);
}

void CImagesExportDlg::OnStop() { stop = true; }

void CImagesExportDlg::EnableControls(bool isRunning) {
  running = isRunning;
  const BOOL idle = isRunning ? FALSE : TRUE;
  for (int id : {IDC_EXPORT_PATH, IDC_EXPORT_BROWSE, IDC_EXPORT_SETUP, IDC_EXPORT_ALL, IDC_EXPORT_INCLUDE_OFF,
                 IDC_EXPORT_START, IDCANCEL})
    if (CWnd* control = GetDlgItem(id)) control->EnableWindow(idle);
  if (CWnd* control = GetDlgItem(IDC_EXPORT_SELECTED))
    control->EnableWindow(idle && selected.GetCount() > 0 ? TRUE : FALSE);
  if (CWnd* control = GetDlgItem(IDC_EXPORT_STOP)) control->EnableWindow(isRunning ? TRUE : FALSE);
}

int CImagesExportDlg::Ask(UINT stringId, const CString& insert) {
  CString text;
  text.FormatMessage(stringId, static_cast<const char*>(insert));
  return AfxMessageBox(text, MB_ABORTRETRYIGNORE | MB_ICONEXCLAMATION);
}

bool CImagesExportDlg::Breathe() {
  const HWND window = GetSafeHwnd();
  MSG message;
  while (::PeekMessage(&message, nullptr, 0, 0, PM_NOREMOVE)) {
    if (!AfxGetThread()->PumpMessage()) {
      // The program is quitting: end the run and leave the quit for the loop that waits for it.
      stop = true;
      ::PostQuitMessage(int(AfxGetThread()->m_msgCur.wParam));
      if (::IsWindow(window)) DestroyWindow();
      return false;
    }
    if (!::IsWindow(window)) {
      stop = true;
      return false;
    }
  }
  if (CWinApp* app = AfxGetApp())
    for (LONG count = 0; app->OnIdle(count); ++count) {
    }
  return ::IsWindow(window) != FALSE;
}

bool CImagesExportDlg::SaveImage(const CString& file, zvkImage::IBitmap* bitmap, int32_t type, int32_t bits) {
  fileBar.SetPos(0);
  if (!bitmap) _com_issue_error(E_POINTER);
  bitmap->SetProgress(10, reinterpret_cast<LONG_PTR>(this));
  const DWORD cookie = AdviseProgress(bitmap);
  _bstr_t target(static_cast<const char*>(file));
  const HRESULT hr = bitmap->Save(target, type, bits, type == zvkImage::ftJPEG ? 2 : 0);
  UnadviseProgress(bitmap, cookie);
  if (fileBar.GetSafeHwnd()) fileBar.SetPos(100);
  return hr == S_OK;
}

DWORD CImagesExportDlg::AdviseProgress(zvkImage::IBitmap* bitmap) {
  IConnectionPointPtr point = ProgressPoint(bitmap);
  DWORD cookie = 0;
  if (point && FAILED(point->Advise(&progressSink, &cookie))) cookie = 0;
  return cookie;
}

void CImagesExportDlg::UnadviseProgress(zvkImage::IBitmap* bitmap, DWORD cookie) {
  if (cookie == 0) return;
  if (IConnectionPointPtr point = ProgressPoint(bitmap)) point->Unadvise(cookie);
}

void CImagesExportDlg::Run() {
  // Sizes the library cannot make are refused before anything is written.
  if (!settings.SizeAndDpiValid()) {
    AfxMessageBox(IDS_EXPORT_SIZE_OUT_OF_RANGE, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  if (!CreateFolderPath(path)) {
    CString text;
    text.FormatMessage(IDS_EXPORT_CREATE_FOLDER_FAILED, static_cast<const char*>(path));
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  preview.SetBitmap(nullptr);
  status.Empty();
  result.Empty();
  overallBar.SetPos(0);
  UpdateData(FALSE);
  const SharedStringList chosen = choice == 1 ? selected : choice == 2 ? shown : job->GetImageIds();
  std::vector<CString> ids;
  for (int i = 0; i < chosen.GetCount(); ++i) {
    const CString& id = chosen[i];
    if (job->IsImageEmpty(id)) continue;
    if (!includeOff && job->IsImageOff(id)) continue;
    ids.push_back(id);
  }
  const int n = static_cast<int>(ids.size());
  RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  CWaitCursor wait;
  VARIANT lut;
  VariantInit(&lut);
  if (!settings.LUT.IsEmpty()) {
    const LUTRecord record = settings.LUTs.FindByName(settings.LUT);
    if (!record.IsEmpty()) record.GetTable(&lut);
  }
  ExportRenderOptions output;
  output.sameSize = settings.SameSize != 0;
  output.width = settings.SizeX;
  output.height = settings.SizeY;
  output.dpi = settings.DPI;
  output.lut = &lut;
  output.sharpen = settings.Sharpen;
  output.transparencyUse = settings.TransparencyUse != 0;
  output.transparencyColor = COLORREF(settings.TransparencyColor);
  stop = false;
  exported = 0;
  bool ended = false;
  const HWND window = GetSafeHwnd();
  const CString folder = AppendBackslash(path);
  currentFile.Empty();
  SetDlgItemText(IDC_EXPORT_FILE, currentFile);
  ExportNamesWritten written;
  names = &written;
  try {
    for (int i = 0; i < n && !stop; ++i) {
      if (!ExportOne(ids[size_t(i)], folder, output, i, n)) {
        ended = true;
        break;
      }
      overallBar.SetPos((i + 1) * 100 / n);
      if (!Breathe()) break;
    }
  } catch (...) {
    ended = true;
    ReportCurrentException();
  }
  names = nullptr;
  VariantClear(&lut);
  if (!::IsWindow(window)) return;  // the program is quitting: nothing is left to show
  currentFile.Empty();
  fileBar.SetPos(100);
  result.FormatMessage(stop || ended ? IDS_EXPORT_STOPPED : IDS_EXPORT_FINISHED, exported);
  UpdateData(FALSE);
}

bool CImagesExportDlg::ExportOne(const CString& id, const CString& folder, const ExportRenderOptions& output,
                                 int index, int count) {
  ExportNaming naming;
  naming.originalFilename = settings.OriginalFilename != 0;
  naming.prefix = settings.FilenamePre;
  naming.width = settings.FilenameWidth;
  naming.postfix = settings.FilenamePost;
  naming.extension = settings.FilenameExt;
  const bool linked = job->IsImageLinked(id);
  const CString sourceFile = job->GetImageFileName(id);
  const CString name = names->Claim(MakeExportFileName(naming, job->GetImageNumber(id), linked, sourceFile));
  const CString full = folder + name;
  currentFile = name;
  status.FormatMessage(IDS_EXPORT_IMAGE_OF, index + 1, count);
  SetDlgItemText(IDC_EXPORT_FILE, currentFile);
  SetDlgItemText(IDC_EXPORT_STATUS, status);

  const CropScale crop = job->GetImageCropScale(id);
  if (IBitmapPtr display = job->GetDisplayBitmap(id)) {
    ExportRenderOptions small = output;
    small.resample = false;
    small.toSrgb = false;
    small.lut = nullptr;
    small.sharpen.on = 0;
    IBitmapPtr shown = RenderImage(display, job->GetImageMask(id), job->GetImageBackground(id), crop, small);
    preview.SetBitmap(shown);
  }

  for (;;) {
    IBitmapPtr working;
    bool ignored = false;
    for (;;) {
      try {
        working = job->RenderImage(id);
        break;
      } catch (const CMyException& e) {
        UINT message = 0;
        if (e.code == E_CANNOT_FIND_IMAGE_FILE) message = IDS_IMAGE_FILE_NOT_FOUND;
        if (e.code == E_CANNOT_OPEN_IMAGE_FILE) message = IDS_IMAGE_FILE_NOT_OPENED;
        if (message == 0) throw;
        const int answer = Ask(message, sourceFile);
        if (answer == IDABORT) return false;
        if (answer == IDIGNORE) {
          ignored = true;
          break;
        }
      }
    }
    if (ignored) return true;
    // A linked image's own file is never written over.
    IBitmapPtr rendered;
    if (working && !(linked && SamePath(full, sourceFile)))
      rendered = RenderImage(working, job->GetImageMask(id), job->GetImageBackground(id), crop, output);
    working = nullptr;
    // No bitmap to write is a failed write of this file, asked like one.
    if (rendered && SaveImage(full, rendered, settings.Type, settings.Bits)) {
      ++exported;
      return true;
    }
    const int answer = Ask(IDS_EXPORT_WRITE_FAILED, full);
    if (answer == IDABORT) return false;
    if (answer == IDIGNORE) return true;
  }
}
