// The production window's image grid: every image of the job, or those the image filter options
// choose (tagged, or made by Duplicate; or the images without that mark).
#pragma once

#include "ImagesView.h"

class CIndividualImagesView : public CImagesView {
  DECLARE_DYNCREATE(CIndividualImagesView)

 public:
  CIndividualImagesView() = default;

  SharedStringList GetImageList() override;
  bool IncludeImage(const char* id) override;
  int OnEvent(EventSource* source, Event* event) override { return CImagesView::OnEvent(source, event); }

 protected:
  DECLARE_MESSAGE_MAP()
};

// The filter options: "ImagesFilter" 0 none, 1 tagged, 2 none, 3 duplicates; "ImagesFilterNot"
// lists the images without the mark instead.
struct ImagesFilter {
  int filter = 0;
  bool invert = false;
  static ImagesFilter Read();
};
