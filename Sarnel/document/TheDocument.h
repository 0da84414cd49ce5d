// The one document of the program: it owns the open job file, every collection of the job model and
// the job's event source. Its operations are spread over the Document*.cpp files, one per area.
#pragma once

#include "CInfoSource.h"
#include "EventSource.h"
#include "HandlerFrame.h"
#include "IcmJob.h"
#include "JobStorage.h"
#include "JobUsageRecord.h"

#include "AspectRatios.h"
#include "ChromaKeyUndoRing.h"
#include "Backgrounds.h"
#include "ComObjectCache.h"
#include "ImageBitmapCache.h"
#include "Details.h"
#include "DetailsFields.h"
#include "DetailsSchema.h"
#include "DetailsTags.h"
#include "DetailsValues.h"
#include "FoldersList.h"
#include "Graphics.h"
#include "ImageBitmap.h"
#include "ImportBitmaps.h"
#include "ImportStoreThread.h"
#include "ImagesList.h"
#include "ItemRelationships.h"
#include "ItemsList.h"
#include "Masks.h"
#include "ObjectLinksManyMany.h"
#include "ObjectLinksOneMany.h"
#include "ObjectLinksOneOne.h"
#include "SharedStringList.h"

#include "classlib/ClassLib.h"

#include <objbase.h>

#include <cstdint>
#include <memory>
#include <set>
#include <vector>

class Event;

// Where the job file's own failures are placed in their messages.
constexpr const char* DocumentFilePlace = "DocumentFile";

class CTheDocument : public CDocument, public EventSource, public CInfoSource, public zvk::IcmJob {
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
  // A read-only job goes to SaveAs; an unnamed one too.
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

  // ---- The image storages: one per image, with its full and draft bitmap streams. Every call
  // holds the image-storage lock; the import worker calls WriteImageBitmaps from its own thread.
  // The bitmaps an import stores of a picture, made on any thread: the disk import makes them while the
  // images before are stored. The caller's picture stays as it was, unless it is given up: then it may
  // become the full bitmap.
  ImportBitmaps MakeImportBitmaps(zvkImage::IBitmap* bitmap, bool linked, const ImageProcessing& processing,
                                  bool pictureGivenUp = false) const;
  // Writes them as a new image's storage. The draft goes back to the caller.
  IBitmapPtr WriteImageBitmaps(const CString& id, const ImportBitmaps& bitmaps);
  IBitmapPtr WriteImageBitmaps(const CString& id, bool linked, const ImageProcessing& processing,
                               zvkImage::IBitmap* bitmap) {
    return WriteImageBitmaps(id, MakeImportBitmaps(bitmap, linked, processing));
  }
  // New bitmaps of an existing image, swapped in as RewriteImageBitmaps does.
  IBitmapPtr ReplaceImageBitmaps(const CString& id, bool linked, const ImageProcessing& processing,
                                 zvkImage::IBitmap* bitmap);
  // Replaces "@Bitmap-Final" and "@Bitmap-Draft" with the given bitmaps, stored as given (a null one
  // stays as it is). The new streams are written under temporary names and swapped in only when both
  // are complete: a failure leaves the image as it was.
  void RewriteImageBitmaps(const CString& id, zvkImage::IBitmap* finalBitmap, zvkImage::IBitmap* draft);
  IBitmapPtr ReadImageBitmap(const CString& id, bool wantFinal);
  // The draft an import makes of a picture, made of a picture the caller gives up: reduced to the job's
  // draft size and processed in place, without the sharpening, which is for output only.
  IBitmapPtr MakeImageDraft(zvkImage::IBitmap* picture, const ImageProcessing& processing);

  // ---- Image bitmaps for views and output.
  // Kinds: 0 the draft as stored, 1 corrected, 2 corrected or keyed, 3 and 4 the display pair of 1
  // and 2. Null for an empty slot or a failed derivation; a kind outside 0..4 raises E_UNEXPECTED.
  // The draft is read from the job on a cache miss only.
  IBitmapPtr GetImageBitmap(const char* id, int kind);
  IBitmapPtr FindCachedBitmap(const char* id, int kind);
  // The full image with every correction: its import processing (only the sharpening for a stored
  // bitmap, which holds the rest), the fine rotation, the chroma key and the colour correction. Null
  // for an empty slot, a missing bitmap or a failing turn or key.
  IBitmapPtr RenderImage(const char* id);
  // A linked image's outside file with its whole import processing.
  IBitmapPtr LoadLinkedImageBitmap(const char* id);
  CString GetLinkedImagePath(const char* id);
  // Sets a new bitmap object up as for a linked image and loads the file into it with the given bits
  // per pixel; false when the file cannot be read.
  bool LoadImageFile(zvkImage::IBitmap* bitmap, const CString& path, long bits);
  // Where a linked image's file is now: the stored path, else its name in the image search paths, next
  // to the job and in the job's "#images" folder; empty when none exists.
  CString ResolveImagePath(const char* name);
  ImageBitmapCache& GetImageBitmapCache() { return imageCache; }
  // The ordered image search folders (the application's "Paths" settings); none until set.
  void SetImageSearchFolders(const SharedStringList* folders) { imageSearchFolders = folders; }
  void DestroyImageStorage(const CString& id);
  // The storage of newId takes the name of listedId's (an empty newId leaves none); the old storage
  // goes aside first and is destroyed only when that succeeded, otherwise it is put back and the
  // failure thrown.
  void ReplaceImageStorage(const CString& listedId, const CString& newId);
  void CopyImageStorage(const CString& toId, const CString& fromId);

  // ---- Import of one image: its bitmaps are written by a worker while this thread pumps
  // messages, then the record is placed by the import settings (Indexed jobs by the number).
  struct StoredImage {
    CString id;  // empty when nothing was stored
    IBitmapPtr draft;
  };
  // The bitmap is released in every case; a failure is reported and leaves nothing behind. True when
  // the image was placed in the job.
  bool ImportImage(int32_t position, IBitmapPtr bitmap, const char* sourceName, bool linked,
                   const ImageProcessing* processing);
  // The same with the stored bitmaps made beforehand by MakeImportBitmaps of the same processing.
  bool ImportImage(int32_t position, ImportBitmaps bitmaps, const char* sourceName, bool linked,
                   const ImageProcessing* processing);
  // Either the bitmap or the bitmaps made of it are given.
  bool ImportStored(int32_t position, IBitmapPtr bitmap, const ImportBitmaps* made, const char* sourceName,
                    bool linked, const ImageProcessing* processing);
  // The worker's step: a new id and the image's bitmaps in the job, made first unless given.
  StoredImage StoreNewImage(zvkImage::IBitmap* bitmap, const ImportBitmaps* made, bool linked,
                            const ImageProcessing* processing);
  // A 0-based position, -1 for the end; an empty id places an empty slot.
  void InsertImageAt(int32_t position, const CString& id, const char* fileName, bool linked,
                     const ImageProcessing* processing);
  void AddImageIndexed(int32_t number, const CString& id, const char* fileName, bool linked,
                       const ImageProcessing* processing);
  void ReplaceImageAt(int32_t position, const CString& id, const char* fileName, bool linked,
                      const ImageProcessing* processing);

  // ---- Image queries (no events). Unknown ids throw E_INVALIDARG unless said otherwise.
  SharedStringList GetImageIds() const;
  int GetImageCount() const { return images.GetCount(); }
  // "@" and a number asks for an image number.
  bool HasImage(const char* id) const;
  int32_t GetImageNumber(const char* id) const;  // 0 when unknown
  CString GetImageIdByNumber(int32_t number) const;
  CString GetImageFileName(const char* id) const;  // empty when unknown
  // A linked image's file name with its extension (namePart) or its title; others as stored.
  CString GetImageFileNamePart(const char* id, bool namePart) const;
  bool IsImageEmpty(const char* id) const { return HasImageFlag(id, ImageStatus::EmptySlot); }
  bool GetImageFlag02(const char* id) const { return HasImageFlag(id, ImageStatus::Off); }
  bool GetImageFlag04(const char* id) const { return HasImageFlag(id, ImageStatus::Tagged); }
  bool GetImageFlag08(const char* id) const { return HasImageFlag(id, ImageStatus::Duplicate); }
  bool IsImageLinked(const char* id) const { return HasImageFlag(id, ImageStatus::Linked); }
  bool IsImageMaskOn(const char* id) const { return HasImageFlag(id, ImageStatus::MaskOn); }
  bool IsImageBackgroundOn(const char* id) const { return HasImageFlag(id, ImageStatus::BackgroundOn); }
  CropScale GetImageCropScale(const char* id) const;
  ColorCorrectValues GetImageColorCorrection(const char* id) const;
  ChromaKey GetImageChromaKey(const char* id) const;
  int32_t GetImageRotation(const char* id) const;
  // What rendering for output applies to the image's bitmap: a linked image's file gets its whole
  // import processing, a stored bitmap (processed when it was stored) only the sharpening.
  ImageProcessing GetImageOutputProcessing(const char* id) const;
  DetailsValues GetImageValues(const char* id) const;
  Details GetImageDetails(const char* id) const;
  // The image's key in the mask or background library; empty when none.
  CString GetImageMaskKey(const char* id) const { return masksLinks.GetParent(id); }
  CString GetImageBackgroundKey(const char* id) const { return backgroundsLinks.GetParent(id); }

  // ---- Image changes: each marks the job dirty and fires its event.
  void SetImageCropScale(const char* id, const CropScale& crop);
  void SetImageColorCorrection(const char* id, const ColorCorrectValues& values);
  void SetImageChromaKey(const char* id, const ChromaKey& key);
  // Tenths of a degree; the result keeps the sign of the sum.
  void RotateImage(const char* id, int delta);
  void SetImageFlag02(const char* id, bool on) { SetImageStatusFlag(id, ImageStatus::Off, on); }
  void SetImageFlag04(const char* id, bool on) { SetImageStatusFlag(id, ImageStatus::Tagged, on); }
  void SetImageMaskOn(const char* id, bool on) { SetImageChangedFlag(id, ImageStatus::MaskOn, on); }
  void SetImageBackgroundOn(const char* id, bool on) {
    SetImageChangedFlag(id, ImageStatus::BackgroundOn, on);
  }
  // Links the image to a key of the mask or background library.
  void SetImageMask(const char* id, const CString& key);
  void SetImageBackground(const char* id, const CString& key);
  void SetImageValues(const char* id, const DetailsValues& values);
  void SetImageDetails(const char* id, const Details& details);
  // One detail value; nothing when it is equal to the held one.
  void SetImageValue(const char* id, const char* fieldId, const VARIANT& value);
  // "field%value": the field by its name, or by its 1-based number; the value as text.
  void SetImageValueFromText(const char* id, const char* text);
  // Nothing for an unknown id.
  void SetImageFileName(const char* id, const char* name);

  // ---- Structural image operations.
  void RemoveImage(const char* id);
  void RemoveImages(const SharedStringList& ids);
  // Gives every image its list position + 1; returns how many in front of position changed.
  int RenumberImages(int position);
  // The new id; empty for an empty slot.
  CString DuplicateImage(const char* id, bool withDetails);
  void RotateImageLeft90(const char* id) { TurnImage(id, 1); }
  void RotateImage180(const char* id) { TurnImage(id, 2); }
  void RotateImageRight90(const char* id) { TurnImage(id, 3); }
  // A bitmap that replaces the stored one (edited outside, captured again), stored as given.
  void ReplaceImageBitmap(const char* id, zvkImage::IBitmap* bitmap);
  // A linked image's draft made again from its file, which may have changed. False, with nothing
  // changed, for an image that is not linked or a file that cannot be found or read.
  bool RefreshImage(const char* id);
  // Hands the images to the outside editor: a linked image's file, or a stored image's full bitmap.
  // The images whose pictures the editor changed take the new ones. A linked image whose file cannot
  // be found is reported and nothing is edited.
  void EditImages(const SharedStringList& ids);
  bool SelectImage(const char* id);
  bool SelectImageByNumber(int32_t number);
  int SelectImagesByFileName(const char* name);

  // ---- The chroma-key undo ring: the open job's chroma-key changes, one step per operation; not
  // stored in the job. SetImageChromaKey records every real change unless Undo or Redo is re-applying.
  void RecordChromaKeyChange(const char* id, const ChromaKey& oldValue, const ChromaKey& newValue);
  // Closes the step of the operation that has just changed images.
  void BeginUndoStep() { chromaKeyUndo.CloseStep(); }
  bool CanUndo() const { return chromaKeyUndo.CanUndo(); }
  bool CanRedo() const { return chromaKeyUndo.CanRedo(); }
  // Re-apply a step's values through SetImageChromaKey (Undo from the last change to the first);
  // changes of images removed since are skipped.
  void Undo();
  void Redo();

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
  // Runs the export dialog on the job (defined with the export).
  afx_msg void OnExportImages();
  afx_msg void OnUpdateNeedsJob(CCmdUI* cmdUI);
  // The open-by-path steps of the application's open-document operation; the document, or null.
  CTheDocument* OpenDocumentFile(const char* path);
  // "Pellorin", and " - " with the display name when there is one; only while the main window exists.
  void SetMainWindowTitle();

  // ---- The details section: layout, job values, folders, items and link tables.
  void LoadDetails();
  void SaveDetails();
  void ClearDetails();
  // A copy sharing the field sets' bodies.
  DetailsSchema GetDetailSettings() const;
  DetailsValues GetFileValues() const { return jobValues; }
  const Details& GetFileDetails() const { return jobDetails; }
  bool HasFolder(const CString& id) const { return folders.Contains(id); }
  // Both throw E_INVALIDARG for an id that is no folder.
  CString GetFolderName(const CString& id) const;
  DetailsValues GetFolderValues(const CString& id) const;
  // The parent folder; empty at the top.
  CString GetFolderLink(const CString& id) const { return links.GetParent(id); }
  // The image's folder; empty when it has none.
  CString GetImageFolder(const char* id) const;
  // True when the id is paired with a folder as its image.
  bool HasFolderImage(const char* id) const;
  // One detail value of the image (empty when it has none); E_INVALIDARG for an unknown image.
  COleVariant GetImageValue(const char* id, const char* fieldId) const;

  // ---- Notes and properties.
  CString GetNotes() const { return notes; }
  void SetNotes(const CString& text);
  void LoadNotes();
  void SaveNotes();
  void ClearNotes();
  afx_msg void OnNotes();
  afx_msg void OnProperties();

  // ---- The job's colour space (one record for the whole job; every id addresses it).
  using ColorProfileStreamOut = zvk::ColorProfileStreamOut;
  // Reads a profile file block by block.
  class STREAM_IN {
   public:
    // A file of 4 GB or more is refused: its size would not fit.
    explicit STREAM_IN(HANDLE file);
    // Up to count bytes; count becomes what was delivered (0 at the end). False on a read error.
    bool Read(void* buffer, uint32_t& count);

   private:
    HANDLE file;
    uint32_t size = 0;
    uint32_t position = 0;
  };
  int32_t GetColorProfileState(int id) override;
  bool ReadColorProfile(ColorProfileStreamOut& out, int id) override;
  bool SetColorSpace(int32_t space) { return SetColorSpace(space, true, 0); }
  bool SetColorSpace(int32_t space, bool markDirty, int id) override;
  bool SetColorProfileFile(const char* path) override { return SetColorProfileFile(path, true, 0); }
  bool SetColorProfileFile(const char* path, bool markDirty, int id);
  bool SetDefaultColorSpace(bool markDirty, int id);
  void CheckColorSpace(bool quiet, int id);
  void ResetColorProfile(int id);
  void LoadColorProfile() { ResetColorProfile(-2); }
  void ClearColorProfiles() { ResetColorProfile(-2); }
  void SaveColorProfiles() { SaveColorProfile(-2); }
  void SaveColorProfile(int id);

  // ---- The job's picture libraries. Backgrounds and masks are stored once per picture, keyed by its
  // content, each entry with a draft (within the job's draft size) and the picture as added; graphics
  // come from elsewhere and are only kept or dropped. Before a save, an entry whose key an image's
  // graphic field named at the last load or save and names no longer is dropped, unless an image still
  // links to it. Every call on the libraries' storages holds the image-storage lock.
  using FieldTexts = std::set<CString, NumericStringLessOrder>;
  void LoadGraphics();
  void SaveGraphics();
  void ClearGraphics();
  void RememberGraphicNames();
  void PurgeGraphics();
  void RemoveGraphic(const CString& key);
  Graphics& GetGraphics() { return graphics; }
  ObjectLinksOneMany& GetGraphicLinks() { return graphicsLinks; }
  IStorage* OpenGraphicsStorage();
  void DeleteGraphicItem(const CString& key);
  // An existing file for a graphic name (the name itself when it is a full path that exists, else its
  // file name in the graphic search folders, next to the job, in "<title>#graphics" and "<title>#images"
  // beside the job), or empty. FindGraphicFile also tries the name with ".JPG", ".JPEG", ".PNG", ".TIF".
  CString ResolveGraphicPath(const CString& name);
  CString FindGraphicFile(const CString& name);
  void SetGraphicSearchFolders(const SharedStringList* folders) { graphicSearchFolders = folders; }

  void LoadMasks();
  void SaveMasks();
  void ClearMasks();
  void RememberMaskNames();
  void PurgeMasks();
  // The picture's key. The same picture added again changes nothing and gives the same key. A picture
  // that cannot be stored (a read-only job) raises, leaving no entry and the job unchanged.
  CString AddMask(zvkImage::IBitmap* bitmap, const char* name);
  // Exactly as stored; null for a key that is not in the library or a picture that cannot be read.
  IBitmapPtr GetMaskBitmap(const CString& key, bool full);
  void RemoveMask(const CString& key);
  Masks& GetMasks() { return masks; }
  ObjectLinksOneMany& GetMaskLinks() { return masksLinks; }
  ComObjectCache& GetMaskCache(bool full) { return full ? maskFullCache : maskDraftCache; }
  IStorage* OpenMasksStorage();
  void StoreMaskItem(const CString& key, zvkImage::IBitmap* bitmap);
  IBitmapPtr LoadMaskItem(const CString& key, bool full);
  void DeleteMaskItem(const CString& key);

  void LoadBackgrounds();
  void SaveBackgrounds();
  void ClearBackgrounds();
  void RememberBackgroundNames();
  void PurgeBackgrounds();
  // As AddMask.
  CString AddBackground(zvkImage::IBitmap* bitmap, const char* name);
  // Through the background caches; null for a key that is not in the library or a picture that cannot
  // be read.
  IBitmapPtr GetBackgroundBitmap(const CString& key);
  IBitmapPtr GetBackgroundBitmapFull(const CString& key);
  void RemoveBackground(const CString& key);
  Backgrounds& GetBackgrounds() { return backgrounds; }
  ObjectLinksOneMany& GetBackgroundLinks() { return backgroundsLinks; }
  ImageBitmapCache& GetBackgroundCache(bool full) {
    return full ? backgroundFullCache : backgroundDraftCache;
  }
  IStorage* OpenBackgroundsStorage();
  void StoreBackgroundItem(const CString& key, zvkImage::IBitmap* bitmap);
  IBitmapPtr LoadBackgroundItem(const CString& key, bool full);
  void DeleteBackgroundItem(const CString& key);

  // An item stream from the stream's position: u16 0x0100, u32 L1, the draft, u32 L2, the full picture;
  // the stream is left at the item's end. Gives the picture's key (MakeBitmapContentKey).
  CString WriteBitmapItem(IStream* stream, zvkImage::IBitmap* bitmap);
  // Null for an item of another major version; a length beyond the stream raises EndOfFile.
  IBitmapPtr ReadBitmapItem(IStream* stream, bool full);
  // The non-empty texts that the images hold in graphic-type detail fields; a value that cannot be made
  // a text is skipped.
  FieldTexts CollectGraphicFieldTexts();
  // Null when the image's mask (background) is off or it has none; E_INVALIDARG for an unknown image.
  IBitmapPtr GetImageMaskBitmap(const char* id, bool full);
  IBitmapPtr GetImageBackgroundBitmap(const char* id, bool full);

  // ---- Template fields and captions.
  // The job-level fields of text templates: date, time and the job's file names.
  bool GetField(const char* qualifier, const char* name, bool quoted, VARIANT* out) override;
  bool GetDateTimeField(const char* name, VARIANT* out);
  bool GetFileNameField(const char* name, VARIANT* out);
  // One reference looked up in a field set with its values.
  bool ResolveFieldValue(const Details& block, const char* name, bool quoted, VARIANT* out);
  // The image tag template filled for the image, or every value of the image when there is none.
  CString GetImageCaption(const char* id);
  CString GetEmptyImageCaption();
  bool HasImageEditor() const;

 private:
  // One picture library as its shared steps see it.
  struct PictureLibrary {
    const char* storageName;
    LibraryCollection& entries;
    ObjectLinksOneMany& links;
    FieldTexts& remembered;
    const char* place;
    int listLine;
    int linksLine;
  };
  PictureLibrary GraphicLibrary();
  PictureLibrary MaskLibrary();
  PictureLibrary BackgroundLibrary();
  void LoadLibrary(const PictureLibrary& library);
  void SaveLibrary(const PictureLibrary& library);
  // Drops the entries whose key was a remembered text and is none now, unless an image links to them.
  template <class Remove>
  void PurgeLibrary(const PictureLibrary& library, Remove&& remove);
  CString AddLibraryPicture(const PictureLibrary& library, zvkImage::IBitmap* bitmap, const char* name);
  void StoreLibraryItem(const char* storageName, const CString& key, zvkImage::IBitmap* bitmap);
  // Writes the picture's item and gives its key; the item takes the key's name (stored true) unless the
  // library already has that key, when it is dropped again (stored false).
  CString StoreNewLibraryItem(const PictureLibrary& library, zvkImage::IBitmap* bitmap, bool& stored);
  IBitmapPtr LoadLibraryItem(const char* storageName, const CString& key, bool full);
  void DeleteLibraryItem(const char* storageName, const CString& key);

  // Runs a File command's body in the handler frame; the title is set unless the body returned
  // false (cancelled or refused).
  template <class Body>
  void RunFileCommand(Body&& body);

  // Clear steps of every section, in the fixed order.
  void ClearSections();
  // After a save has fully succeeded: the notes and the colour profile count as saved.
  void CommitSavedSections();
  template <class Table>
  void LoadLinks(IStorage* parent, const char* name, Table& table);
  template <class Table>
  void SaveLinks(IStorage* parent, const char* name, const Table& table);
  // The eight link streams of "@Folders", in their fixed order.
  void ForEachLinkTable(IStorage* folders, bool save);
  // Drops image-folder pairs whose folder or image is gone.
  void CleanImageFolderLinks();
  bool LoadLegacyColorProfile(int id);
  // The record takes the value (and the temporary file of an embedded profile) as changed.
  void StoreColorProfile(int32_t space, const CString& path, HANDLE file);
  void ReadHeader();
  void WriteHeader();
  // The header, usage and attribute fields back to those of no job, after a load that failed.
  void ResetJobFields();
  void ReadUsage();
  void WriteUsage();
  void ReadAttributes();
  void WriteAttributes();
  // Writes the whole job into a new file beside target and commits it; the caller swaps it in.
  void WriteJobBeside(BesideFile& beside, int version);
  // Saves under the job's own path with the saving events and the busy indicator.
  bool SaveInPlace();
  // Saves the job onto its own path: written beside, then swapped in and reopened (a failed swap goes
  // on with the copy, or keeps it on disk and names it).
  void SaveToOwnPath();
  // Opens the job's file again for writing after it was replaced; on failure the job is closed.
  void ReopenAfterSwap(const CString& path);
  // Puts a freshly stored image where the job and the import settings say; false when it placed
  // nothing (the storage is then gone).
  bool PlaceImportedImage(int32_t position, const CString& id, const char* sourceName, bool linked,
                          const ImageProcessing* processing);
  bool HasImageFlag(const char* id, uint32_t flag) const;
  // The list position of an image; E_INVALIDARG when unknown.
  int FindImagePosition(const char* id) const;
  // Marks the job changed and tells the views that this image changed.
  void ImageChanged(const ImageRecord& record);
  // Status bits that fire ImageStatusEvent, and those that fire ImageChangedEvent; only on a change.
  void SetImageStatusFlag(const char* id, uint32_t flag, bool on);
  void SetImageChangedFlag(const char* id, uint32_t flag, bool on);
  // Quarter turns after import: the stored bitmaps are turned, a linked image's processing too.
  void TurnImage(const char* id, int quarters);
  // The record of a new image at a number, with the new-image corrections.
  ImageRecord MakeNewImageRecord(const CString& id, int32_t number, const char* fileName, bool linked,
                                 const ImageProcessing* processing);
  // An existing image takes the bitmaps of a new id (or becomes an empty slot for an empty id). The
  // old storage goes aside until the new one has its name; a failure puts it back and throws.
  void ReplaceListedImage(const ImageRecord& listed, const CString& id, const char* fileName, bool linked,
                          const ImageProcessing* processing, bool markInserted);

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
  ImageBitmapCache imageCache{32};
  const SharedStringList* imageSearchFolders = nullptr;
  ComObjectCache maskDraftCache{16};
  ComObjectCache maskFullCache{16};
  Backgrounds backgrounds;
  ObjectLinksOneMany backgroundsLinks;
  ImageBitmapCache backgroundDraftCache{16};
  ImageBitmapCache backgroundFullCache{16};
  FieldTexts graphicNames;
  FieldTexts maskNames;
  FieldTexts backgroundNames;
  const SharedStringList* graphicSearchFolders = nullptr;

  CString notes;
  bool notesChanged = false;

  ChromaKeyUndoRing chromaKeyUndo;
  bool undoing = false;  // while Undo or Redo re-applies values

  // The colour-profile record: state 0 not loaded, 1 as in the job file, 2 changed.
  int32_t icmState = 0;
  int32_t icmSpace = 0;
  CString icmFilePath;
  HANDLE icmFile = INVALID_HANDLE_VALUE;

  CString attributeTexts[4];
  bool indexed = false;
  bool primaryImageFirst = false;
  int32_t storedBitmapSizeLimit = 0;
  int32_t draftSize = 524288;
  CString queueText;
  CCriticalSection imageStorageLock;
  // Writes imported images; made with the first import.
  std::unique_ptr<ImportStoreThread> importStoreThread;
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
