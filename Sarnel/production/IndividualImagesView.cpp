#include "IndividualImagesView.h"

#include "OptionValues.h"
#include "TheDocument.h"

IMPLEMENT_DYNCREATE(CIndividualImagesView, CImagesView)

BEGIN_MESSAGE_MAP(CIndividualImagesView, CImagesView)
END_MESSAGE_MAP()

ImagesFilter ImagesFilter::Read() {
  const OptionValues& values = GetOptionValues();
  return ImagesFilter{values.ImagesFilter, values.ImagesFilterNot};
}

bool CIndividualImagesView::IncludeImage(const char* id) {
  const ImagesFilter filter = ImagesFilter::Read();
  CTheDocument* doc = GetTheDocument();
  bool marked = false;
  if (filter.filter == 1)
    marked = doc != nullptr && doc->GetImageFlag04(id);
  else if (filter.filter == 3)
    marked = doc != nullptr && doc->GetImageFlag08(id);
  else
    return true;
  return filter.invert ? !marked : marked;
}

SharedStringList CIndividualImagesView::GetImageList() {
  CTheDocument* doc = GetTheDocument();
  if (doc == nullptr) return SharedStringList();
  SharedStringList all = doc->GetImageIds();
  if (ImagesFilter::Read().filter == 0) return all;
  SharedStringList kept;
  for (int i = 0; i < all.GetCount(); ++i)
    if (IncludeImage(all[i])) kept.Append(all[i]);
  return kept;
}
