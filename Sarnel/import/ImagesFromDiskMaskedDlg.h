// "Import From Disk Masked": the folder and the numbered file-name mask (prefix, number width, suffix,
// extension) of a disk import, with the range of image numbers to take. OK stores into the settings.
#pragma once

#include "ImageFromDiskSettings.h"

class CImagesFromDiskMaskedDlg : public CDialog {
 public:
  explicit CImagesFromDiskMaskedDlg(CWnd* parent = nullptr,
                                    ImageFromDiskSettings& settings = ImageFromDiskSettings::Instance());

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  afx_msg void OnMaskChange();
  afx_msg void OnBrowse();
  DECLARE_MESSAGE_MAP()

 private:
  // Blank reads as 0, and so does a text that is no number.
  int32_t ReadNumber(int id) const;
  void ShowNumber(int id, int32_t value);
  CString ReadText(int id) const;

  ImageFromDiskSettings& settings;
  bool filling = false;
};
