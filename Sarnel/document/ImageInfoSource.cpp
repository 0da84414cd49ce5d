#include "ImageInfoSource.h"

#include "DetailNameParts.h"
#include "PathHelpers.h"
#include "TheDocument.h"

#include <set>

namespace {

void Answer(VARIANT* out, const CString& text) {
  VariantClear(out);
  COleVariant value(text);
  *out = value.Detach();
}

bool HoldsValue(const VARIANT* out) { return out->vt != VT_EMPTY; }

CString SignedNumber(int32_t value) {
  CString text;
  text.Format(value > 0 ? "+%d" : "%d", value);
  return text;
}

}  // namespace

CString FormatCorrectionsText(int32_t red, int32_t green, int32_t blue, int32_t intensity, int32_t contrast) {
  return "I" + SignedNumber(intensity) + "/C" + SignedNumber(contrast) + "/R" + SignedNumber(red) + "/G" +
         SignedNumber(green) + "/B" + SignedNumber(blue);
}

CImageInfoSource::CImageInfoSource(CTheDocument* document, const CString& imageId)
    : document(document), imageId(imageId) {}

CImageInfoSource::~CImageInfoSource() {
  file = Details();
  folder = Details();
  image = Details();
}

void CImageInfoSource::Load() {
  loaded = true;
  if (imageId.IsEmpty() || !document->HasImage(imageId)) return;
  folderId = document->GetImageFolder(imageId);
  image.Merge(Details(document->GetImageFields(), document->GetImageValues(imageId)));
  image.Merge(document->GetImageDetails(imageId));
  if (!folderId.IsEmpty() && document->HasFolder(folderId))
    folder.Merge(Details(document->GetFolderFields(), document->GetFolderValues(folderId)));
  file.Merge(Details(document->GetFileFields(), document->GetFileValues()));
}

bool CImageInfoSource::AnswerImageValue(const CString& name, VARIANT* out) {
  CString text;
  if (name.CompareNoCase("no") == 0 || name.CompareNoCase("imageno") == 0) {
    text.Format("%d", document->GetImageNumber(imageId));
  } else if (name.CompareNoCase("tag") == 0 || name.CompareNoCase("imagetag") == 0) {
    text = document->GetImageFileNamePart(imageId, false);
  } else if (name.CompareNoCase("filename") == 0 || name.CompareNoCase("imagefilename") == 0) {
    text = GetFileNamePart(document->GetImageFileNamePart(imageId, true));
  } else if (name.CompareNoCase("corrections") == 0 || name.CompareNoCase("imagecorrections") == 0) {
    const ColorCorrectValues values = document->GetImageColorCorrection(imageId);
    text = FormatCorrectionsText(values.red, values.green, values.blue, values.intensity, values.contrast);
  } else if (name.CompareNoCase("folder") == 0 && !folderId.IsEmpty()) {
    text = document->GetFolderName(folderId);
  } else {
    return false;
  }
  if (text.IsEmpty()) return false;
  Answer(out, text);
  return true;
}

bool CImageInfoSource::GetField(const char* qualifier, const char* name, bool quoted, VARIANT* out) {
  if (document == nullptr) return false;
  if (!loaded) Load();
  const CString key(name ? name : "");
  if (qualifier != nullptr) {
    if (CString(qualifier).CompareNoCase("folder") != 0) return false;
    return document->ResolveFieldValue(folder, key, quoted, out);
  }

  if (!imageId.IsEmpty() && AnswerImageValue(key, out)) return true;

  if (key.CompareNoCase("name") == 0) {
    if (document->ResolveFieldValue(image, key, quoted, out)) return true;
    CString whole = GetFirstName(image.fields, image.values);
    if (!whole.IsEmpty()) whole += " ";
    whole += GetLastName(image.fields, image.values);
    Answer(out, whole);
    return true;
  }
  if (document->ResolveFieldValue(image, key, quoted, out) && HoldsValue(out)) return true;

  // Up the folder tree; a damaged job may link folders in a circle, so each is visited once.
  std::set<std::string> visited;
  for (CString f = folderId; !f.IsEmpty() && document->HasFolder(f); f = document->GetFolderLink(f)) {
    if (!visited.insert(f.str()).second) break;
    const Details block(document->GetFolderFields(), document->GetFolderValues(f));
    if (document->ResolveFieldValue(block, key, quoted, out) && HoldsValue(out)) return true;
  }
  if (document->ResolveFieldValue(file, key, quoted, out) && HoldsValue(out)) return true;
  return document->GetField(nullptr, key, quoted, out);
}
