// The job's graphic library, whose pictures come from elsewhere and are only kept or dropped, and the
// lookup of a graphic's file by the name that a detail field holds.
#include "TheDocument.h"

#include "ImagePathSearch.h"

void CTheDocument::LoadGraphics() { LoadLibrary(GraphicLibrary()); }

void CTheDocument::SaveGraphics() { SaveLibrary(GraphicLibrary()); }

void CTheDocument::ClearGraphics() {
  graphics.Clear();
  graphicsLinks.Clear();
}

void CTheDocument::RemoveGraphic(const CString& key) {
  try {
    graphics.Remove(key);
    DeleteGraphicItem(key);
  } catch (...) {
    // A key that is not in the library, or a stream that will not go: nothing to undo.
  }
  dirty = true;
}

IStorage* CTheDocument::OpenGraphicsStorage() { return OpenChildStorage(storage, "@Graphics", true); }

void CTheDocument::DeleteGraphicItem(const CString& key) { DeleteLibraryItem("@Graphics", key); }

CString CTheDocument::ResolveGraphicPath(const CString& name) {
  static const SharedStringList none;
  try {
    return SearchGraphicFile(name, jobPath, graphicSearchFolders != nullptr ? *graphicSearchFolders : none);
  } catch (...) {
    return CString();
  }
}

CString CTheDocument::FindGraphicFile(const CString& name) {
  CString path = ResolveGraphicPath(name);
  if (!path.IsEmpty() || name.IsEmpty()) return path;
  for (const char* extension : {"JPG", "JPEG", "PNG", "TIF"}) {
    path = ResolveGraphicPath(name + "." + extension);
    if (!path.IsEmpty()) return path;
  }
  return CString();
}
