// The one document of the program: it owns the open job file, every collection of the job model and
// the job's event source. Its operations are spread over the Document*.cpp files, one per area.
#pragma once

#include "CInfoSource.h"
#include "EventSource.h"
#include "HandlerFrame.h"
#include "JobStorage.h"
#include "JobUsageRecord.h"

#include "AspectRatios.h"
#include "Backgrounds.h"
#include "ComObjectCache.h"
#include "Details.h"
#include "DetailsFields.h"
#include "DetailsTags.h"
#include "DetailsValues.h"
#include "FoldersList.h"
#include "Graphics.h"
#include "ImagesList.h"
#include "ItemRelationships.h"
#include "ItemsList.h"
#include "Masks.h"
#include "ObjectLinksManyMany.h"
#include "ObjectLinksOneMany.h"
#include "ObjectLinksOneOne.h"

#include "classlib/ClassLib.h"

#include <objbase.h>

#include <cstdint>

class Event;

// Where the job file's own failures are placed in their messages.
constexpr const char* DocumentFilePlace = "DocumentFile";

class CTheDocument : public CDocument, public EventSource, public CInfoSource {
    DECLARE_DYNCREATE(CTheDocument)

public:
    CTheDocument();
    // Does not close the job: no events, no temporary file deleted; the storage is released
    // without committing.
    ~CTheDocument() override;

    // ---- The job file. True = done; false = refused (busy, no job), cancelled or failed quietly;
    // every real failure throws CMyException.
    bool NewJob();
    bool NewJobFromFile(const char* sourcePath);
    // Closes an open job first (and stops when that is refused).
    bool OpenJob(const char* path, bool readOnly);
    // A read-only job goes to SaveAs; an unnamed one too (unless "FileOnNew" is on).
    bool Save();
    bool SaveAs();
    // Refused while the import worker runs (its storage must stay alive).
    bool CloseJob();
    bool CloseAndCompact();
    // Read every section of the open storage; a failure leaves every section empty.
    void LoadJob();
    // Write every section into the storage being saved and commit it. While a save runs, that
    // storage is a new file beside the job file (GetStorage returns it), which then replaces the
    // job file; the job file itself is never rewritten in place.
    void WriteJob();
    // The colour-space check of a job that has just been opened or created.
    void AfterOpen(bool quiet);

    bool IsOpen() const { return open; }
    bool IsReadOnly() const { return readOnly; }
    bool IsDirty() const { return dirty; }
    bool IsBusy() const { return busy; }
    bool IsIndexed() const { return indexed; }
    // Empty while no job is open; with "FileOnNew" the job path; otherwise the job path, or
    // "<untitled>" for a job that still lives in a temporary file.
    CString GetDisplayName() const;
    const CString& GetJobPath() const { return jobPath; }
    const CString& GetTemporaryPath() const { return temporaryPath; }

    void SetDirty(bool value = true) { dirty = value; }
    // Set by the image import while its worker writes into the job.
    void SetBusy(bool value) { busy = value; }

    void Freeze();
    // True when the count came back to 0.
    bool Unfreeze();
    int GetFreezeCount() const { return freezeCount; }

    // Announces an event to the job's subscribers.
    void FireEvent(Event& event);

    // ---- Storages and streams of the job (every section goes through these).
    IStorage* GetStorage() const { return storage; }
    // Opened for reading in a read-only job, for writing otherwise. A missing child is created when
    // create is set and the job is writable; any other failure throws.
    IStorage* OpenChildStorage(IStorage* parent, const char* name, bool create);
    IStream* OpenChildStream(IStorage* parent, const char* name, bool create);
    CCriticalSection& GetImageStorageLock() { return imageStorageLock; }

    // ---- Header and usage.
    const GUID& GetJobId() const { return jobId; }
    const CString& GetHeaderText() const { return headerText; }
    int32_t GetOpenCounter() const { return openCounter; }
    const JobUsageRecord& GetFirstSave() const { return firstSave; }
    const JobUsageRecord& GetLastSave() const { return lastSave; }

    // ---- Attributes.
    const CString& GetAttributeText(int index) const { return attributeTexts[index]; }
    void SetAttributeText(int index, const CString& text) { attributeTexts[index] = text; }
    const CString& GetTemplateFolder() const { return attributeTexts[1]; }
    void SetIndexed(bool value) { indexed = value; }
    bool IsPrimaryImageFirst() const { return primaryImageFirst; }
    void SetPrimaryImageFirst(bool value) { primaryImageFirst = value; }
    int32_t GetStoredBitmapSizeLimit() const { return storedBitmapSizeLimit; }
    void SetStoredBitmapSizeLimit(int32_t bytes) { storedBitmapSizeLimit = bytes; }
    int32_t GetDraftSize() const { return draftSize; }
    void SetDraftSize(int32_t bytes) { draftSize = bytes; }
    AspectRatios& GetAspectRatios() { return aspectRatios; }
    const CString& GetQueueText() const { return queueText; }

    // ---- The image list section.
    ImagesList& GetImages() { return images; }
    IStorage* OpenImagesStorage();
    void LoadImages();
    void SaveImages();
    void ClearImages();

    // ---- The detail layout (the field and tag sets).
    DetailsFields& GetFileFields() { return fileFields; }
    DetailsFields& GetFolderFields() { return folderFields; }
    DetailsFields& GetItemFields() { return itemFields; }
    DetailsFields& GetImageFields() { return imageFields; }
    DetailsTags& GetFolderTags() { return folderTags; }
    DetailsTags& GetItemTags() { return itemTags; }
    DetailsTags& GetImageTags() { return imageTags; }

    // ---- The save question and the File commands (each in the document's handler frame, ending
    // with the main window's title).
    // False means that the caller stops what it was doing.
    bool SaveModified();
    afx_msg void OnFileNew();
    afx_msg void OnFileNewFromFile();
    afx_msg void OnFileOpen();
    afx_msg void OnFileSave();
    afx_msg void OnFileSaveAs();
    afx_msg void OnFileClose();
    afx_msg void OnFileCloseCompact();
    afx_msg void OnUpdateNeedsJob(CCmdUI* cmdUI);
    // The open-by-path steps of the application's open-document operation; the document, or null.
    CTheDocument* OpenDocumentFile(const char* path);
    // "Pellorin", and " - " with the display name when there is one; only while the main window exists.
    void SetMainWindowTitle();

    // The job-level fields of text templates.
    bool GetField(const char* qualifier, const char* name, bool quoted, VARIANT* out) override;

private:
    // Runs a File command's body in the handler frame; the title is set unless the body returned
    // false (cancelled or refused).
    template <class Body>
    void RunFileCommand(Body&& body);

    // Clear steps of every section, in the fixed order.
    void ClearSections();
    void ReadHeader();
    void WriteHeader();
    void ReadUsage();
    void WriteUsage();
    void ReadAttributes();
    void WriteAttributes();
    // Writes the whole job into a new file beside target and commits it; the caller swaps it in.
    void WriteJobBeside(BesideFile& beside, int version);
    // Saves under the job's own path with the saving events and the busy indicator.
    bool SaveInPlace();
    // Saves the job onto its own path: written beside, then swapped in and reopened.
    void SaveToOwnPath();
    // Opens the job's file again for writing after it was replaced; on failure the job is closed.
    void ReopenAfterSwap(const CString& path);
    // Ends the job without saving when its storage is lost.
    void AbandonJob();
    void ReleaseStorage();
    // A new temporary file for an unnamed job, in "FilesPath" or the system's temporary folder.
    CString MakeTemporaryJobFile(int line);

    bool dirty = false;
    CString jobPath;
    CString temporaryPath;
    GUID jobId = {};
    CString headerText;
    JobUsageRecord firstSave;
    JobUsageRecord lastSave;
    int32_t openCounter = 0;
    bool open = false;
    bool readOnly = false;
    int32_t freezeCount = 0;
    IStorage* storage = nullptr;
    bool busy = false;

    ImagesList images;
    DetailsFields fileFields;
    DetailsFields folderFields;
    DetailsFields itemFields;
    DetailsFields imageFields;
    DetailsTags folderTags;
    DetailsTags itemTags;
    DetailsTags imageTags;
    DetailsValues jobValues;
    Details jobDetails;
    FoldersList folders;
    ItemsList items;
    ObjectLinksOneMany links;
    ObjectLinksOneMany linksImagesFolder;
    ObjectLinksOneOne linksFolderImage;
    ObjectLinksManyMany linksSubjects;
    ObjectLinksOneMany linksSubjectsHome;
    ItemRelationships linksSubjectsRelationships;
    ObjectLinksOneMany linksGroups;
    ObjectLinksOneMany linksComposites;
    Graphics graphics;
    ObjectLinksOneMany graphicsLinks;
    Masks masks;
    ObjectLinksOneMany masksLinks;
    ComObjectCache maskDraftCache{16};
    ComObjectCache maskFullCache{16};
    Backgrounds backgrounds;
    ObjectLinksOneMany backgroundsLinks;

    CString notes;
    bool notesChanged = false;

    CString attributeTexts[4];
    bool indexed = false;
    bool primaryImageFirst = false;
    int32_t storedBitmapSizeLimit = 0;
    int32_t draftSize = 524288;
    CString queueText;
    CCriticalSection imageStorageLock;
    AspectRatios aspectRatios;

    DECLARE_MESSAGE_MAP()
};

template <class Body>
void CTheDocument::RunFileCommand(Body&& body) {
    bool setTitle = true;
    RunInHandlerFrame([&] { setTitle = body(); });
    if (setTitle) SetMainWindowTitle();
}

// The job-file dialog: an open or save dialog with the job-file filter in the folder "FilesPath";
// a save without extension gets ".plj". Remembers the chosen folder in "FilesPath".
bool BrowseJobFile(CWnd* parent, const char* caption, bool saveMode, CString& path);

