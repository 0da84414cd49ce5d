#include "ImportPreviewCtl.h"

#include "MemDC.h"
#include "RectFitting.h"

void CImportPreviewCtl::SetBitmap(zvkImage::IBitmap* newBitmap) {
  bitmap = newBitmap;
  Redraw();
}

void CImportPreviewCtl::Draw(CDC* dc, const CRect& client, const CRect& /*clip*/) {
  zvk::TMemDC<> memory;
  memory.Create(dc->GetSafeHdc(), &client, false);
  HDC hdc = memory.GetSafeHdc() != nullptr ? memory.GetSafeHdc() : dc->GetSafeHdc();
  ::FillRect(hdc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
  RECT frame = client;
  ::DrawEdge(hdc, &frame, BDR_RAISEDINNER, BF_RECT);
  long width = 0;
  long height = 0;
  if (bitmap && SUCCEEDED(bitmap->GetWidth(&width)) && SUCCEEDED(bitmap->GetHeight(&height)) && width > 0 &&
      height > 0) {
    const int marginX = client.Width() / 15;
    const int marginY = client.Height() / 15;
    const PlacementRect inner{client.left + marginX, client.top + marginY, client.Width() - 2 * marginX,
                              client.Height() - 2 * marginY};
    const PlacementRect fit = FitRect(inner, static_cast<int>(width), static_cast<int>(height));
    RECT target = {fit.x, fit.y, fit.x + fit.width, fit.y + fit.height};
    const POINT origin = {0, 0};
    bitmap->Draw(hdc, &target, &origin, SRCCOPY);
    RECT around = {target.left - 2, target.top - 2, target.right + 2, target.bottom + 2};
    ::DrawEdge(hdc, &around, BDR_SUNKENOUTER, BF_RECT);
  }
  memory.Flush();
}
