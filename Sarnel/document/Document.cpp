// The document object: construction, states, events, the command map and the window title.
#include "TheDocument.h"

#include "DocumentEvents.h"
#include "DocumentText.h"
#include "HandlerFrame.h"
#include "JobFileOptions.h"

#include "resource.h"

IMPLEMENT_DYNCREATE(CTheDocument, CDocument)

BEGIN_MESSAGE_MAP(CTheDocument, CDocument)
  ON_COMMAND(ID_FILE_NEW, &CTheDocument::OnFileNew)
  ON_COMMAND(32820, &CTheDocument::OnFileNewFromFile)
  ON_COMMAND(ID_FILE_OPEN, &CTheDocument::OnFileOpen)
  ON_COMMAND(ID_FILE_SAVE, &CTheDocument::OnFileSave)
  ON_COMMAND(ID_FILE_SAVE_AS, &CTheDocument::OnFileSaveAs)
  ON_COMMAND(ID_FILE_CLOSE, &CTheDocument::OnFileClose)
  ON_COMMAND(32821, &CTheDocument::OnFileCloseCompact)
  ON_COMMAND(32825, &CTheDocument::OnProperties)
  ON_COMMAND(32832, &CTheDocument::OnNotes)
  ON_COMMAND(33002, &CTheDocument::OnExportImages)
  ON_UPDATE_COMMAND_UI(ID_FILE_SAVE, &CTheDocument::OnUpdateNeedsJob)
  ON_UPDATE_COMMAND_UI(ID_FILE_SAVE_AS, &CTheDocument::OnUpdateNeedsJob)
  ON_UPDATE_COMMAND_UI(ID_FILE_CLOSE, &CTheDocument::OnUpdateNeedsJob)
  ON_UPDATE_COMMAND_UI(32821, &CTheDocument::OnUpdateNeedsJob)
  ON_UPDATE_COMMAND_UI(32812, &CTheDocument::OnUpdateNeedsJob)
  ON_UPDATE_COMMAND_UI(34001, &CTheDocument::OnUpdateNeedsJob)
  ON_UPDATE_COMMAND_UI(32825, &CTheDocument::OnUpdateNeedsJob)
  ON_UPDATE_COMMAND_UI(32832, &CTheDocument::OnUpdateNeedsJob)
  ON_UPDATE_COMMAND_UI(33002, &CTheDocument::OnUpdateNeedsJob)
  ON_UPDATE_COMMAND_UI(32808, &CTheDocument::OnUpdateNeedsJob)
  ON_UPDATE_COMMAND_UI(32822, &CTheDocument::OnUpdateNeedsJob)
  ON_UPDATE_COMMAND_UI(32828, &CTheDocument::OnUpdateNeedsJob)
  ON_UPDATE_COMMAND_UI(35292, &CTheDocument::OnUpdateNeedsJob)
END_MESSAGE_MAP()

CTheDocument::CTheDocument() {
  aspectRatios.SetDefaults();
  draftSize = GetJobFileOptions().DefaultDraftSize;
}

CTheDocument::~CTheDocument() {
  ResetColorProfile(-2);
  ReleaseStorage();
}

void CTheDocument::ReleaseStorage() {
  CSingleLock lock(&imageStorageLock, TRUE);
  if (storage != nullptr) {
    storage->Release();
    storage = nullptr;
  }
}

CString CTheDocument::GetDisplayName() const {
  if (!open) return CString();
  if (GetJobFileOptions().FileOnNew || !jobPath.IsEmpty()) return jobPath;
  return ResourceText(IDS_UNTITLED);
}

void CTheDocument::Freeze() {
  if (++freezeCount == 1) {
    FileFreezeEvent event;
    FireEvent(event);
  }
}

bool CTheDocument::Unfreeze() {
  if (--freezeCount == 0) {
    FileUnfreezeEvent event;
    FireEvent(event);
    return true;
  }
  return false;
}

void CTheDocument::FireEvent(Event& event) { Fire(&event); }

void CTheDocument::OnUpdateNeedsJob(CCmdUI* cmdUI) { cmdUI->Enable(open ? TRUE : FALSE); }

void CTheDocument::SetMainWindowTitle() {
  CWnd* main = AfxGetMainWnd();
  if (main == nullptr || !::IsWindow(AfxSafeHwnd(main))) return;
  CString title;
  title.LoadString(IDS_PELLORIN);
  CString name = GetDisplayName();
  if (!name.IsEmpty()) title += CString(" - ") + name;
  main->SetWindowText(title);
}
