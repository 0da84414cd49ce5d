// The job's Properties sheet: how its images are numbered and how large its stored bitmaps may
// be. The caller fills the values, runs the sheet and applies them after OK; the sheet changes
// nothing else, except that "Set as default" stores the preview size for new jobs at once.
#pragma once

#include "DetailsFieldsDlg.h"

#include <cstdint>

// The largest size in kilobytes that still fits the job's and the option's int32 byte counts.
constexpr int MaxBitmapKilobytes = INT32_MAX / 1024;

// Page 181: sequential numbering or an index.
class CPropertiesGeneralPpg : public CDetailsFieldsDlg::CMyPropertyPage {
 public:
  CPropertiesGeneralPpg();
  int numbering = 0;  // 0 sequentially numbered, 1 indexed

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
};

// Page 182: the stored size of imported bitmaps (0 keeps the original) and of the preview.
class CPropertiesSizesPpg : public CDetailsFieldsDlg::CMyPropertyPage {
 public:
  CPropertiesSizesPpg();
  int storedSize = 0;  // kilobytes, 0: original size
  int previewSize = 0;

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  afx_msg void OnSizeChoice();
  afx_msg void OnSetDefault();
  DECLARE_MESSAGE_MAP()

 private:
  void EnableStoredSize();
  int choice = 0;  // 0 keep the original size, 1 adjust to the box
};

class CPropertiesDlg : public CPropertySheet {
 public:
  explicit CPropertiesDlg(CWnd* parent = nullptr);

  bool indexed = false;
  bool primaryFirst = false;  // passed through unchanged
  int32_t storedSize = 0;     // kilobytes; 0 keeps imported bitmaps at their original size
  int32_t previewSize = 0;    // kilobytes
  CString text;               // passed through unchanged

  INT_PTR DoModal() override;

  CPropertiesGeneralPpg general;
  CPropertiesSizesPpg sizes;
};
