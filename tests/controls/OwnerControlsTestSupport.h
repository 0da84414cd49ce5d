// What the owner-drawn control tests share: a parent window that records the notifications it
// receives, a message pump with a timeout, and an owner that records every call it gets.
#pragma once

#include "OwnerCellCtl.h"

#include "classlib/ClassLib.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

class RecordingParent : public CWnd {
 public:
  std::vector<int> codes;
  std::vector<UINT_PTR> ids;
  void Open();

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// Dispatches this thread's messages until done() or the timeout; false on timeout.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000);
void PumpFor(DWORD ms);

// Records every cell-grid owner call as a short text; drawing answers FALSE in mode 1 for the
// indexes in unfinished.
class RecordingCellOwner : public COwnerCellCtlOwner {
 public:
  std::vector<std::string> calls;
  std::vector<std::string> draws;  // "index:mode" for cells with an item
  std::set<int> unfinished;
  std::set<int> failAtIdle;  // these throw when drawn at idle time
  bool callDefaults = true;

  void OnDeleteItemData(COwnerCellCtl* ctl, LPARAM data) override;
  BOOL OnDrawCell(COwnerCellCtl* ctl, CDC* dc, int index, const CRect& cell, const CRect& clip,
                  int mode) override;
  int OnCompareItems(COwnerCellCtl* ctl, int index1, LPARAM data1, int index2, LPARAM data2) override;
  void OnCellLButtonDown(COwnerCellCtl* ctl, int index, const CRect& cell, UINT flags, int x, int y) override;
  void OnCellMouseWheel(COwnerCellCtl* ctl, int index, const CRect& cell, UINT flags, short delta, int x,
                        int y) override;
  void OnActivateItem(COwnerCellCtl* ctl, int index) override;
  void OnSelectionChanged(COwnerCellCtl* ctl, int index) override;
  void OnTopChanged(COwnerCellCtl* ctl) override;

  std::vector<std::string> Take(const std::string& prefix);
};

std::string Text(const char* what, int value);
