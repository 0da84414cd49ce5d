// The "Color Management" sheet: colour management on or off and the rendering intent (Basics), and the
// colour space of the open job's images with the default for new jobs (Bitmaps). Accepting it writes the
// settings and the job's colour space, then lets the drawing layer drop what it cached.
#pragma once

#include <string>
#include <vector>

#include "ColorSpaceList.h"
#include "classlib/ClassLib.h"

namespace zvk {

class CColorManagementDlg;

class CColorManagementBasicsPpg : public CPropertyPage {
 public:
  CColorManagementBasicsPpg();
  bool enabled = false;
  bool softProofing = false;
  int intent = 0;
  CColorManagementDlg* sheet = nullptr;

 protected:
  BOOL OnInitDialog() override;
  BOOL OnApply() override;
  afx_msg void OnEnable();
  DECLARE_MESSAGE_MAP()

 private:
  void EnableControls();
};

class CColorManagementBitmapsPpg : public CPropertyPage {
 public:
  using Err = ProfileEntryError;
  CColorManagementBitmapsPpg();
  // The job's colour space, read before the sheet opens.
  void ReadJobState();
  // What the page chose: id 0 for nothing; changed when it differs from the job's.
  int chosenId = 0;
  std::string chosenPath;
  bool changed = false;
  CColorManagementDlg* sheet = nullptr;

 protected:
  BOOL OnInitDialog() override;
  BOOL OnApply() override;
  afx_msg void OnSelChange();
  afx_msg void OnSetDefault();
  afx_msg void OnDrawItem(int id, LPDRAWITEMSTRUCT item);
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()

 private:
  void FillList();
  int AddItem(const ColorSpaceEntry& entry, int at = -1);
  const ColorSpaceEntry* EntryAt(int item) const;
  bool Selectable(int item) const;
  void Select(int item);
  // Browses for a profile; the item to select, or -1 to go back to the previous one.
  int Browse();
  void ShowStatus();

  int jobState_ = 0;
  bool loadError_ = false;
  bool hasEmbedded_ = false;
  ColorSpaceEntry embedded_;
  std::vector<ColorSpaceEntry> entries_;
  int selected_ = -1;
  HICON warning_ = nullptr;
};

class CColorManagementDlg : public CPropertySheet {
 public:
  explicit CColorManagementDlg(CWnd* parent = nullptr);
  INT_PTR DoModal() override;
  // The sheet-wide apply, run by the last page the operator opened; true lets the sheet close.
  bool ApplyAll(int pageIndex);

  CColorManagementBasicsPpg basics;
  CColorManagementBitmapsPpg bitmaps;
};

// Runs the sheet; true when it was closed with OK.
bool ShowColorManagementDialog(CWnd* parent);

// An open-file dialog for a profile, starting in the colour directory when the path is relative or empty.
bool BrowseColorProfile(std::string& path, HWND parent);

}  // namespace zvk
