#include "classlib/Geometry.h"
#include "classlib/Collections.h"

#include <gtest/gtest.h>

#include <map>

TEST(CRectTest, GeometryMembers) {
  CRect r(10, 20, 110, 70);
  EXPECT_EQ(r.Width(), 100);
  EXPECT_EQ(r.Height(), 50);
  EXPECT_TRUE(r.PtInRect(CPoint(10, 20)));
  EXPECT_FALSE(r.PtInRect(CPoint(110, 20)));  // right and bottom are outside
  EXPECT_EQ(r.CenterPoint(), CPoint(60, 45));

  CRect flipped(110, 70, 10, 20);
  flipped.NormalizeRect();
  EXPECT_EQ(flipped, r);

  CRect inner(r);
  inner.DeflateRect(5, 10);
  EXPECT_EQ(inner, CRect(15, 30, 105, 60));
  inner.OffsetRect(-15, -30);
  EXPECT_EQ(inner.TopLeft(), CPoint(0, 0));

  CRect overlap;
  EXPECT_TRUE(overlap.IntersectRect(r, CRect(100, 60, 200, 200)));
  EXPECT_EQ(overlap, CRect(100, 60, 110, 70));
  EXPECT_FALSE(overlap.IntersectRect(r, CRect(200, 200, 300, 300)));
  EXPECT_TRUE(overlap.IsRectEmpty());

  EXPECT_EQ(CPoint(5, 7) - CPoint(2, 3), CSize(3, 4));
  EXPECT_EQ(CPoint(5, 7) + CSize(1, 1), CPoint(6, 8));
  EXPECT_EQ(CPoint(static_cast<LPARAM>(MAKELPARAM(-3, 4))), CPoint(-3, 4));
}

TEST(CMapTest, LookupRemoveAndIterate) {
  CMap<CString, LPCTSTR, int, int> map;
  map.InitHashTable(17);
  for (int i = 0; i < 100; ++i) {
    CString key;
    key.Format("key%d", i);
    map.SetAt(key, i);
  }
  EXPECT_EQ(map.GetCount(), 100);
  int value = -1;
  EXPECT_TRUE(map.Lookup("key42", value));
  EXPECT_EQ(value, 42);
  EXPECT_FALSE(map.Lookup("nope", value));
  map["key42"] = 4242;
  EXPECT_TRUE(map.Lookup("key42", value));
  EXPECT_EQ(value, 4242);
  EXPECT_TRUE(map.RemoveKey("key0"));
  EXPECT_FALSE(map.RemoveKey("key0"));

  std::map<std::string, int> seen;
  POSITION position = map.GetStartPosition();
  while (position != nullptr) {
    CString key;
    map.GetNextAssoc(position, key, value);
    seen[key.str()] = value;
  }
  EXPECT_EQ(seen.size(), 99u);
  EXPECT_EQ(seen["key99"], 99);
  map.RemoveAll();
  EXPECT_EQ(map.GetStartPosition(), nullptr);
}

TEST(CArrayTest, GrowsAndChecksIndexes) {
  CArray<CPoint, CPoint> points;
  points.Add(CPoint(1, 1));
  points.SetAtGrow(3, CPoint(4, 4));
  EXPECT_EQ(points.GetSize(), 4);
  EXPECT_EQ(points[1], CPoint(0, 0));
  points.InsertAt(0, CPoint(9, 9), 2);
  points.RemoveAt(2);
  EXPECT_EQ(points.GetSize(), 5);
  EXPECT_EQ(points[4], CPoint(4, 4));
  EXPECT_THROW(points.GetAt(5), std::out_of_range);
  EXPECT_THROW(points.GetAt(-1), std::out_of_range);
  EXPECT_THROW(points.RemoveAt(4, 2), std::out_of_range);
}
