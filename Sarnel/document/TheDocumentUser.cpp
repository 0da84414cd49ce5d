#include "TheDocumentUser.h"

#include "TheDocument.h"

CTheDocumentUser::CTheDocumentUser(CTheDocument* document) : document(document) {
  if (document != nullptr) document->Subscribe(this);
}

CTheDocumentUser::~CTheDocumentUser() {
  if (document != nullptr) document->Unsubscribe(this);
}
