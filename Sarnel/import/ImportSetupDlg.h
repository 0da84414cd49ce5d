// The set-up dialogs of the two import sources: the quarter turn, the mirrors, the tone curve and the
// sharpening of their images; the disk source adds how an imported file is recorded. OK stores into
// the source's settings, Cancel leaves them as they were.
#pragma once

#include "ImageFromDiskSettings.h"
#include "ImagesFromHotSettings.h"
#include "MenuListCtl.h"

class CImportSetupDlg : public CDialog {
 public:
  CImportSetupDlg(UINT templateId, ImportProcessingChoice& choice, CWnd* parent);

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  afx_msg void OnSharpen();
  afx_msg void OnLUTEditor();
  DECLARE_MESSAGE_MAP()

  // Fills the tone-curve box: "[name]" for none, then one entry per record of the list.
  void FillLUTs(const CString& selectedName);
  void EnableSharpening();

  ImportProcessingChoice& choice;
  CMenuListCtl kernel;
};

class CImagesFromDiskSetupDlg : public CImportSetupDlg {
 public:
  explicit CImagesFromDiskSetupDlg(CWnd* parent = nullptr,
                                   ImageFromDiskSettings& settings = ImageFromDiskSettings::Instance());

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  afx_msg void OnReference();
  DECLARE_MESSAGE_MAP()

 private:
  void EnableRecording();
  ImageFromDiskSettings& settings;
};

class CImagesFromHotSetupDlg : public CImportSetupDlg {
 public:
  explicit CImagesFromHotSetupDlg(CWnd* parent = nullptr,
                                  ImagesFromHotSettings& settings = ImagesFromHotSettings::Instance());
};
