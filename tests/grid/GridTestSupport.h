// A top-level test window that records the grid's notifications, and a grid inside it.
#pragma once

#include "GridCtrl.h"

#include <memory>
#include <vector>

namespace gridtest {

struct Record {
  int code;
  int row;
  int col;
  int prevRow;
  int prevCol;
};

class NotifyParent : public CWnd {
 public:
  NotifyParent();
  ~NotifyParent() override;
  std::vector<Record> records;
  std::vector<UINT> commands;
  // Codes in order, optionally only those equal to `only`.
  std::vector<int> Codes() const;
  int Count(int code) const;

 protected:
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
};

NotifyParent& SharedParent();

// A parent with a 4-column, 1+5-row grid of 300 x 200 pixels, fixed row 0, fixed column 0.
struct Fixture {
  Fixture(int rows = 6, int cols = 4, int fixedRows = 1, int fixedCols = 1);
  ~Fixture();
  NotifyParent& parent;
  CGridCtrl* grid;
  void Pump();
  void Click(int row, int col, UINT flags = 0);
  CPoint CellCentre(int row, int col);
};

}  // namespace gridtest
