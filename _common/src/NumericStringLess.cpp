#include "NumericStringLess.h"

#include <cstdlib>

bool NumericStringLess(const char* a, const char* b) {
  if (!a) a = "";
  if (!b) b = "";
  int x = std::atoi(a);
  int y = std::atoi(b);
  if (x != y) return x < y;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(a);
  const unsigned char* q = reinterpret_cast<const unsigned char*>(b);
  while (*p && *p == *q) {
    ++p;
    ++q;
  }
  return *p < *q;
}
