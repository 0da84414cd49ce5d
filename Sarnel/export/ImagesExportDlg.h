// "Export images": writes the job's images, with every correction the operator made, as files into one
// folder. One run at a time on the user-interface thread, pumping messages between images so that Stop,
// repainting and the progress bars stay live.
#pragma once

#include "EventSink.h"
#include "ExportJob.h"
#include "ExportRender.h"
#include "ImageExportSettings.h"
#include "OwnerCtl.h"

#include "classlib/ClassLib.h"

#include <memory>

class CTheDocument;

class CImagesExportDlg : public CDialog, public EventSink {
 public:
  // The preview of the image being written.
  class CImageCtl : public COwnerCtl {
   public:
    ~CImageCtl() override;
    void SetBitmap(zvkImage::IBitmap* bitmap);
    zvkImage::IBitmap* GetBitmap() const { return bitmap; }
    void Draw(CDC* dc, const CRect& client, const CRect& clip) override;

   private:
    zvkImage::IBitmap* bitmap = nullptr;
  };

  // The save progress of the bitmap being written moves the file bar.
  class XBitmapEventsSink : public zvkImage::IBitmapEvents {
   public:
    explicit XBitmapEventsSink(CImagesExportDlg& dialog) : dialog(dialog) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives as long as the dialog
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE Reserved3() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE LoadProgress(LONG_PTR, long, long) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SaveProgress(LONG_PTR callerValue, long done, long total) override;

   private:
    CImagesExportDlg& dialog;
  };

  explicit CImagesExportDlg(CTheDocument* document, CWnd* parent = nullptr);
  // A run over another job than the document's.
  CImagesExportDlg(std::unique_ptr<ExportJob> job, CWnd* parent = nullptr);
  ~CImagesExportDlg() override;

  // The image as its file will hold it (see ExportRender.h for the steps).
  static IBitmapPtr RenderImage(zvkImage::IBitmap* source, zvkImage::IBitmap* mask,
                                zvkImage::IBitmap* background, const CropScale& crop,
                                const ExportRenderOptions& options) {
    return RenderExportImage(source, mask, background, crop, options);
  }
  // Writes the bitmap; true when the library answered S_OK. Raises E_POINTER for a null bitmap.
  bool SaveImage(const CString& path, zvkImage::IBitmap* bitmap, int32_t type, int32_t bits);

  int OnEvent(EventSource* source, Event* event) override { return 0; }

  // For checks: the state of the last run.
  int GetExportedCount() const { return exported; }
  bool IsRunning() const { return running; }

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnCancel() override;

  afx_msg void OnBrowse();
  afx_msg void OnSetup();
  afx_msg void OnStart();
  afx_msg void OnStop();
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()

 private:
  void EnableControls(bool running);
  void Run();
  // One image: its name, preview, working bitmap, render and save. False when the run is to end (Abort).
  bool ExportOne(const CString& id, const CString& folder, const ExportRenderOptions& output, int index,
                 int count);
  // Asks Abort/Retry/Ignore with a string filled with one text; the button pressed.
  int Ask(UINT stringId, const CString& insert);
  // Lets waiting messages and idle processing run; false when the window went away meanwhile.
  bool Breathe();
  DWORD AdviseProgress(zvkImage::IBitmap* bitmap);
  void UnadviseProgress(zvkImage::IBitmap* bitmap, DWORD cookie);

  std::unique_ptr<ExportJob> job;
  ImageExportSettings& settings;
  CProgressCtrl overallBar;
  CProgressCtrl fileBar;
  CString currentFile;
  CString path;
  CString status;
  CString result;
  int choice = -1;
  int includeOff = 0;
  bool stop = false;
  bool running = false;
  int exported = 0;
  SharedStringList selected;
  SharedStringList shown;
  CImageCtl preview;
  XBitmapEventsSink progressSink{*this};
  class ExportNamesWritten* names = nullptr;
};
