#include "SearchPaths.h"

namespace {

constexpr const char* PathsSection = "Paths";
constexpr const char* ImagesSection = "Paths\\Images";
constexpr const char* GraphicsSection = "Paths\\Graphics";

CString PathEntry(int position) {
  CString name;
  name.Format("Path%d", position);
  return name;
}

// Missing entries up to the stored count load as empty texts.
void LoadList(CWinApp& app, const char* section, SharedStringList& list) {
  list = SharedStringList();
  int count = static_cast<int>(app.GetProfileInt(section, "Count", 0));
  if (count < 0) count = 0;
  if (count > MaxSearchPathCount) count = MaxSearchPathCount;
  for (int i = 1; i <= count; ++i) list.Append(app.GetProfileString(section, PathEntry(i), ""));
}

void SaveList(CWinApp& app, const char* section, const SharedStringList& list) {
  int oldCount = static_cast<int>(app.GetProfileInt(section, "Count", 0));
  if (oldCount > MaxSearchPathCount) oldCount = MaxSearchPathCount;
  const int count = list.GetCount();
  for (int i = 0; i < count; ++i) app.WriteProfileString(section, PathEntry(i + 1), list[i]);
  app.WriteProfileInt(section, "Count", count);
  for (int i = count + 1; i <= oldCount; ++i) app.WriteProfileString(section, PathEntry(i), nullptr);
}

}  // namespace

void SearchPaths::Load() {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return;
  LoadList(*app, ImagesSection, imageFolders);
  LoadList(*app, GraphicsSection, graphicFolders);
  imageMasksFolder = app->GetProfileString(PathsSection, "Image Masks", "");
  cdText = app->GetProfileString(PathsSection, "CD", "");
}

void SearchPaths::Save() const {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return;
  SaveList(*app, ImagesSection, imageFolders);
  SaveList(*app, GraphicsSection, graphicFolders);
  app->WriteProfileString(PathsSection, "Image Masks", imageMasksFolder);
  app->WriteProfileString(PathsSection, "CD", cdText);
}

SearchPaths& GetSearchPaths() {
  static SearchPaths paths;
  return paths;
}

SharedStringList& ImageSearchFolders() { return GetSearchPaths().imageFolders; }
SharedStringList& GraphicSearchFolders() { return GetSearchPaths().graphicFolders; }
