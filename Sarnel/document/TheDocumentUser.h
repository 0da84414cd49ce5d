// A receiver of the document's events for exactly its own lifetime: the base of the windows that
// follow the job (the main frame, the production window).
#pragma once

#include "EventSink.h"

class CTheDocument;

class CTheDocumentUser : public EventSink {
 public:
  // Subscribes to the document's events unless the document is null.
  explicit CTheDocumentUser(CTheDocument* document);
  ~CTheDocumentUser() override;

 protected:
  CTheDocument* document;
};
