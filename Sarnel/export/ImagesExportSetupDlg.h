// "Images Export Setup": file naming, format and depth, size and resolution, tone curve, sharpening and
// the transparency colour of the image export. Changes the settings only on OK.
#pragma once

#include "ColourPicker.h"
#include "ImageExportSettings.h"
#include "MenuListCtl.h"

#include "classlib/ClassLib.h"

class CTheDocument;

class CImagesExportSetupDlg : public CDialog {
 public:
  CImagesExportSetupDlg(CTheDocument* document, CWnd* parent = nullptr);

  // The example file name for a prefix, digit count (clamped into 1..9), postfix and extension; the dot is
  // shown even without an extension.
  static CString ExampleName(const CString& prefix, int width, const CString& postfix,
                             const CString& extension);

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnOK() override;

  DECLARE_MESSAGE_MAP()

 private:
  void OnNameChange();
  void OnNamingChoice();
  void OnSizeChoice();
  void OnSharpen();
  void OnTransparency();
  void OnLUTEditor();
  void FillLUTList(const CString& wanted);
  CString SelectedLUT() const;
  void Enable(int id, bool enable);

  CTheDocument* document;
  ImageExportSettings& settings;
  int naming = 1;
  CString prefix;
  int width = 1;
  CString postfix;
  CString extension;
  int depth = 0;
  int sizeChoice = 0;
  int sizeX = 100;
  int sizeY = 100;
  int dpi = 75;
  int sharpenOn = 0;
  int strength = 50;
  int transparency = 0;
  CMenuListCtl kernels;
  CColourPicker colour;
};
