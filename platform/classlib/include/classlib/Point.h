// CPoint: a POINT with arithmetic.
#pragma once

#include "classlib/Base.h"

class CSize;

class CPoint : public tagPOINT {
 public:
  CPoint() {
    x = 0;
    y = 0;
  }
  CPoint(int initX, int initY) {
    x = initX;
    y = initY;
  }
  CPoint(POINT p) {
    x = p.x;
    y = p.y;
  }  // NOLINT(google-explicit-constructor)
  CPoint(SIZE s) {
    x = s.cx;
    y = s.cy;
  }  // NOLINT(google-explicit-constructor)
  // From the packed coordinates of a mouse message's lParam.
  explicit CPoint(LPARAM packed) {
    x = static_cast<short>(LOWORD(packed));
    y = static_cast<short>(HIWORD(packed));
  }

  void Offset(int dx, int dy) {
    x += dx;
    y += dy;
  }
  void Offset(POINT p) { Offset(p.x, p.y); }
  void Offset(SIZE s) { Offset(s.cx, s.cy); }
  void SetPoint(int newX, int newY) {
    x = newX;
    y = newY;
  }

  bool operator==(POINT p) const { return x == p.x && y == p.y; }
  bool operator!=(POINT p) const { return !(*this == p); }
  void operator+=(SIZE s) { Offset(s); }
  void operator-=(SIZE s) { Offset(-s.cx, -s.cy); }
  void operator+=(POINT p) { Offset(p); }
  void operator-=(POINT p) { Offset(-p.x, -p.y); }
  CPoint operator+(SIZE s) const { return CPoint(x + s.cx, y + s.cy); }
  CPoint operator-(SIZE s) const { return CPoint(x - s.cx, y - s.cy); }
  CPoint operator+(POINT p) const { return CPoint(x + p.x, y + p.y); }
  CPoint operator-() const { return CPoint(-x, -y); }
  CSize operator-(POINT p) const;
};
