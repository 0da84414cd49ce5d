// The export run over the open job: the document's images, their state and bitmaps.
#include "ExportJob.h"
#include "ExportRender.h"
#include "HandlerFrame.h"
#include "ImagesExportDlg.h"
#include "TheDocument.h"

namespace {

class DocumentExportJob : public ExportJob {
 public:
  explicit DocumentExportJob(CTheDocument& document) : document(document) {}
  EventSource* Events() override { return &document; }
  SharedStringList GetImageIds() override { return document.GetImageIds(); }
  bool IsImageEmpty(const char* id) override { return document.IsImageEmpty(id); }
  bool IsImageOff(const char* id) override { return document.GetImageFlag02(id); }
  int32_t GetImageNumber(const char* id) override { return document.GetImageNumber(id); }
  bool IsImageLinked(const char* id) override { return document.IsImageLinked(id); }
  CString GetImageFileName(const char* id) override { return document.GetImageFileName(id); }
  CropScale GetImageCropScale(const char* id) override { return document.GetImageCropScale(id); }
  IBitmapPtr GetImageMask(const char* id) override {
    return MaskAsOpacity(document.GetImageMaskBitmap(id, true));
  }
  IBitmapPtr GetImageBackground(const char* id) override {
    return document.GetImageBackgroundBitmap(id, true);
  }
  IBitmapPtr GetDisplayBitmap(const char* id) override { return document.GetImageBitmap(id, 4); }
  IBitmapPtr RenderImage(const char* id) override { return document.RenderImage(id); }

 private:
  CTheDocument& document;
};

}  // namespace

CImagesExportDlg::CImagesExportDlg(CTheDocument* document, CWnd* parent)
    : CImagesExportDlg(std::make_unique<DocumentExportJob>(*document), parent) {}

void CTheDocument::OnExportImages() {
  RunInHandlerFrame([this] {
    CImagesExportDlg dialog(this, AfxGetMainWnd());
    dialog.DoModal();
  });
}
