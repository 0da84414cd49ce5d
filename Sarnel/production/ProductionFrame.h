// The production window: the main frame's first screen. It holds the tool bar in a rebar and the
// image grid view, offers every command to the view first and switches the view's updates with
// the screen's activation.
#pragma once

#include "ChildFrame.h"
#include "IndividualImagesView.h"

#include "ImagesImportPanelDlg.h"

#include "classlib/ClassLib.h"

#include <memory>

class CTheDocument;
class CImagesFromDiskDlg;

class CProductionFrame : public CChildFrame {
  DECLARE_DYNAMIC(CProductionFrame)

 public:
  explicit CProductionFrame(CTheDocument* document);
  ~CProductionFrame() override;

  UINT GetMenuResourceId() override;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
  void OnActivateScreen() override;
  void OnDeactivateScreen() override;

  CImagesView* GetImagesView() { return &view; }
  CImagesImportPanelDlg& GetImportPanel() { return importPanel; }
  CImagesFromDiskDlg* GetDiskImport() { return diskImport.get(); }
  CReBar& GetReBar() { return reBar; }
  CToolBar& GetToolBar() { return toolBar; }

 protected:
  afx_msg int OnCreate(LPCREATESTRUCT lpcs);
  afx_msg void OnDestroy();
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg void OnSetFocus(CWnd* previous);
  afx_msg void OnTakePicture();
  afx_msg void OnUpdateTakePicture(CCmdUI* cmdUI);
  afx_msg void OnImportFromDisk();
  afx_msg void OnUpdateImportFromDisk(CCmdUI* cmdUI);
  afx_msg void OnImportPanel();
  afx_msg void OnUpdateImportPanel(CCmdUI* cmdUI);
  DECLARE_MESSAGE_MAP()

 private:
  bool CreateToolBar();
  bool CreateImportPanel();
  void LayoutView();

  CTheDocument* document;
  CReBar reBar;
  CImageList toolImages;
  CImageList toolImagesDisabled;
  CIndividualImagesView view;
  CImagesImportPanelDlg importPanel;
  std::unique_ptr<CImagesFromDiskDlg> diskImport;
};
