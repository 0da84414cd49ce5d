// CSize: a SIZE with arithmetic.
#pragma once

#include "classlib/Point.h"

class CSize : public tagSIZE {
 public:
  CSize() {
    cx = 0;
    cy = 0;
  }
  CSize(int initCX, int initCY) {
    cx = initCX;
    cy = initCY;
  }
  CSize(SIZE s) {
    cx = s.cx;
    cy = s.cy;
  }  // NOLINT(google-explicit-constructor)
  explicit CSize(POINT p) {
    cx = p.x;
    cy = p.y;
  }

  void SetSize(int newCX, int newCY) {
    cx = newCX;
    cy = newCY;
  }
  bool operator==(SIZE s) const { return cx == s.cx && cy == s.cy; }
  bool operator!=(SIZE s) const { return !(*this == s); }
  void operator+=(SIZE s) {
    cx += s.cx;
    cy += s.cy;
  }
  void operator-=(SIZE s) {
    cx -= s.cx;
    cy -= s.cy;
  }
  CSize operator+(SIZE s) const { return CSize(cx + s.cx, cy + s.cy); }
  CSize operator-(SIZE s) const { return CSize(cx - s.cx, cy - s.cy); }
  CSize operator-() const { return CSize(-cx, -cy); }
  CPoint operator+(POINT p) const { return CPoint(cx + p.x, cy + p.y); }
};

inline CSize CPoint::operator-(POINT p) const { return CSize(x - p.x, y - p.y); }
