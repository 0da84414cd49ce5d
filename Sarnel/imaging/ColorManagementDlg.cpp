#include "ColorManagementDlg.h"

#include "ColorManagementSettings.h"
#include "IcmDraw.h"
#include "IcmManager.h"
#include "MyException.h"
#include "PathHelpers.h"
#include "RgbSpaces.h"
#include "resource.h"

// icm.h maps this name onto the system's own function; the program's takes a CString.
#undef GetColorDirectory
#include "ColorDirectory.h"

namespace zvk {

namespace {

// The intent combo lists perceptual, saturation, relative and absolute colorimetric: items and intents
// map onto each other the same way in both directions.
constexpr int kIntentOfItem[4] = {0, 2, 1, 3};

CString LoadText(UINT id) {
  CString text;
  text.LoadString(id);
  return text;
}

bool SamePath(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

void Report(HWND owner, UINT id, UINT flags) {
  AfxPrompt(owner, LoadText(id), LoadText(IDS_CM_CAPTION), flags, id);
}

// Writes a colour space into the job: a profile file, or a named space or none.
bool WriteJobSpace(IcmJob& job, int id, const std::string& path) {
  if (id == ColorSpaceEntry::kProfile) {
    CString full(path.c_str());
    MakePathAbsolute(full);
    return job.SetColorProfileFile(full);
  }
  return job.SetColorSpace(id, true, -2);
}

}  // namespace

// Basics

BEGIN_MESSAGE_MAP(CColorManagementBasicsPpg, CPropertyPage)
  ON_BN_CLICKED(IDC_CM_ENABLE, &CColorManagementBasicsPpg::OnEnable)
END_MESSAGE_MAP()

CColorManagementBasicsPpg::CColorManagementBasicsPpg() : CPropertyPage(IDD_COLOR_MANAGEMENT_BASICS) {}

BOOL CColorManagementBasicsPpg::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  CheckDlgButton(IDC_CM_ENABLE, enabled ? BST_CHECKED : BST_UNCHECKED);
  CheckRadioButton(IDC_CM_FAITHFUL, IDC_CM_SOFT_PROOF, softProofing ? IDC_CM_SOFT_PROOF : IDC_CM_FAITHFUL);
  for (const char* text :
       {"Perceptual (recommended)", "Saturation", "Relative Colorimetric", "Absolute Colorimetric"})
    SendDlgItemMessage(IDC_CM_INTENT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  SendDlgItemMessage(IDC_CM_INTENT, CB_SETCURSEL, intent >= 0 && intent < 4 ? kIntentOfItem[intent] : 0);
  EnableControls();
  return TRUE;
}

void CColorManagementBasicsPpg::EnableControls() {
  const bool on = IsDlgButtonChecked(IDC_CM_ENABLE) == BST_CHECKED;
  ::EnableWindow(::GetDlgItem(m_hWnd, IDC_CM_FAITHFUL), on);
  ::EnableWindow(::GetDlgItem(m_hWnd, IDC_CM_INTENT), on);
  // Soft proofing is not offered.
  ::EnableWindow(::GetDlgItem(m_hWnd, IDC_CM_SOFT_PROOF), FALSE);
}

void CColorManagementBasicsPpg::OnEnable() { EnableControls(); }

BOOL CColorManagementBasicsPpg::OnApply() {
  enabled = IsDlgButtonChecked(IDC_CM_ENABLE) == BST_CHECKED;
  softProofing = IsDlgButtonChecked(IDC_CM_SOFT_PROOF) == BST_CHECKED;
  const int item = static_cast<int>(SendDlgItemMessage(IDC_CM_INTENT, CB_GETCURSEL));
  intent = item >= 0 && item < 4 ? kIntentOfItem[item] : -1;
  return sheet->ApplyAll(0) ? TRUE : FALSE;
}

// Bitmaps

BEGIN_MESSAGE_MAP(CColorManagementBitmapsPpg, CPropertyPage)
  ON_CBN_SELCHANGE(IDC_CM_SPACE, &CColorManagementBitmapsPpg::OnSelChange)
  ON_BN_CLICKED(IDC_CM_SET_DEFAULT, &CColorManagementBitmapsPpg::OnSetDefault)
  ON_WM_DRAWITEM()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CColorManagementBitmapsPpg::CColorManagementBitmapsPpg() : CPropertyPage(IDD_COLOR_MANAGEMENT_BITMAPS) {}

void CColorManagementBitmapsPpg::ReadJobState() {
  jobState_ = 0;
  loadError_ = false;
  hasEmbedded_ = false;
  IcmJob* job = CurrentIcmJob();
  if (!job) return;
  try {
    const int state = job->GetColorProfileState(-2);
    if (state == ColorSpaceEntry::kProfile) {
      if (!ReadEmbeddedProfileEntry(*job, embedded_))
        throw CMyException(E_FAIL, "embedded profile unreadable");
      hasEmbedded_ = true;
    }
    jobState_ = state;
  } catch (...) {
    jobState_ = 0;
    hasEmbedded_ = false;
    loadError_ = true;
  }
  chosenId = jobState_;
  chosenPath.clear();
  changed = false;
}

const ColorSpaceEntry* CColorManagementBitmapsPpg::EntryAt(int item) const {
  if (item < 0) return nullptr;
  const LRESULT index = SendDlgItemMessage(IDC_CM_SPACE, CB_GETITEMDATA, static_cast<WPARAM>(item));
  if (index == CB_ERR || index < 0 || static_cast<size_t>(index) >= entries_.size()) return nullptr;
  return &entries_[static_cast<size_t>(index)];
}

bool CColorManagementBitmapsPpg::Selectable(int item) const {
  const ColorSpaceEntry* entry = EntryAt(item);
  return entry && !entry->IsSeparator();
}

int CColorManagementBitmapsPpg::AddItem(const ColorSpaceEntry& entry, int at) {
  entries_.push_back(entry);
  const int item = static_cast<int>(SendDlgItemMessage(IDC_CM_SPACE, CB_INSERTSTRING, static_cast<WPARAM>(at),
                                                       reinterpret_cast<LPARAM>(entry.name.c_str())));
  SendDlgItemMessage(IDC_CM_SPACE, CB_SETITEMDATA, static_cast<WPARAM>(item),
                     static_cast<LPARAM>(entries_.size() - 1));
  return item;
}

void CColorManagementBitmapsPpg::FillList() {
  ColorSpaceEntry none;
  none.id = ColorSpaceEntry::kNone;
  none.name = static_cast<const char*>(LoadText(IDS_CM_NONE));
  AddItem(none);
  for (int id = 1; id <= kNamedRgbSpaceCount; ++id) {
    ColorSpaceEntry named;
    named.id = id;
    named.name = FindNamedRgbSpace(id)->name;
    AddItem(named);
  }
  const ColorSpaceEntry separator;
  AddItem(separator);
  if (hasEmbedded_) {
    AddItem(embedded_);
    AddItem(separator);
  }
  const std::vector<ColorSpaceEntry> installed = InstalledProfileEntries();
  for (const ColorSpaceEntry& entry : installed) AddItem(entry);
  if (!installed.empty()) AddItem(separator);
  ColorSpaceEntry load;
  load.name = static_cast<const char*>(LoadText(IDS_CM_LOAD));
  AddItem(load);
}

BOOL CColorManagementBitmapsPpg::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  warning_ = static_cast<HICON>(LoadImageA(nullptr, IDI_WARNING, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                           GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  FillList();
  int initial = -1;
  if (!loadError_) {
    const int count = static_cast<int>(SendDlgItemMessage(IDC_CM_SPACE, CB_GETCOUNT));
    for (int item = 0; item < count && initial < 0; ++item) {
      const ColorSpaceEntry* entry = EntryAt(item);
      if (!entry || entry->IsSeparator()) continue;
      if (jobState_ == ColorSpaceEntry::kProfile ? entry->id == -2 && entry->path.empty()
                                                 : jobState_ != 0 && entry->id == jobState_)
        initial = item;
    }
  }
  Select(initial);
  return TRUE;
}

void CColorManagementBitmapsPpg::Select(int item) {
  SendDlgItemMessage(IDC_CM_SPACE, CB_SETCURSEL, static_cast<WPARAM>(item));
  selected_ = item;
  ShowStatus();
}

void CColorManagementBitmapsPpg::OnSelChange() {
  int item = static_cast<int>(SendDlgItemMessage(IDC_CM_SPACE, CB_GETCURSEL));
  const int count = static_cast<int>(SendDlgItemMessage(IDC_CM_SPACE, CB_GETCOUNT));
  if (item >= 0 && !Selectable(item)) {
    // Separators are stepped over in the direction the selection moved.
    const int step = item >= selected_ ? 1 : -1;
    while (item >= 0 && item < count && !Selectable(item)) item += step;
    if (item < 0 || item >= count) item = selected_;
  }
  const ColorSpaceEntry* entry = EntryAt(item);
  if (entry && entry->id == ColorSpaceEntry::kSeparatorOrLoad) item = Browse();
  Select(item < 0 ? selected_ : item);
}

int CColorManagementBitmapsPpg::Browse() {
  std::string path;
  if (!BrowseColorProfile(path, m_hWnd)) return -1;
  ColorSpaceEntry entry;
  const int result = ReadProfileEntry(path, false, entry);
  if (result != kProfileOk) {
    AfxBeep(MB_ICONEXCLAMATION);
    const UINT text = result == kProfileNotRgbSource ? IDS_CM_NOT_RGB_SOURCE
                      : result == kProfileNotIcc     ? IDS_CM_NOT_ICC
                      : result == kProfileCannotRead ? IDS_CM_CANNOT_READ
                                                     : 0;
    if (text) Report(m_hWnd, text, MB_ICONEXCLAMATION);
    return -1;
  }
  const int count = static_cast<int>(SendDlgItemMessage(IDC_CM_SPACE, CB_GETCOUNT));
  for (int item = 0; item < count; ++item) {
    const ColorSpaceEntry* known = EntryAt(item);
    if (known && known->id == ColorSpaceEntry::kProfile && !known->path.empty() &&
        SamePath(known->path, entry.path))
      return item;
  }
  return AddItem(entry, count - 1);  // just before "Load..."
}

void CColorManagementBitmapsPpg::ShowStatus() {
  const ColorSpaceEntry* entry = EntryAt(selected_);
  const ColorManagementSettings& settings = ColorManagementSettings::Current();
  CString description;
  if (entry && entry->id == ColorSpaceEntry::kNone)
    description = LoadText(IDS_CM_PRINTER_SPACE);
  else if (entry && entry->id >= 1)
    description = LoadText(IDS_CM_BUILT_IN);
  else if (entry)
    description = entry->notice.c_str();
  SetDlgItemText(IDC_CM_DESCRIPTION, description);
  if (CWnd* path = GetDlgItem(IDC_CM_PATH)) path->Invalidate();

  UINT status = 0;
  bool canSetDefault = false;
  if (!entry) {
    status = loadError_ ? IDS_CM_LOAD_ERROR : IDS_CM_NOT_SET;
  } else if (entry->id == ColorSpaceEntry::kProfile && entry->path.empty()) {
    status = IDS_CM_IN_JOB;
  } else if (entry->id == ColorSpaceEntry::kProfile) {
    const bool isDefault = settings.bitmapSpace == -2 && SamePath(settings.iccFile, entry->path);
    status = isDefault ? IDS_CM_IS_DEFAULT : IDS_CM_MAKE_DEFAULT;
    canSetDefault = !isDefault;
  } else {
    const bool isDefault = entry->id == settings.bitmapSpace;
    status = isDefault ? IDS_CM_IS_DEFAULT : IDS_CM_MAKE_DEFAULT;
    canSetDefault = !isDefault;
  }
  SetDlgItemText(IDC_CM_STATUS_TEXT, LoadText(status));
  ::EnableWindow(::GetDlgItem(m_hWnd, IDC_CM_SET_DEFAULT), canSetDefault);

  // The warning icon shows only when nothing is chosen; the text then starts right of it.
  HWND icon = ::GetDlgItem(m_hWnd, IDC_CM_STATUS_ICON);
  HWND text = ::GetDlgItem(m_hWnd, IDC_CM_STATUS_TEXT);
  if (icon && text) {
    ::SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(warning_), 0);
    ::ShowWindow(icon, entry ? SW_HIDE : SW_SHOW);
    RECT iconRect{}, textRect{};
    ::GetWindowRect(icon, &iconRect);
    ::GetWindowRect(text, &textRect);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&iconRect), 2);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&textRect), 2);
    const int left = entry ? iconRect.left : iconRect.left + GetSystemMetrics(SM_CXSMICON) + 6;
    ::MoveWindow(text, left, textRect.top, textRect.right - left, textRect.bottom - textRect.top, TRUE);
  }
}

void CColorManagementBitmapsPpg::OnSetDefault() {
  const ColorSpaceEntry* entry = EntryAt(selected_);
  if (!entry) return;
  ColorManagementSettings& settings = ColorManagementSettings::Current();
  settings.bitmapSpace = entry->id;
  if (entry->id == ColorSpaceEntry::kProfile) settings.iccFile = entry->path;
  ShowStatus();
}

void CColorManagementBitmapsPpg::OnDrawItem(int id, LPDRAWITEMSTRUCT item) {
  if (!item) return;
  HDC dc = item->hDC;
  const int baseUnit = LOWORD(GetDialogBaseUnits());
  if (id == IDC_CM_PATH) {
    const ColorSpaceEntry* entry = EntryAt(selected_);
    CString path = entry ? entry->path.c_str() : "";
    if (!path.IsEmpty()) MakePathAbsolute(path);
    // The page's own background for statics, whatever the theme makes of it.
    HBRUSH background = reinterpret_cast<HBRUSH>(SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                             reinterpret_cast<LPARAM>(item->hwndItem)));
    FillRect(dc, &item->rcItem, background ? background : GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ font = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
    RECT r = item->rcItem;
    DrawTextA(dc, path, -1, &r, DT_LEFT | DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_NOPREFIX);
    SelectObject(dc, font);
    return;
  }
  if (id != IDC_CM_SPACE || static_cast<int>(item->itemID) < 0) return;
  const ColorSpaceEntry* entry = EntryAt(static_cast<int>(item->itemID));
  const bool selected = (item->itemState & ODS_SELECTED) != 0;
  FillRect(dc, &item->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (entry && entry->IsSeparator()) {
    const int middle = (item->rcItem.top + item->rcItem.bottom) / 2;
    RECT line{item->rcItem.left, middle, item->rcItem.right, middle + 1};
    FillRect(dc, &line, GetSysColorBrush(COLOR_BTNSHADOW));
    return;
  }
  if (entry) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT r = item->rcItem;
    r.left += (item->itemState & ODS_COMBOBOXEDIT) ? baseUnit / 2 : baseUnit / 4;
    DrawTextA(dc, entry->name.c_str(), -1, &r,
              DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  if (item->itemState & ODS_FOCUS) DrawFocusRect(dc, &item->rcItem);
}

void CColorManagementBitmapsPpg::OnDestroy() {
  entries_.clear();
  CPropertyPage::OnDestroy();
}

BOOL CColorManagementBitmapsPpg::OnApply() {
  const ColorSpaceEntry* entry = EntryAt(selected_);
  chosenId = entry ? entry->id : 0;
  chosenPath = entry ? entry->path : std::string();
  changed = (chosenId == ColorSpaceEntry::kProfile && !chosenPath.empty()) ||
            (chosenId != ColorSpaceEntry::kProfile && chosenId != jobState_);
  return sheet->ApplyAll(1) ? TRUE : FALSE;
}

// The sheet

CColorManagementDlg::CColorManagementDlg(CWnd* parent) : CPropertySheet(IDS_CM_CAPTION, parent) {
  m_psh.dwFlags |= PSH_NOAPPLYNOW;
  basics.sheet = this;
  bitmaps.sheet = this;
  AddPage(&basics);
  AddPage(&bitmaps);
}

INT_PTR CColorManagementDlg::DoModal() {
  const ColorManagementSettings& settings = ColorManagementSettings::Current();
  basics.enabled = settings.enabled;
  basics.softProofing = settings.softProofing;
  basics.intent = settings.intent;
  bitmaps.ReadJobState();
  return CPropertySheet::DoModal();
}

bool CColorManagementDlg::ApplyAll(int pageIndex) {
  // The sheet applies once, from the last page the operator opened.
  for (int later = pageIndex + 1; later < GetPageCount(); ++later)
    if (GetPage(later)->m_hWnd && ::IsWindow(GetPage(later)->m_hWnd)) return true;
  ColorManagementSettings& settings = ColorManagementSettings::Current();
  settings.enabled = basics.enabled;
  settings.softProofing = basics.softProofing;
  settings.intent = basics.intent < 0 ? 0 : basics.intent;
  try {
    IcmJob* job = CurrentIcmJob();
    if (bitmaps.changed && bitmaps.chosenId != 0) {
      if (!job || !WriteJobSpace(*job, bitmaps.chosenId, bitmaps.chosenPath))
        Report(m_hWnd, IDS_CM_WRITE_FAILED, MB_ICONHAND);
    } else if (settings.enabled && bitmaps.chosenId == 0) {
      if (job && WriteJobSpace(*job, settings.bitmapSpace, settings.iccFile))
        Report(m_hWnd, IDS_DEFAULT_COLOR_SPACE_SET, MB_ICONINFORMATION);
      else
        Report(m_hWnd, IDS_CM_WRITE_FAILED, MB_ICONHAND);
    }
  } catch (...) {
    Report(m_hWnd, IDS_CM_WRITE_FAILED, MB_ICONHAND);
  }
  ApplyColorManagementChange();
  return true;
}

bool ShowColorManagementDialog(CWnd* parent) {
  CColorManagementDlg sheet(parent);
  return sheet.DoModal() == IDOK;
}

bool BrowseColorProfile(std::string& path, HWND parent) {
  std::vector<char> file(512, 0);
  lstrcpynA(file.data(), path.c_str(), static_cast<int>(file.size()));
  CString folder;
  CString given(path.c_str());
  const bool relative = path.empty() || CheckPath(given, false, false) != PathAbsolute;
  if (relative) GetColorDirectory(folder);
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = parent;
  ofn.lpstrFilter = "Color Profiles (*.icm;*.icc)\0*.icm;*.icc\0";
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = relative && !folder.IsEmpty() ? static_cast<const char*>(folder) : nullptr;
  ofn.lpstrTitle = "Browse for Color Profile";
  ofn.Flags =
      OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_DONTADDTORECENT;
  if (!AfxGetFileName(&ofn, TRUE)) return false;
  path = file.data();
  return true;
}

}  // namespace zvk
