// What the job answers to text templates (date, time and its file names), and image captions.
#include "TheDocument.h"

#include "DetailsTemplate.h"
#include "DocumentClock.h"
#include "FieldReference.h"
#include "ImageInfoSource.h"
#include "LocaleFormat.h"
#include "PathHelpers.h"
#include "ShellServices.h"
#include "TextFields.h"

#include <cstdlib>

namespace {

void Answer(VARIANT* out, const CString& text) {
  VariantClear(out);
  COleVariant value(text);
  *out = value.Detach();
}

}  // namespace

bool CTheDocument::GetDateTimeField(const char* name, VARIANT* out) {
  CString rest(name ? name : "");
  const CString head = NextDelimitedField(rest, '(');
  const int offset = std::atoi(rest);
  const COleDateTime now = GetDocumentClock();
  if (head.CompareNoCase("date") == 0) {
    Answer(out, FormatDate(COleDateTime(static_cast<DATE>(now) + offset)));
    return true;
  }
  if (head.CompareNoCase("time") == 0) {
    Answer(out, FormatTime(COleDateTime(static_cast<DATE>(now) + offset / 86400.0)));
    return true;
  }
  return false;
}

bool CTheDocument::GetFileNameField(const char* name, VARIANT* out) {
  const CString key(name ? name : "");
  const CString path = GetDisplayName();
  if (key.CompareNoCase("filename") == 0 || key.CompareNoCase("jobfilename") == 0) {
    Answer(out, GetFileNamePart(path));
  } else if (key.CompareNoCase("jobname") == 0) {
    Answer(out, GetFileTitlePart(path));
  } else if (key.CompareNoCase("pathfilename") == 0 || key.CompareNoCase("jobpathfilename") == 0) {
    Answer(out, path);
  } else {
    return false;
  }
  return true;
}

bool CTheDocument::GetField(const char* qualifier, const char* name, bool, VARIANT* out) {
  if (qualifier != nullptr) return false;
  return GetDateTimeField(name, out) || GetFileNameField(name, out);
}

bool CTheDocument::ResolveFieldValue(const Details& block, const char* name, bool quoted, VARIANT* out) {
  FieldReference reference;
  reference.name = name ? name : "";
  reference.quoted = quoted;
  return GetDetailFieldValue(block, reference, out);
}

CString CTheDocument::GetImageCaption(const char* id) {
  const CString caption = imageTags.GetTagText();
  if (!caption.IsEmpty()) {
    CImageInfoSource source(this, CString(id ? id : ""));
    return source.Expand(caption);
  }
  return ExpandDetailsTemplate(AllDetailsTemplate, imageFields, GetImageValues(id));
}

CString CTheDocument::GetEmptyImageCaption() {
  const CString caption = imageTags.GetTagText();
  if (!caption.IsEmpty()) {
    CImageInfoSource source(this, CString());
    return source.Expand(caption);
  }
  return ExpandDetailsTemplate(AllDetailsTemplate, imageFields, DetailsValues());
}

bool CTheDocument::HasImageEditor() const {
  ShellServices* shell = GetShellServices();
  return shell != nullptr && !shell->GetImageEditor().IsEmpty();
}
