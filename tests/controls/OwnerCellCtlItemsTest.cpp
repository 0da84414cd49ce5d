// The cell grid's item store, stable ids, selection with its order, sorting and layout. Items,
// ids and the selection live without a window, so most of these run on the bare object.
#include "OwnerControlsTestSupport.h"

#include "MyException.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Pos = COwnerCellCtl::ItemPos;

std::vector<int> SelectedIndexes(const COwnerCellCtl& ctl) {
  std::vector<int> found;
  for (auto h = ctl.GetFirstSelected(); !h.IsNull(); h = ctl.GetNextSelected(Pos::ByIndex(h.index + 1)))
    found.push_back(h.index);
  return found;
}

void Fill(COwnerCellCtl& ctl, int count) {
  for (int i = 0; i < count; ++i) ctl.InsertItem(Pos::ByIndex(ctl.GetItemCount()), 100 + i);
}

TEST(OwnerCellCtlItems, StableIdsSurviveDeletionAndInsertion) {
  RecordingCellOwner owner;
  COwnerCellCtl ctl(3, 2, 3, &owner);
  for (int i = 0; i < 3; ++i) {
    const auto handle = ctl.InsertItem(Pos::ByIndex(i), 10 + i);
    EXPECT_EQ(handle.index, i);
    EXPECT_EQ(handle.id, i + 1);
  }
  ctl.DeleteItem(Pos::ByIndex(1));
  EXPECT_EQ(owner.Take("delete"), (std::vector<std::string>{"delete 11"}));
  const auto inserted = ctl.InsertItem(Pos::ByIndex(1), 99);
  EXPECT_EQ(inserted.index, 1);
  EXPECT_EQ(inserted.id, 4);
  EXPECT_EQ(ctl.ResolveIndex(Pos::ById(3)), 2);
  EXPECT_EQ(ctl.GetItemData(Pos::ById(3)), 12);
  EXPECT_EQ(ctl.GetItemId(Pos::ByIndex(1)), 4);
  EXPECT_EQ(ctl.ResolveIndex(Pos::ById(2)), -1);  // ids are never reused

  ctl.DeleteAllItems();
  EXPECT_EQ(owner.Take("delete"), (std::vector<std::string>{"delete 10", "delete 99", "delete 12"}));
  EXPECT_EQ(ctl.InsertItem(Pos::ByIndex(0), 1).id, 5);
}

TEST(OwnerCellCtlItems, BadReferencesAreRefusedWithoutSideEffects) {
  RecordingCellOwner owner;
  COwnerCellCtl ctl(3, 2, 3, &owner);
  Fill(ctl, 3);
  const Pos bad[] = {{2, 0, 0}, Pos::ByIndex(3), Pos::ByIndex(-1), Pos::ById(42)};
  for (const Pos& pos : bad) {
    ctl.DeleteItem(pos);
    EXPECT_EQ(ctl.GetItemData(pos), 0);
    EXPECT_EQ(ctl.GetSelectionOrder(pos), 0);
    try {
      ctl.ItemAt(pos);
      ADD_FAILURE() << "ItemAt accepted kind " << pos.kind << " index " << pos.index;
    } catch (const CMyException& e) {
      EXPECT_EQ(e.code, E_INVALIDARG);
    }
  }
  EXPECT_TRUE(owner.calls.empty());
  EXPECT_EQ(ctl.GetItemCount(), 3);
  EXPECT_THROW(ctl.GetItemId(Pos::ByIndex(7)), CMyException);
  EXPECT_EQ(ctl.GetItemId(Pos::ById(42)), 42);
  EXPECT_TRUE(ctl.InsertItem(Pos::ByIndex(5), 1).IsNull());
  EXPECT_TRUE(ctl.InsertItem(Pos::ByIndex(-1), 1).IsNull());
  EXPECT_EQ(ctl.GetItemCount(), 3);
}

TEST(OwnerCellCtlItems, SortingMovesIdsAndSelectionOrderWithTheItems) {
  RecordingCellOwner owner;
  COwnerCellCtl ctl(3, 2, 3, &owner);
  for (LPARAM data : {50, 10, 40, 20, 30}) ctl.InsertItem(Pos::ByIndex(ctl.GetItemCount()), data);
  ctl.SetItemSelected(Pos::ByIndex(0), true);  // data 50, id 1
  ctl.SetItemSelected(Pos::ByIndex(3), true);  // data 20, id 4
  ctl.SortItems();
  std::vector<LPARAM> order;
  for (int i = 0; i < ctl.GetItemCount(); ++i) order.push_back(ctl.GetItemData(Pos::ByIndex(i)));
  EXPECT_EQ(order, (std::vector<LPARAM>{10, 20, 30, 40, 50}));
  EXPECT_EQ(ctl.ResolveIndex(Pos::ById(1)), 4);
  EXPECT_EQ(ctl.ResolveIndex(Pos::ById(4)), 1);
  EXPECT_EQ(ctl.GetSelectionOrder(Pos::ById(1)), 1);
  EXPECT_EQ(ctl.GetSelectionOrder(Pos::ById(4)), 2);
  EXPECT_EQ(SelectedIndexes(ctl), (std::vector<int>{1, 4}));

  EXPECT_EQ(ctl.InsertItemSorted(35).index, 3);
  EXPECT_EQ(ctl.InsertItemSorted(5).index, 0);
  EXPECT_EQ(ctl.InsertItemSorted(99).index, 7);
  EXPECT_EQ(SelectedIndexes(ctl), (std::vector<int>{2, 6}));
}

TEST(OwnerCellCtlSelection, OrderNumbersFollowTheOrderOfSelecting) {
  RecordingCellOwner owner;
  COwnerCellCtl ctl(3, 2, 3, &owner);
  Fill(ctl, 10);
  for (int i : {5, 2, 7}) ctl.SetItemSelected(Pos::ByIndex(i), true);
  EXPECT_EQ(ctl.GetSelectionOrder(Pos::ByIndex(5)), 1);
  EXPECT_EQ(ctl.GetSelectionOrder(Pos::ByIndex(2)), 2);
  EXPECT_EQ(ctl.GetSelectionOrder(Pos::ByIndex(7)), 3);
  EXPECT_EQ(SelectedIndexes(ctl), (std::vector<int>{2, 5, 7}));
  EXPECT_EQ(owner.Take("selchange"), (std::vector<std::string>{"selchange 5", "selchange 2", "selchange 7"}));

  // Selecting one of several reports once and keeps its number.
  ctl.SelectItem(Pos::ByIndex(2), false);
  EXPECT_EQ(owner.Take("selchange"), (std::vector<std::string>{"selchange 2"}));
  EXPECT_EQ(ctl.GetSelectionOrder(Pos::ByIndex(2)), 2);
  EXPECT_EQ(ctl.GetAnchor(), 2);
  EXPECT_EQ(ctl.GetCaret(), 2);
  // The only selected item again: nothing.
  ctl.SelectItem(Pos::ByIndex(2), false);
  EXPECT_TRUE(owner.Take("selchange").empty());

  // Deleting a selected item reports nothing; the others keep their numbers at shifted indexes.
  ctl.SetItemSelected(Pos::ByIndex(8), true);
  owner.Take("selchange");
  ctl.DeleteItem(Pos::ByIndex(2));
  EXPECT_TRUE(owner.Take("selchange").empty());
  EXPECT_EQ(SelectedIndexes(ctl), (std::vector<int>{7}));
  EXPECT_EQ(ctl.GetSelectionOrder(Pos::ByIndex(7)), 4);
  EXPECT_EQ(ctl.GetAnchor(), -1);
}

TEST(OwnerCellCtlSelection, ShiftRangesGrowFromTheAnchor) {
  RecordingCellOwner owner;
  COwnerCellCtl ctl(3, 2, 3, &owner);
  Fill(ctl, 12);
  ctl.SelectItem(Pos::ByIndex(7), false);
  const int sevenOrder = ctl.GetSelectionOrder(Pos::ByIndex(7));
  owner.calls.clear();
  ctl.SelectRange(Pos::ByIndex(4));
  EXPECT_EQ(SelectedIndexes(ctl), (std::vector<int>{4, 5, 6, 7}));
  EXPECT_LT(ctl.GetSelectionOrder(Pos::ByIndex(6)), ctl.GetSelectionOrder(Pos::ByIndex(5)));
  EXPECT_LT(ctl.GetSelectionOrder(Pos::ByIndex(5)), ctl.GetSelectionOrder(Pos::ByIndex(4)));
  EXPECT_EQ(owner.Take("selchange"), (std::vector<std::string>{"selchange 6", "selchange 5", "selchange 4"}));
  EXPECT_EQ(ctl.GetCaret(), 4);

  ctl.SelectRange(Pos::ByIndex(9));
  EXPECT_EQ(SelectedIndexes(ctl), (std::vector<int>{7, 8, 9}));
  EXPECT_EQ(ctl.GetSelectionOrder(Pos::ByIndex(7)), sevenOrder);
  EXPECT_EQ(owner.Take("selchange"), (std::vector<std::string>{"selchange 4", "selchange 5", "selchange 6",
                                                               "selchange 8", "selchange 9"}));
  EXPECT_EQ(ctl.GetAnchor(), 7);
}

TEST(OwnerCellCtlSelection, ARangeFromADeselectedAnchorRestartsAtTheLastSelectedItem) {
  RecordingCellOwner owner;
  // Items 3 and 9 selected; the anchor 5 taken out by a Ctrl-click.
  COwnerCellCtl ctl(3, 2, 3, &owner);
  Fill(ctl, 12);
  ctl.SelectItem(Pos::ByIndex(5), false);
  ctl.SetItemSelected(Pos::ByIndex(3), true);
  ctl.SetItemSelected(Pos::ByIndex(9), true);
  ctl.SetItemSelected(Pos::ByIndex(5), false);
  ASSERT_EQ(ctl.GetAnchor(), 5);
  owner.calls.clear();
  ctl.SelectRange(Pos::ByIndex(6));
  EXPECT_EQ(owner.Take("selchange"), (std::vector<std::string>{"selchange 3", "selchange 9", "selchange 9",
                                                               "selchange 8", "selchange 7", "selchange 6"}));
  EXPECT_EQ(ctl.GetAnchor(), 9);
  EXPECT_EQ(ctl.GetCaret(), 6);
  EXPECT_EQ(SelectedIndexes(ctl), (std::vector<int>{6, 7, 8, 9}));
}

TEST(OwnerCellCtlSelection, ClearingReportsOnlyWithTheEmptySelectionStyle) {
  for (int style : {3, 3 | 8}) {
    RecordingCellOwner owner;
    COwnerCellCtl ctl(3, 2, style, &owner);
    Fill(ctl, 4);
    ctl.SelectItem(Pos::ByIndex(1), false);
    owner.calls.clear();
    ctl.SelectItem(Pos::ById(77), false);
    EXPECT_EQ(ctl.GetSelectedCount(), 0);
    EXPECT_EQ(ctl.GetAnchor(), 1);
    EXPECT_EQ(owner.Take("selchange"),
              (style & 8) ? std::vector<std::string>{"selchange -1"} : std::vector<std::string>{});
    // An index past the items is no item either: it never enters the selection.
    ctl.SelectItem(Pos::ByIndex(50), true);
    EXPECT_TRUE(ctl.GetFirstSelected().IsNull());
    EXPECT_EQ(ctl.GetTopIndex(), 0);
  }
}

TEST(OwnerCellCtlLayout, SetLayoutMovesTheTopToThePageOfTheCaret) {
  RecordingCellOwner owner;
  COwnerCellCtl ctl(4, 3, 3, &owner);
  Fill(ctl, 30);
  ctl.SelectItem(Pos::ByIndex(13), false);
  owner.calls.clear();
  ctl.SetLayout(2, 2);
  EXPECT_EQ(ctl.GetTopIndex(), 12);
  EXPECT_EQ(ctl.GetPageSize(), 4);
  EXPECT_EQ(owner.Take("top"), (std::vector<std::string>{"top 12"}));
  ctl.SetLayout(2, 2);
  EXPECT_TRUE(owner.Take("top").empty());
  ctl.SetLayout(0, 0);  // refused as a zero page; one cell instead of a division by zero
  EXPECT_EQ(ctl.GetPageSize(), 1);
}

}  // namespace
