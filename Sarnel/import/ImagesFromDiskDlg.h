// "Images From Disk": the modeless dialog of the disk import. The operator fills a list of files,
// unticks the unwanted ones and starts a run; a worker loads each file and hands it over, the dialog
// adds it to the job, and after the run writes the identifiers read from the files into the new
// images. Pausing keeps the next image waiting until importing resumes.
#pragma once

#include "EventSink.h"
#include "GridCtrl.h"
#include "ImagesFromDiskThread.h"
#include "ImportFileNames.h"
#include "ImportPreviewCtl.h"
#include "ImportedImage.h"

#include <atomic>
#include <map>
#include <memory>
#include <vector>

class CTheDocument;

class CImagesFromDiskDlg : public CDialog, public EventSink {
 public:
  // Creates the dialog window at once (hidden until shown).
  CImagesFromDiskDlg(CTheDocument& document, CWnd* parent);
  ~CImagesFromDiskDlg() override;

  // A run is going while its worker has not ended.
  bool IsRunning() const;
  // Adds one row per file, or re-ticks the row a path already has and gives it the new number.
  void AddFiles(const std::vector<ImportCandidate>& files, const CString& commonFolder);
  int GetRowCount() const;
  CString GetRowPath(int row) const;
  int32_t GetRowNumber(int row) const;
  bool IsRowTicked(int row) const;
  COLORREF GetRowTextColour(int row) const;
  COLORREF GetRowBackColour(int row) const;
  void SetRowTicked(int row, bool ticked);
  // The images the current or last run placed in the job.
  int32_t GetPlacedCount() const { return placedCount; }
  CImportPreviewCtl& GetPreview() { return preview; }

  int OnEvent(EventSource* source, Event* event) override;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override;
  afx_msg void OnStart();
  afx_msg void OnStop();
  afx_msg void OnPause();
  afx_msg void OnHide();
  afx_msg void OnSetup();
  afx_msg void OnEmptyList();
  afx_msg void OnAddDirectory();
  afx_msg void OnAddMask();
  afx_msg void OnAddSelected();
  afx_msg void OnOrder();
  afx_msg void OnUseExif();
  afx_msg void OnDestroy();
  afx_msg void OnGridClick(NMHDR* header, LRESULT* result);
  afx_msg void OnGridDoubleClick(NMHDR* header, LRESULT* result);
  afx_msg LRESULT OnWorkerFile(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnWorkerPercent(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnWorkerQuestion(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnWorkerImage(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnWorkerDoneFile(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnWorkerFinished(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnWorkerStopped(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  struct AddedImage {
    CString id;
    ImportTagTexts texts;
  };

  void SetUpGrid();
  void UpdateButtons();
  int FindRow(const CString& path) const;
  void RemoveRow(int row);
  void ToggleRow(int row);
  void SetRowColours(int row, COLORREF back, COLORREF text);
  void StopRun();
  void RemovePostedWorkerMessages();
  void AddImage(const std::shared_ptr<ImportedImage>& image);
  void EndRun(bool finished);
  void WriteTagTexts();

  CTheDocument& document;
  CGridCtrl grid;
  CImportPreviewCtl preview;
  std::map<CString, int> rowOfPath;  // upper-cased path -> row
  CEvent stopEvent{FALSE, TRUE};
  CEvent doneEvent{TRUE, TRUE};
  CEvent answerEvent{FALSE, TRUE};
  std::atomic<int> answerCode{IDIGNORE};
  std::shared_ptr<ImportedImage> pending;  // waiting while importing is paused
  std::shared_ptr<ImportedImage> adding;   // being added to the job
  std::vector<AddedImage> added;
  int32_t placedCount = 0;
  // A run that ended while an image was still being added ends once that image is in.
  bool endWaiting = false;
  bool endFinished = false;
};
