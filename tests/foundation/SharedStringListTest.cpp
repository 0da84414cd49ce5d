// Shared text lists: sharing on copy, detaching on change, freeing once.
#include "SharedStringList.h"

#include <gtest/gtest.h>

TEST(SharedStringListTest, CopiesShareUntilOneChanges) {
  SharedStringList a;
  a.Append("one");
  a.Append("two");
  SharedStringList b;
  b.tag = 5;
  b = a;
  EXPECT_TRUE(b.SharesBodyWith(a));
  EXPECT_EQ(a.RefCount(), 2);
  EXPECT_EQ(b.tag, 0);  // the tag is copied too

  b.Append("three");
  EXPECT_FALSE(b.SharesBodyWith(a));
  EXPECT_EQ(a.GetCount(), 2);
  EXPECT_EQ(b.GetCount(), 3);
  EXPECT_EQ(a.RefCount(), 1);
  EXPECT_EQ(b.RefCount(), 1);
  EXPECT_STREQ(b[2], "three");
}

TEST(SharedStringListTest, WithoutCopyOnWriteEverySharerSeesTheChange) {
  SharedStringList a;
  a.Append("x");
  SharedStringList b;
  b.SetCopyOnWrite(false);
  b = a;
  EXPECT_FALSE(b.GetCopyOnWrite());  // the flag is the handle's own
  b.Append("y");
  EXPECT_EQ(a.GetCount(), 2);
  EXPECT_TRUE(a.SharesBodyWith(b));
}

TEST(SharedStringListTest, ReadingMakesOneEmptyBodySelfAssignmentChangesNothing) {
  SharedStringList a;
  EXPECT_FALSE(a.HasBody());
  EXPECT_EQ(a.GetCount(), 0);
  SharedStringList::Body* body = a.GetBody();
  EXPECT_EQ(a.GetBody(), body);
  EXPECT_EQ(a.RefCount(), 1);

  a.Append("only");
  SharedStringList b = a;
  b = a;
  a = a;
  EXPECT_EQ(a.RefCount(), 2);

  SharedStringList c;
  c.Append("z");
  c.Unshare()->Erase(0);
  EXPECT_TRUE(c.HasBody());
  EXPECT_EQ(c.GetCount(), 0);
}

TEST(SharedStringListTest, CloneSharesNothingAndTheLastSharerFreesTheBody) {
  SharedStringList source;
  source.Append("1");
  SharedStringList clone = SharedStringList::Clone(source);
  EXPECT_FALSE(clone.SharesBodyWith(source));
  EXPECT_EQ(clone.GetCount(), 1);
  EXPECT_EQ(clone.RefCount(), 1);

  auto* first = new SharedStringList(source);
  auto* second = new SharedStringList(source);
  EXPECT_EQ(source.RefCount(), 3);
  delete first;
  delete second;
  EXPECT_EQ(source.RefCount(), 1);
  SharedStringList::Body* body = source.Unshare();
  EXPECT_EQ(body, source.GetBody());  // alone: no copy on change
  body->InsertAt(0, "0");
  body->InsertCopies(2, 2, "x");
  EXPECT_EQ(source.GetCount(), 4);
  EXPECT_STREQ(source[0], "0");
  EXPECT_STREQ(source[3], "x");
  body->Clear();
  EXPECT_EQ(source.GetCount(), 0);
}
