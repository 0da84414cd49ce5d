#include "IcmJobConnection.h"

#include "DocumentEvents.h"
#include "IcmDraw.h"
#include "IcmManager.h"
#include "TheDocument.h"

namespace {

bool IsJobClosing(Event* event) {
  return dynamic_cast<FileClosingEvent*>(event) != nullptr || dynamic_cast<FileCloseEvent*>(event) != nullptr;
}

}  // namespace

void ConnectIcmJob(CTheDocument* document) {
  zvk::SetIcmJob(document);
  zvk::SetIcmJobEvents(document, document ? &IsJobClosing : nullptr);
}

void DisconnectIcmJob(CTheDocument* document) {
  if (document && zvk::CurrentIcmJob() == document) ConnectIcmJob(nullptr);
}
