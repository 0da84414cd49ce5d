// The import panel: a small bar that pauses and resumes importing, makes the views follow each new
// image and, for sequentially numbered jobs, says where new images go (to the end, inserted at or
// replacing from the selected image, optionally in reverse order). Its choices live in the
// process-wide import values, which the document reads when it places an image.
#pragma once

#include "EventSink.h"

#include "classlib/ClassLib.h"

class CTheDocument;

class CImagesImportPanelDlg : public CDialogBar, public EventSink {
 public:
  explicit CImagesImportPanelDlg(CTheDocument& document);
  ~CImagesImportPanelDlg() override;

  BOOL Create(CWnd* parent, UINT templateId, UINT style, UINT id);
  int OnEvent(EventSource* source, Event* event) override;
  // The controls keep their own enabled state: no command routing greys them.
  void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;

 protected:
  afx_msg void OnPause();
  afx_msg void OnFollow();
  afx_msg void OnPlacement();
  DECLARE_MESSAGE_MAP()

 private:
  void ReadControls();
  void UpdateControls();
  // The one selected image's id, or empty when not exactly one image is selected (or nobody answers).
  CString SelectedImage();

  CTheDocument& document;
  bool pause = false;
  bool follow = false;
  bool reverse = false;
  int placement = -1;
};
