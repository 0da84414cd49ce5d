// Painting one cell of the image grid: composed off screen, copied to the screen in one step.
#include "CellRows.h"
#include "ImagesView.h"
#include "PictureDraw.h"

#include "AspectRatios.h"
#include "CropScale.h"
#include "MemDC.h"
#include "Options.h"
#include "RectFitting.h"
#include "TheDocument.h"

#include <algorithm>
#include <cmath>

namespace {

struct CellGeometry {
  int bx = 0;
  int by = 0;
  int margin = 0;
  int captionBand = 0;
  int numberBoxHeight = 0;
  CellGeometry() {
    const LONG units = ::GetDialogBaseUnits();
    bx = LOWORD(units);
    by = HIWORD(units);
    margin = static_cast<int>(by * 3.5 / 8);
    captionBand = static_cast<int>(by * 12.0 / 8);
    numberBoxHeight = static_cast<int>(by * 7.8 / 8);
  }
};

const CellGeometry& Geometry() {
  static const CellGeometry geometry;
  return geometry;
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
  HBRUSH brush = ::CreateSolidBrush(colour);
  ::FillRect(dc, &rect, brush);
  ::DeleteObject(brush);
}

void FrameSolid(HDC dc, const RECT& rect, COLORREF colour) {
  HBRUSH brush = ::CreateSolidBrush(colour);
  ::FrameRect(dc, &rect, brush);
  ::DeleteObject(brush);
}

PlacementRect ToPlacement(const CRect& r) { return {r.left, r.top, r.Width(), r.Height()}; }
CRect ToRect(const PlacementRect& p) { return CRect(p.x, p.y, p.x + p.width, p.y + p.height); }

// The empty place's frame, and the cell frame of an image.
void PaintPlace(HDC dc, const CRect& cell, COLORREF fill, COLORREF frame) {
  FillSolid(dc, cell, fill);
  FrameSolid(dc, cell, frame);
}

// A 24-bit top-down DIB section selected into its own memory DC: the raw rows the byte passes
// work on.
class RowCanvas {
 public:
  RowCanvas(HDC like, int width, int height) : width(width), height(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    dib = ::CreateDIBSection(like, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib == nullptr) return;
    dc = ::CreateCompatibleDC(like);
    previous = ::SelectObject(dc, dib);
  }
  RowCanvas(const RowCanvas&) = delete;
  RowCanvas& operator=(const RowCanvas&) = delete;
  ~RowCanvas() {
    if (dc != nullptr) {
      ::SelectObject(dc, previous);
      ::DeleteDC(dc);
    }
    if (dib != nullptr) ::DeleteObject(dib);
  }
  bool IsReady() const { return dc != nullptr && bits != nullptr; }
  HDC Dc() const { return dc; }
  // The rows, once GDI has finished drawing into them.
  RowBitmap Rows() const {
    ::GdiFlush();
    return RowBitmap{static_cast<uint8_t*>(bits), width, height, ((width * 3) + 3) & ~3};
  }

 private:
  int width;
  int height;
  HBITMAP dib = nullptr;
  HDC dc = nullptr;
  HGDIOBJ previous = nullptr;
  void* bits = nullptr;
};

// A pale veil under a label: the screen's bytes under it go through the wash table, done on a
// copy the label's size so nothing outside it is touched.
void WashArea(HDC dc, const CRect& area) {
  if (area.IsRectEmpty()) return;
  RowCanvas copy(dc, area.Width(), area.Height());
  if (!copy.IsReady()) return;
  ::BitBlt(copy.Dc(), 0, 0, area.Width(), area.Height(), dc, area.left, area.top, SRCCOPY);
  WashRect(copy.Rows(), 0, 0, area.Width(), area.Height());
  ::BitBlt(dc, area.left, area.top, area.Width(), area.Height(), copy.Dc(), 0, 0, SRCCOPY);
}

// Where the mask lies in the aspect window: all of it, or the job's fixed trim ratio fitted into it,
// its longer side vertical when the window is at least as high as wide.
CRect MaskRect(const CRect& window, const CropScale& crop) {
  if (!crop.fixedRatio || crop.ratioWidth <= 0 || crop.ratioHeight <= 0) return window;
  const int longer = std::max(crop.ratioWidth, crop.ratioHeight);
  const int shorter = std::min(crop.ratioWidth, crop.ratioHeight);
  const bool upright = window.Height() >= window.Width();
  return ToRect(FitRect(ToPlacement(window), upright ? shorter : longer, upright ? longer : shorter));
}

// The masked picture: A holds the lattice under the window, B the background and picture, C the
// mask on white; every byte of A becomes T[255 - c][b] + T[c][a] and A goes back to the screen.
void DrawThroughMask(HDC out, const CRect& window, zvkImage::IBitmap* picture, CRect pictureRect,
                     zvkImage::IBitmap* background, CRect backRect, zvkImage::IBitmap* mask, CRect maskRect) {
  const int w = window.Width(), h = window.Height();
  RowCanvas lattice(out, w, h), composed(out, w, h), cover(out, w, h);
  if (!lattice.IsReady() || !composed.IsReady() || !cover.IsReady()) return;
  const CRect whole(0, 0, w, h);
  ::BitBlt(lattice.Dc(), 0, 0, w, h, out, window.left, window.top, SRCCOPY);
  FillSolid(composed.Dc(), whole, RGB(255, 255, 255));
  pictureRect.OffsetRect(-window.left, -window.top);
  backRect.OffsetRect(-window.left, -window.top);
  maskRect.OffsetRect(-window.left, -window.top);
  if (background != nullptr) DrawPicture(composed.Dc(), background, backRect);
  DrawPicture(composed.Dc(), picture, pictureRect);
  FillSolid(cover.Dc(), whole, RGB(255, 255, 255));
  CheckBitmapCall(mask->Draw(cover.Dc(), &maskRect, nullptr, SRCCOPY), mask);
  const RowBitmap a = lattice.Rows(), b = composed.Rows(), c = cover.Rows();
  for (int y = 0; y < h; ++y) {
    const size_t row = static_cast<size_t>(y) * static_cast<size_t>(a.stride);
    BlendRowThroughMask(a.bits + row, b.bits + row, c.bits + row, static_cast<size_t>(a.stride));
  }
  ::BitBlt(out, window.left, window.top, w, h, lattice.Dc(), 0, 0, SRCCOPY);
}

}  // namespace

BOOL CImagesView::OnDrawCell(COwnerCellCtl*, CDC* dc, int index, const CRect& cell, const CRect&, int mode) {
  BOOL result = TRUE;
  Guarded([&] {
    zvk::MemDC memory;
    memory.Create(dc->GetSafeHdc(), &cell, false);
    HDC out = memory.GetSafeHdc();
    const CString id = index >= 0 ? GetCellImageId(index) : CString();
    if (index < 0 || id.IsEmpty() || (batchRunning && document != nullptr && !document->HasImage(id))) {
      PaintPlace(out, cell, colours.voidPlace, 0xC4C4C4);
      memory.Flush();
      return;
    }
    const bool selected = grid.GetSelectionOrder(COwnerCellCtl::ItemPos::ByIndex(index)) != 0;
    PaintPlace(out, cell, selected ? colours.selected : colours.background, selected ? 0x808080 : 0xA0A0A0);
    CDC* target = CDC::FromHandle(out);
    CRect band(cell.left, cell.bottom - Geometry().captionBand, cell.right, cell.bottom);
    band.DeflateRect(1, 1);
    bool drawn = true;
    try {
      drawn = DrawCellImage(target, cell, id, mode == 1);
    } catch (...) {
      // The cell keeps its frame and caption without the picture; the failure is reported later.
      DrawCellCaption(target, band, id);
      memory.Flush();
      throw;
    }
    DrawCellCaption(target, band, id);
    if (GetOptions().ViewImageTagged) DrawTagBox(target, cell, id);
    memory.Flush();
    result = drawn ? TRUE : FALSE;
  });
  return result;
}

CSize CImagesView::GetFrameSize(int width, int height) {
  if (toolMode == 1 || toolMode == 3 || document == nullptr) return CSize(width, height);
  const SIZE ratio = document->GetAspectRatios().GetForOrientation(SIZE{width, height}, true);
  if (ratio.cx <= 0 || ratio.cy <= 0) return CSize(width, height);
  return CSize(ratio.cx, ratio.cy);
}

bool CImagesView::DrawCellImage(CDC* dc, const CRect& cell, const char* id, bool cachedOnly) {
  if (document == nullptr) return true;
  // A blank image has nothing to show; it is not waiting for anything.
  if (document->IsImageEmpty(id)) return true;
  IBitmapPtr bitmap = GetDisplayBitmap(id, cachedOnly);
  if (bitmap == nullptr) return false;
  long w = 0, h = 0;
  CheckBitmapCall(bitmap->GetWidth(&w), bitmap);
  CheckBitmapCall(bitmap->GetHeight(&h), bitmap);
  if (w <= 0 || h <= 0) return true;

  const CellGeometry& g = Geometry();
  CRect area(cell.left + g.margin, cell.top + g.margin, cell.right - g.margin, cell.bottom - g.captionBand);
  if (area.IsRectEmpty()) return true;
  const CSize frame = GetFrameSize(w, h);
  const CRect window = ToRect(FitRect(ToPlacement(area), frame.cx, frame.cy));
  CRect picture = ToRect(CoverRect(ToPlacement(window), w, h));

  const CropScale crop = document->GetImageCropScale(id);
  const int width = picture.Width(), height = picture.Height();
  picture.OffsetRect(static_cast<int>(width * crop.posA), static_cast<int>(height * crop.posB));
  const int growX = static_cast<int>(width * (crop.scale - 1) / 2);
  const int growY = static_cast<int>(height * (crop.scale - 1) / 2);
  picture.InflateRect(growX, growY);

  // The replacement background covers the window as the picture does; a mask decides, byte by
  // byte, between the lattice and what lies on it.
  IBitmapPtr background = document->GetImageBackgroundBitmap(id, false);
  CRect backRect;
  if (background != nullptr) {
    long bw = 0, bh = 0;
    CheckBitmapCall(background->GetWidth(&bw), background);
    CheckBitmapCall(background->GetHeight(&bh), background);
    if (bw > 0 && bh > 0)
      backRect = ToRect(CoverRect(ToPlacement(window), bw, bh));
    else
      background = nullptr;
  }
  IBitmapPtr mask = document->GetImageMaskBitmap(id, false);
  if (mask != nullptr) {
    long mw = 0, mh = 0;
    CheckBitmapCall(mask->GetWidth(&mw), mask);
    CheckBitmapCall(mask->GetHeight(&mh), mask);
    if (mw <= 0 || mh <= 0) mask = nullptr;
  }

  HDC out = dc->GetSafeHdc();
  const int saved = ::SaveDC(out);
  ::IntersectClipRect(out, window.left, window.top, window.right, window.bottom);
  FillSolid(out, window, RGB(255, 255, 255));
  HBRUSH hatch = ::CreateHatchBrush(HS_DIAGCROSS, 0xC0C0C0);
  const int oldMode = ::SetBkMode(out, TRANSPARENT);
  ::FillRect(out, &window, hatch);
  ::SetBkMode(out, oldMode);
  ::DeleteObject(hatch);
  try {
    if (mask == nullptr) {
      if (background != nullptr) DrawPicture(out, background, backRect);
      DrawPicture(out, bitmap, picture);
    } else {
      DrawThroughMask(out, window, bitmap, picture, background, backRect, mask, MaskRect(window, crop));
    }
  } catch (...) {
    ::RestoreDC(out, saved);
    throw;
  }
  ::RestoreDC(out, saved);

  if (toolMode == 0) {
    CRect frameRect = window;
    frameRect.InflateRect(1, 1);
    HPEN dark = ::CreatePen(PS_SOLID, 1, 0x404040);
    HPEN light = ::CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    HGDIOBJ old = ::SelectObject(out, dark);
    ::MoveToEx(out, frameRect.left, frameRect.bottom - 1, nullptr);
    ::LineTo(out, frameRect.left, frameRect.top);
    ::LineTo(out, frameRect.right - 1, frameRect.top);
    ::SelectObject(out, light);
    ::LineTo(out, frameRect.right - 1, frameRect.bottom - 1);
    ::LineTo(out, frameRect.left, frameRect.bottom - 1);
    ::SelectObject(out, old);
    ::DeleteObject(dark);
    ::DeleteObject(light);
  }

  if (GetOptions().ViewImageTags) {
    const CString name = document->GetImageFileNamePart(id, GetOptions().ViewImageTagExt);
    HGDIOBJ oldFont = ::SelectObject(out, fileNameFont.GetSafeHandle());
    SIZE text = {};
    ::GetTextExtentPoint32A(out, name, name.GetLength(), &text);
    const int widest = window.Width() - g.bx / 2;
    const int labelWidth = std::max(0, std::min(static_cast<int>(text.cx + 0.75 * g.bx), widest));
    const int labelHeight = text.cy + g.by / 8;
    CRect label(0, 0, labelWidth, labelHeight);
    label.OffsetRect(window.left + (window.Width() - labelWidth) / 2,
                     window.bottom - static_cast<int>(2.5 * g.by / 8) - labelHeight);
    CRect veil;
    veil.IntersectRect(label, cell);
    WashArea(out, veil);
    FrameSolid(out, label, 0xC4C4C4);
    const int oldBk = ::SetBkMode(out, TRANSPARENT);
    const COLORREF oldColour = ::SetTextColor(out, RGB(0, 0, 0));
    ::DrawTextA(out, name, name.GetLength(), &label,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    ::SetTextColor(out, oldColour);
    ::SetBkMode(out, oldBk);
    ::SelectObject(out, oldFont);
  }
  return true;
}

void CImagesView::DrawCellCaption(CDC* dc, const CRect& band, const char* id) {
  if (document == nullptr) return;
  const CellGeometry& g = Geometry();
  HDC out = dc->GetSafeHdc();
  CString number;
  number.Format("  %d  ", document->GetImageNumber(id));
  HGDIOBJ oldFont = ::SelectObject(out, numberFont.GetSafeHandle());
  SIZE text = {};
  ::GetTextExtentPoint32A(out, number, number.GetLength(), &text);
  CRect box(0, 0, text.cx, g.numberBoxHeight);
  box.OffsetRect(band.left + g.bx / 4, band.top + (band.Height() - g.numberBoxHeight) / 2);
  CRect shadow = box;
  shadow.OffsetRect(g.bx / 4, g.by / 4);
  FillSolid(out, shadow, 0x404040);
  const bool off = document->GetImageFlag02(id);
  FillSolid(out, box, document->HasFolderImage(id) ? 0xFFF0DC : off ? 0xC4C4C4 : RGB(255, 255, 255));
  FrameSolid(out, box, 0x808080);
  const int oldBk = ::SetBkMode(out, TRANSPARENT);
  const COLORREF oldColour = ::SetTextColor(out, off ? 0x404040 : RGB(0, 0, 0));
  ::DrawTextA(out, number, number.GetLength(), &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  const CString caption = GetImageCaption(id);
  if (!caption.IsEmpty()) {
    ::SelectObject(out, captionFont.GetSafeHandle());
    ::SetTextColor(out, RGB(0, 0, 0));
    CRect captionRect(box.right + 3 * g.bx / 4, band.top, band.right, band.bottom);
    ::DrawTextA(out, caption, caption.GetLength(), &captionRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  }
  ::SetTextColor(out, oldColour);
  ::SetBkMode(out, oldBk);
  ::SelectObject(out, oldFont);
}

void CImagesView::DrawTagBox(CDC* dc, const CRect& cell, const char* id) {
  if (document == nullptr) return;
  const CellGeometry& g = Geometry();
  HDC out = dc->GetSafeHdc();
  const int side = static_cast<int>(1.25 * g.bx) + 1;
  CRect box(0, 0, side, side);
  box.OffsetRect(cell.left + g.bx / 2, cell.top + g.by / 4);
  FrameSolid(out, box, RGB(0, 0, 0));
  CRect inside = box;
  inside.DeflateRect(1, 1);
  FillSolid(out, inside, RGB(255, 255, 255));
  if (!document->GetImageFlag04(id)) return;
  CRect mark = inside;
  mark.DeflateRect(1, 1);
  const int x = mark.left + (mark.right - mark.left) / 3;
  HPEN pen = ::CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
  HGDIOBJ old = ::SelectObject(out, pen);
  for (int lift = 0; lift < 3; ++lift) {
    const int apexY = mark.bottom - 1 - lift;
    const int down = x - mark.left;
    ::MoveToEx(out, mark.left, apexY - down, nullptr);
    ::LineTo(out, x, apexY);
    const int up = mark.right - 1 - x;
    ::LineTo(out, mark.right - 1, apexY - up);
    ::SetPixel(out, x, apexY, RGB(0, 0, 0));
  }
  ::SelectObject(out, old);
  ::DeleteObject(pen);
}

IBitmapPtr CImagesView::GetDisplayBitmap(const char* id, bool cachedOnly) {
  if (document == nullptr) return nullptr;
  // Kind 4: the display form, keyed when the image has a key.
  IBitmapPtr bitmap = document->FindCachedBitmap(id, 4);
  if (bitmap == nullptr && !cachedOnly) bitmap = document->GetImageBitmap(id, 4);
  return bitmap;
}
