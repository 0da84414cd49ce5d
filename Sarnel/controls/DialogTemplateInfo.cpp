#include "DialogTemplateInfo.h"

namespace {

constexpr size_t ClassicHeaderSize = 18;
constexpr size_t ExtendedHeaderSize = 26;

// Skips a menu or class entry: 0xFFFF and an ordinal, or a zero-terminated wide string.
const WORD* SkipNameOrOrdinal(const WORD* p) {
  if (*p == 0xFFFF) return p + 2;
  while (*p != 0) ++p;
  return p + 1;
}

const WORD* SkipString(const WORD* p) {
  while (*p != 0) ++p;
  return p + 1;
}

}  // namespace

CDialogTemplateInfo::~CDialogTemplateInfo() {
  if (loaded == nullptr && bytes != nullptr) delete[] bytes;
}

BOOL CDialogTemplateInfo::Open(HINSTANCE module, UINT id) {
  resource = ::FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
  if (resource == nullptr) return FALSE;
  loaded = ::LoadResource(module, resource);
  if (loaded == nullptr) return FALSE;
  bytes = static_cast<const BYTE*>(::LockResource(loaded));
  if (bytes == nullptr) return FALSE;
  const WORD* words = reinterpret_cast<const WORD*>(bytes);
  extended = FALSE;
  if (words[1] == 0xFFFF) {
    if (words[0] == 1)
      extended = TRUE;
    else
      ::SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
  }
  return TRUE;
}

DWORD CDialogTemplateInfo::GetStyle() const {
  if (bytes == nullptr) return 0;
  DWORD style;
  memcpy(&style, bytes + (extended ? 12 : 0), sizeof(style));
  return style;
}

SIZE CDialogTemplateInfo::GetSizeInDialogUnits() const {
  SIZE size = {0, 0};
  if (bytes == nullptr) return size;
  short cx, cy;
  const size_t offset = extended ? 22 : 14;
  memcpy(&cx, bytes + offset, sizeof(cx));
  memcpy(&cy, bytes + offset + 2, sizeof(cy));
  size.cx = cx;
  size.cy = cy;
  return size;
}

BOOL CDialogTemplateInfo::GetFont(WORD& pointSize, WORD& weight, BOOL& italic, CString& faceName) const {
  pointSize = 0;
  weight = 0;
  italic = FALSE;
  faceName.Empty();
  if (bytes == nullptr || (GetStyle() & DS_SETFONT) == 0) return TRUE;
  const WORD* p = reinterpret_cast<const WORD*>(bytes + (extended ? ExtendedHeaderSize : ClassicHeaderSize));
  p = SkipNameOrOrdinal(p);  // menu
  p = SkipNameOrOrdinal(p);  // class
  p = SkipString(p);         // title
  pointSize = *p++;
  if (extended) {
    weight = *p++;
    italic = (*p & 0xFF) != 0;  // the character set byte follows
    ++p;
  } else {
    weight = FW_NORMAL;
  }
  const wchar_t* face = reinterpret_cast<const wchar_t*>(p);
  const int length = ::WideCharToMultiByte(CP_ACP, 0, face, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return TRUE;
  try {
    LPSTR buffer = faceName.GetBuffer(length);
    ::WideCharToMultiByte(CP_ACP, 0, face, -1, buffer, length, nullptr, nullptr);
    faceName.ReleaseBuffer();
  } catch (const std::bad_alloc&) {
    ::SetLastError(static_cast<DWORD>(E_OUTOFMEMORY));
    return FALSE;
  }
  return TRUE;
}

BOOL CDialogTemplateInfo::GetBaseUnits(int& horizontal, int& vertical) const {
  if (bytes == nullptr || (GetStyle() & DS_SETFONT) == 0) {
    const LONG units = ::GetDialogBaseUnits();
    horizontal = LOWORD(units);
    vertical = HIWORD(units);
    return TRUE;
  }
  WORD pointSize = 0, weight = 0;
  BOOL italic = FALSE;
  CString face;
  if (!GetFont(pointSize, weight, italic, face)) return FALSE;
  HDC dc = ::CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  if (dc == nullptr) return FALSE;
  LOGFONTA logFont = {};
  logFont.lfHeight = -::MulDiv(pointSize, ::GetDeviceCaps(dc, LOGPIXELSY), 72);
  logFont.lfWeight = weight;
  logFont.lfItalic = italic ? TRUE : FALSE;
  logFont.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(logFont.lfFaceName, face, LF_FACESIZE);
  HFONT font = ::CreateFontIndirectA(&logFont);
  if (font == nullptr) {
    ::DeleteDC(dc);
    return FALSE;
  }
  HGDIOBJ old = ::SelectObject(dc, font);
  TEXTMETRICA metrics = {};
  ::GetTextMetricsA(dc, &metrics);
  static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  SIZE extent = {};
  ::GetTextExtentPoint32A(dc, alphabet, 52, &extent);
  ::SelectObject(dc, old);
  ::DeleteObject(font);
  ::DeleteDC(dc);
  vertical = metrics.tmHeight;
  horizontal = (extent.cx / 26 + 1) / 2;
  return TRUE;
}
