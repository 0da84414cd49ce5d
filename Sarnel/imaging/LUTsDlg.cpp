#include "LUTsDlg.h"

#include "MyException.h"
#include "ObjectID.h"
#include "resource.h"

#include <ocidl.h>

#include <utility>
#include <vector>

namespace {

using StreamPtr = _com_ptr_t<_com_IIID<IStream, &__uuidof(IStream)>>;
using PersistStreamInitPtr = _com_ptr_t<_com_IIID<IPersistStreamInit, &__uuidof(IPersistStreamInit)>>;

// The editing control's own record: extent 6826 x 8996, ambient colours, no border, three-dimensional,
// enabled, no font, flat toolbar.
const BYTE kControlRecord[] = {0xA0, 0x67, 0x25, 0x00, 0x1D, 0x00, 0x00, 0x00, 0xAA, 0x1A,
                               0x00, 0x00, 0x24, 0x23, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF,
                               0x00, 0x00, 0x00, 0xFF, 0x00, 0x01, 0x01, 0x00, 0x00};

StreamPtr StreamOver(const void* bytes, size_t size) {
  StreamPtr stream;
  HRESULT hr = CreateStreamOnHGlobal(nullptr, TRUE, &stream);
  if (FAILED(hr)) _com_issue_error(hr);
  hr = stream->Write(bytes, static_cast<ULONG>(size), nullptr);
  LARGE_INTEGER start = {};
  if (SUCCEEDED(hr)) hr = stream->Seek(start, STREAM_SEEK_SET, nullptr);
  if (FAILED(hr)) _com_issue_error(hr);
  return stream;
}

// Gives `target` the whole state of `source`.
void CopyCurve(ILut* source, ILut* target) {
  IPersistStreamInit* from = nullptr;
  IPersistStreamInit* to = nullptr;
  HRESULT hr = source->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&from));
  if (FAILED(hr)) _com_issue_errorex(hr, source, IID_ILut);
  PersistStreamInitPtr fromPtr(from, false);
  hr = target->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&to));
  if (FAILED(hr)) _com_issue_errorex(hr, target, IID_ILut);
  PersistStreamInitPtr toPtr(to, false);
  StreamPtr stream;
  hr = CreateStreamOnHGlobal(nullptr, TRUE, &stream);
  if (SUCCEEDED(hr)) hr = fromPtr->Save(stream, FALSE);
  LARGE_INTEGER start = {};
  if (SUCCEEDED(hr)) hr = stream->Seek(start, STREAM_SEEK_SET, nullptr);
  if (SUCCEEDED(hr)) hr = toPtr->Load(stream);
  if (FAILED(hr)) _com_issue_error(hr);
}

}  // namespace

BEGIN_MESSAGE_MAP(CLUTsDlg, CDialog)
  ON_BN_CLICKED(IDC_LUTS_NEW, OnNew)
  ON_BN_CLICKED(IDC_LUTS_REMOVE, OnRemove)
  ON_BN_CLICKED(IDC_LUTS_UP, OnUp)
  ON_BN_CLICKED(IDC_LUTS_DOWN, OnDown)
END_MESSAGE_MAP()

CLUTsDlg::CLUTsDlg(LUTList* list, int output, const CString& select, CWnd* pParentWnd)
    : CDialog(IDD_LUTS, pParentWnd), m_list(list), m_output(output), m_select(select) {
  HINSTANCE resources = AfxGetResourceHandle();
  m_upIcon = static_cast<HICON>(::LoadImageA(resources, MAKEINTRESOURCEA(IDI_LUT_UP), IMAGE_ICON, 16, 16, 0));
  m_downIcon =
      static_cast<HICON>(::LoadImageA(resources, MAKEINTRESOURCEA(IDI_LUT_DOWN), IMAGE_ICON, 16, 16, 0));
}

CLUTsDlg::~CLUTsDlg() {
  m_control = nullptr;
  if (m_upIcon) ::DestroyIcon(m_upIcon);
  if (m_downIcon) ::DestroyIcon(m_downIcon);
}

INT_PTR CLUTsDlg::DoModal() {
  // Without the registered control the editor cannot work: say so before anything opens.
  IClassFactory* factory = nullptr;
  HRESULT hr = ::CoGetClassObject(CLSID_LutCtl, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                  reinterpret_cast<void**>(&factory));
  if (FAILED(hr)) _com_issue_error(hr);
  factory->Release();
  m_openFailure = nullptr;
  INT_PTR result = CDialog::DoModal();
  if (m_openFailure) std::rethrow_exception(m_openFailure);
  return result;
}

BOOL CLUTsDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  try {
    OpenEditor();
  } catch (...) {
    // DoModal raises it once the dialog is gone.
    m_openFailure = std::current_exception();
    EndDialog(IDCANCEL);
  }
  return TRUE;
}

void CLUTsDlg::OpenEditor() {
  ::SendDlgItemMessageA(m_hWnd, IDC_LUTS_UP, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(m_upIcon));
  ::SendDlgItemMessageA(m_hWnd, IDC_LUTS_DOWN, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(m_downIcon));

  // The control takes the placeholder's place, rectangle and id.
  HWND placeholder = ::GetDlgItem(m_hWnd, IDC_LUTS_CONTROL);
  RECT rect = {};
  ::GetWindowRect(placeholder, &rect);
  ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
  ::SetWindowLongPtrA(placeholder, GWLP_ID, 0);
  StreamPtr initial = StreamOver(kControlRecord, sizeof(kControlRecord));
  HRESULT hr = m_controlHost.CreateControl(CLSID_LutCtl, nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect,
                                           this, IDC_LUTS_CONTROL, initial);
  if (FAILED(hr)) _com_issue_error(hr);
  ::SetWindowPos(m_controlHost.m_hWnd, placeholder, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ::DestroyWindow(placeholder);
  IUnknown* unknown = GetDlgItem(IDC_LUTS_CONTROL)->GetControlUnknown();
  if (!unknown) _com_issue_error(E_NOINTERFACE);
  ILutCtl* control = nullptr;
  hr = unknown->QueryInterface(IID_ILutCtl, reinterpret_cast<void**>(&control));
  if (FAILED(hr)) _com_issue_error(hr);
  m_control = ILutCtlPtr(control, false);

  // The grid: a fixed header row and an empty fixed column; the descriptions stretch over the rest.
  m_grid.SubclassDlgItem(IDC_LUTS_GRID, this);
  RECT units = {0, 0, 4, 8};
  MapDialogRect(&units);
  m_grid.SetEditable(TRUE);
  m_grid.SetListMode(TRUE);
  m_grid.SetSingleRowSelection(TRUE);
  m_grid.SetColumnCount(2);
  m_grid.SetRowCount(1);
  m_grid.SetFixedRowCount(1);
  m_grid.SetFixedColumnCount(1);
  m_grid.SetRowHeight(0, static_cast<int>(units.bottom * 9 / 8.0));
  m_grid.SetColumnWidth(0, static_cast<int>(units.right * 6.5 / 4));
  char title[256] = {};
  ::GetWindowTextA(m_grid.m_hWnd, title, sizeof(title));
  CString heading(title);
  int bar = heading.Find('|');
  if (bar >= 0) heading = heading.Left(bar);
  GridItem header(0, 1, GVIF_TEXT | GVIF_FORMAT);
  header.text = heading;
  header.noText = false;
  header.format = DT_SINGLELINE | DT_VCENTER | DT_LEFT;
  m_grid.SetItem(header);
  m_grid.SetStretchColumn(1);
  m_grid.SetRedraw(FALSE);

  int selected = -1;
  for (int i = 0; i < m_list->GetCount(); ++i) {
    auto row = std::make_unique<Row>();
    row->record = m_list->GetAt(i);
    // The row edits a copy of the curve; the caller's object gets the edit only on OK.
    if (ILut* bound = row->record.PeekObject()) {
      row->original = bound;
      row->record.SetPersistedObject(SaveLUTObject(bound));
    }
    const bool wanted = row->record.name == m_select;
    int index = AddRow(std::move(row));
    if (wanted && selected < 0) selected = index;
  }
  if (selected > 0) {
    m_grid.SetFocusCell(selected, 1);
    m_grid.SelectRow(selected);
    m_current = selected;
    ShowCurrent();
  }
  m_grid.SetRedraw(TRUE);
  m_grid.Invalidate();
  SetButtons();
}

int CLUTsDlg::AddRow(std::unique_ptr<Row> row) {
  const long key = m_nextKey++;
  CString description = row->record.description;
  m_rows[key] = std::move(row);
  int index = m_grid.InsertRow("");
  m_grid.SetItemText(index, 1, description);
  COleVariant data;
  data.vt = VT_I4;
  data.lVal = key;
  m_grid.SetRowData(index, &data);
  return index;
}

CLUTsDlg::Row* CLUTsDlg::RowAt(int row) const {
  if (row <= 0 || row >= m_grid.GetRowCount()) return nullptr;
  COleVariant data = m_grid.GetRowData(row);
  if (data.vt != VT_I4) return nullptr;
  auto found = m_rows.find(data.lVal);
  return found == m_rows.end() ? nullptr : found->second.get();
}

void CLUTsDlg::KeepCurve() {
  if (Row* row = RowAt(m_current)) row->record.StoreFromControl(m_control);
}

void CLUTsDlg::ShowCurrent() {
  if (Row* row = RowAt(m_current)) row->record.LoadIntoControl(m_control);
}

void CLUTsDlg::SetButtons() {
  const int r = m_grid.GetFocusCell().row;
  const int rows = m_grid.GetRowCount();
  ::EnableWindow(::GetDlgItem(m_hWnd, IDC_LUTS_REMOVE), r > 0);
  ::EnableWindow(::GetDlgItem(m_hWnd, IDC_LUTS_UP), r > 1);
  ::EnableWindow(::GetDlgItem(m_hWnd, IDC_LUTS_DOWN), r > 0 && r + 1 < rows);
  if (m_control) m_control->put_Enabled(r > 0 ? VARIANT_TRUE : VARIANT_FALSE);
}

BOOL CLUTsDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  auto* notify = reinterpret_cast<GridNotify*>(lParam);
  if (notify && notify->hdr.idFrom == IDC_LUTS_GRID) {
    if (notify->hdr.code == static_cast<UINT>(GN_ROWSELCHANGED)) {
      KeepCurve();
      const int selected = notify->row > 0 ? notify->row : m_grid.GetFocusCell().row;
      m_current = selected > 0 ? selected : -1;
      ShowCurrent();
      SetButtons();
      *pResult = 0;
      return TRUE;
    }
    if (notify->hdr.code == static_cast<UINT>(GN_DELETEROW)) {
      COleVariant data = m_grid.GetRowData(notify->row);
      if (data.vt == VT_I4) m_rows.erase(data.lVal);
      if (notify->row == m_current) m_current = -1;
      *pResult = 0;
      return TRUE;
    }
  }
  return CDialog::OnNotify(wParam, lParam, pResult);
}

void CLUTsDlg::OnNew() {
  KeepCurve();
  m_current = -1;
  auto row = std::make_unique<Row>();
  row->record.name = CObjectID::CreateNew();
  if (m_output)
    row->record.SetOutput();
  else
    row->record.SetInput();
  int index = AddRow(std::move(row));
  m_current = index;
  ShowCurrent();
  m_grid.SetFocusCell(index, 1);
  m_grid.SelectRow(index);
  SetButtons();
  m_grid.SetFocus();
  m_grid.EditFocusCell();
}

void CLUTsDlg::OnRemove() {
  const int r = m_grid.GetFocusCell().row;
  if (r <= 0) return;
  m_grid.DeleteRow(r);
  m_current = -1;
  m_grid.Invalidate();
  SetButtons();
}

void CLUTsDlg::Move(int by) {
  const int r = m_grid.GetFocusCell().row;
  const int target = r + by;
  if (r <= 0 || target <= 0 || target >= m_grid.GetRowCount()) return;
  KeepCurve();
  m_current = -1;
  m_grid.SwapRows(r, target);
  m_grid.SetFocusCell(target, 1);
  m_grid.SelectRow(target);
  m_current = target;
  ShowCurrent();
  m_grid.Invalidate();
  SetButtons();
}

void CLUTsDlg::OnUp() { Move(-1); }

void CLUTsDlg::OnDown() { Move(1); }

void CLUTsDlg::OnOK() {
  m_grid.EndEditing();
  KeepCurve();
  if (Row* current = RowAt(m_current)) m_selectedName = current->record.name;
  std::vector<LUTRecord> records;
  for (int r = 1; r < m_grid.GetRowCount(); ++r) {
    Row* row = RowAt(r);
    if (!row) continue;
    LUTRecord out = row->record;
    out.description = m_grid.GetItemText(r, 1);
    if (row->original) {
      // The caller's object takes the edit, so every holder of it sees the new curve.
      if (ILut* edited = row->record.PeekObject()) CopyCurve(edited, row->original);
      out.SetObject(row->original);
    }
    records.push_back(out);
  }
  m_list->Clear();
  for (const LUTRecord& record : records) m_list->Add(record);
  CDialog::OnOK();
}
