// The image grid of the production window: one cell per job image, kept in step with the job
// through its events, owning the selection every image command works on and answering the other
// windows' questions about it. Which images it lists is up to its subclass.
#pragma once

#include "ArrangeSettings.h"
#include "EventSink.h"
#include "ImageBitmap.h"
#include "NumericStringLess.h"
#include "OwnerCellCtl.h"
#include "SharedStringList.h"

#include "classlib/ClassLib.h"

#include <exception>
#include <map>
#include <set>
#include <string>

class CTheDocument;
class EventSource;

class CImagesView : public CView, public COwnerCellCtlOwner, public EventSink {
  DECLARE_DYNAMIC(CImagesView)

 public:
  // The view's cell grid; its focus shows on the view's focus marker.
  class CListCtl : public COwnerCellCtl {
   public:
    CListCtl(CImagesView* view, COwnerCellCtlOwner* owner);
    void FocusGained(CWnd* previous) override;
    void FocusLost(CWnd* next) override;

   protected:
    // The mouse may be taken away without a release (another window, a dialog): images queued
    // during the press are added then too.
    afx_msg void OnCaptureChanged(CWnd* next);
    DECLARE_MESSAGE_MAP()

   private:
    CImagesView* view;
  };

  // Cell colours kept in the view's section.
  struct Colours {
    COLORREF voidPlace = 0xE0E0E0;
    COLORREF selected = 0x909090;
    COLORREF background = 0xD0D0D0;
  };

  // Posted to report a failure of painting or of a handler after it returned.
  static constexpr UINT ReportFailureMessage = WM_USER + 0x1A0;

  CImagesView();
  ~CImagesView() override;

  // The view as a child of the production window; appEvents is the program-wide source (may be
  // null), the job's source is the document.
  BOOL CreateView(CWnd* parent, UINT id, CTheDocument* document, EventSource* appEvents);

  virtual void SetUpdatesEnabled(bool enabled);
  virtual SharedStringList GetImageList() = 0;
  virtual bool IncludeImage(const char* id);
  virtual bool OnRemoveImages(const SharedStringList& ids);
  virtual CString GetImageCaption(const char* id);
  virtual int CompareImages(const char* a, const char* b);
  virtual void OnDocumentOpened();
  virtual void OnDocumentClosed();
  virtual void RebuildImageList();

  int SetToolMode(int mode);
  int GetToolMode() const { return toolMode; }
  void SelectImage(const char* id);
  void SelectImages(const SharedStringList& ids);
  void SelectAllImages(bool select);
  void RedrawImage(const char* id);
  int AddImageCell(const char* id);
  void RemoveImageCell(const char* id);
  bool HasImageCell(const char* id) const { return cells.count(id) != 0; }
  int GetImageCellId(const char* id) const;
  CString GetCellImageId(int index) const;
  void FlushPendingAdds();
  // Lays out the grid's columns and rows from the arrangement and the tool.
  void ApplyArrangement();

  CListCtl& GetGrid() { return grid; }
  CTheDocument* GetTheDocument() const { return document; }
  ArrangeSettings& GetArrangement() { return arrangement; }
  const Colours& GetColours() const { return colours; }
  // The view's profile section: the program's settings section and "\ImageList".
  static const char* ProfileSection();

  // Painting (cell painting file).
  BOOL OnDrawCell(COwnerCellCtl* ctl, CDC* dc, int index, const CRect& cell, const CRect& clip,
                  int mode) override;
  bool DrawCellImage(CDC* dc, const CRect& cell, const char* id, bool cachedOnly);
  void DrawCellCaption(CDC* dc, const CRect& band, const char* id);
  void DrawTagBox(CDC* dc, const CRect& cell, const char* id);
  // The shape the picture is framed in: the job's aspect ratio for its orientation, or in the crop
  // and chroma-key tools the image's own size.
  CSize GetFrameSize(int width, int height);
  // The picture's display bitmap; only one already decoded when cachedOnly.
  IBitmapPtr GetDisplayBitmap(const char* id, bool cachedOnly);

  // Owner callbacks.
  void OnDeleteItemData(COwnerCellCtl* ctl, LPARAM data) override;
  int OnCompareItems(COwnerCellCtl* ctl, int index1, LPARAM data1, int index2, LPARAM data2) override;
  void OnCellLButtonDown(COwnerCellCtl* ctl, int index, const CRect& cell, UINT flags, int x, int y) override;
  void OnCellLButtonUp(COwnerCellCtl* ctl, int index, const CRect& cell, UINT flags, int x, int y) override;
  void OnCellLButtonDblClk(COwnerCellCtl* ctl, int index, const CRect& cell, UINT flags, int x,
                           int y) override;
  void OnCellChar(COwnerCellCtl* ctl, UINT ch, UINT repeat, UINT flags) override;
  void OnClickSelect(COwnerCellCtl* ctl, UINT flags, int index) override;
  void OnSelectionChanged(COwnerCellCtl* ctl, int index) override;

  int OnEvent(EventSource* source, Event* event) override;

  // The selected ids in the order they were selected.
  SharedStringList GetSelectionInOrder() const;

  // The view's own commands; nothing goes on to the job from here (the frame does that).
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

 protected:
  void OnDraw(CDC*) override {}
  // The production window owns its view.
  void PostNcDestroy() override {}

  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg void OnDestroy();
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  afx_msg void OnSetFocus(CWnd* previous);
  afx_msg LRESULT OnReportFailure(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()

  void HandleEvent(EventSource* source, Event* event);
  void LayoutChildren();
  void AddImage(const char* id, bool follow);
  void AnswerSetRequest(class ImageSetRequestEvent& request);
  void SelectFromCommandLine(const CString& text);
  void SelectFromBarcode(const CString& text);
  void FireSelectionChange();
  void ShowFocusMarker(bool show);
  // Runs a handler that no command frame protects: a failure is kept and reported once, later,
  // by a posted message (never inside a paint).
  template <class Body>
  void Guarded(Body&& body) {
    try {
      body();
    } catch (...) {
      KeepFailure(std::current_exception());
    }
  }
  void KeepFailure(std::exception_ptr failure);

  CTheDocument* document = nullptr;
  EventSource* appEvents = nullptr;
  CToolBar bottomBar;
  CFont numberFont;
  CFont captionFont;
  CFont fileNameFont;
  CListCtl grid;
  CStatic focusMarker;
  HBITMAP focusBitmap = nullptr;
  bool chromaKeyAllowed = true;
  int toolMode = 0;
  bool updatesEnabled = false;
  bool rebuildPending = false;
  bool suppressNextClickSelect = false;
  bool reportSelection = true;
  bool batchRunning = false;
  ArrangeSettings arrangement;
  Colours colours;
  SharedStringList pendingAdds;
  bool pendingFollow = false;
  bool failureReportPending = false;
  std::exception_ptr pendingFailureException;
  std::map<CString, int, NumericStringLessOrder> cells;
};

// The grid's profile section; a test may place it elsewhere.
void SetImagesViewProfileSection(const char* section);
