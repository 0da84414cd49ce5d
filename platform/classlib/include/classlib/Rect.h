// CRect: a RECT with the usual geometry. Right and bottom are exclusive, as in GDI.
#pragma once

#include "classlib/Size.h"

class CRect : public tagRECT {
 public:
  CRect() { SetRectEmpty(); }
  CRect(int l, int t, int r, int b) { SetRect(l, t, r, b); }
  CRect(const RECT& r) { CopyRect(&r); }  // NOLINT(google-explicit-constructor)
  CRect(const RECT* r) {
    if (r)
      CopyRect(r);
    else
      SetRectEmpty();
  }  // NOLINT
  CRect(POINT topLeft, SIZE size) { SetRect(topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy); }
  CRect(POINT topLeft, POINT bottomRight) { SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y); }

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  CSize Size() const { return CSize(Width(), Height()); }
  CPoint& TopLeft() { return *reinterpret_cast<CPoint*>(&left); }
  CPoint& BottomRight() { return *reinterpret_cast<CPoint*>(&right); }
  const CPoint& TopLeft() const { return *reinterpret_cast<const CPoint*>(&left); }
  const CPoint& BottomRight() const { return *reinterpret_cast<const CPoint*>(&right); }
  CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
  operator LPRECT() { return this; }         // NOLINT(google-explicit-constructor)
  operator LPCRECT() const { return this; }  // NOLINT(google-explicit-constructor)

  BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
  BOOL IsRectNull() const { return AfxBool(left == 0 && top == 0 && right == 0 && bottom == 0); }
  BOOL PtInRect(POINT p) const { return ::PtInRect(this, p); }

  void SetRect(int l, int t, int r, int b) {
    left = l;
    top = t;
    right = r;
    bottom = b;
  }
  void SetRectEmpty() { SetRect(0, 0, 0, 0); }
  void CopyRect(LPCRECT r) {
    left = r->left;
    top = r->top;
    right = r->right;
    bottom = r->bottom;
  }
  BOOL EqualRect(LPCRECT r) const { return ::EqualRect(this, r); }

  void InflateRect(int dx, int dy) { ::InflateRect(this, dx, dy); }
  void InflateRect(SIZE s) { InflateRect(s.cx, s.cy); }
  void InflateRect(LPCRECT r) {
    left -= r->left;
    top -= r->top;
    right += r->right;
    bottom += r->bottom;
  }
  void InflateRect(int l, int t, int r, int b) {
    left -= l;
    top -= t;
    right += r;
    bottom += b;
  }
  void DeflateRect(int dx, int dy) { ::InflateRect(this, -dx, -dy); }
  void DeflateRect(SIZE s) { DeflateRect(s.cx, s.cy); }
  void DeflateRect(LPCRECT r) {
    left += r->left;
    top += r->top;
    right -= r->right;
    bottom -= r->bottom;
  }
  void DeflateRect(int l, int t, int r, int b) {
    left += l;
    top += t;
    right -= r;
    bottom -= b;
  }
  void OffsetRect(int dx, int dy) { ::OffsetRect(this, dx, dy); }
  void OffsetRect(POINT p) { OffsetRect(p.x, p.y); }
  void OffsetRect(SIZE s) { OffsetRect(s.cx, s.cy); }
  void MoveToXY(int x, int y) { OffsetRect(x - left, y - top); }
  void MoveToX(int x) {
    right = Width() + x;
    left = x;
  }
  void MoveToY(int y) {
    bottom = Height() + y;
    top = y;
  }
  void NormalizeRect();

  BOOL IntersectRect(LPCRECT a, LPCRECT b) { return ::IntersectRect(this, a, b); }
  BOOL UnionRect(LPCRECT a, LPCRECT b) { return ::UnionRect(this, a, b); }
  BOOL SubtractRect(LPCRECT a, LPCRECT b) { return ::SubtractRect(this, a, b); }

  void operator=(const RECT& r) { CopyRect(&r); }
  bool operator==(const RECT& r) const {
    return left == r.left && top == r.top && right == r.right && bottom == r.bottom;
  }
  bool operator!=(const RECT& r) const { return !(*this == r); }
  void operator+=(POINT p) { OffsetRect(p); }
  void operator+=(SIZE s) { OffsetRect(s); }
  void operator-=(POINT p) { OffsetRect(-p.x, -p.y); }
  void operator-=(SIZE s) { OffsetRect(-s.cx, -s.cy); }
  void operator&=(const RECT& r) { IntersectRect(this, &r); }
  void operator|=(const RECT& r) { UnionRect(this, &r); }
  CRect operator+(POINT p) const {
    CRect r(*this);
    r.OffsetRect(p);
    return r;
  }
  CRect operator-(POINT p) const {
    CRect r(*this);
    r.OffsetRect(-p.x, -p.y);
    return r;
  }
  CRect operator+(SIZE s) const {
    CRect r(*this);
    r.OffsetRect(s);
    return r;
  }
  CRect operator-(SIZE s) const {
    CRect r(*this);
    r.OffsetRect(-s.cx, -s.cy);
    return r;
  }
  CRect operator&(const RECT& other) const {
    CRect r;
    r.IntersectRect(this, &other);
    return r;
  }
  CRect operator|(const RECT& other) const {
    CRect r;
    r.UnionRect(this, &other);
    return r;
  }
};

inline void CRect::NormalizeRect() {
  if (left > right) {
    LONG t = left;
    left = right;
    right = t;
  }
  if (top > bottom) {
    LONG t = top;
    top = bottom;
    bottom = t;
  }
}
