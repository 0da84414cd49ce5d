// The fields of one image for text templates: its own values (number, tag, file name, corrections,
// folder), then its details, its folder and that folder's parents, the job's own details and finally
// the document (date, time and the job's file names).
#pragma once

#include "CInfoSource.h"
#include "Details.h"

#include "classlib/ClassLib.h"

class CTheDocument;

class CImageInfoSource : public CInfoSource {
 public:
  // An empty id is the empty image: only the job's fields answer.
  CImageInfoSource(CTheDocument* document, const CString& imageId);
  ~CImageInfoSource() override;
  CImageInfoSource(const CImageInfoSource&) = delete;
  CImageInfoSource& operator=(const CImageInfoSource&) = delete;

  bool GetField(const char* qualifier, const char* name, bool quoted, VARIANT* out) override;

 private:
  void Load();
  bool AnswerImageValue(const CString& name, VARIANT* out);

  CTheDocument* document;
  CString imageId;
  CString folderId;
  Details image;
  Details folder;
  Details file;
  bool loaded = false;
};

// "I", intensity, "/C", contrast, "/R", red, "/G", green, "/B", blue; positive numbers with "+".
CString FormatCorrectionsText(int32_t red, int32_t green, int32_t blue, int32_t intensity, int32_t contrast);
