#include "FreezeGuard.h"

#include "TheDocument.h"

FreezeGuard::FreezeGuard(CTheDocument& document, bool freeze) : document(document), freeze(freeze) {
  if (freeze) document.Freeze();
}

FreezeGuard::~FreezeGuard() {
  if (freeze) document.Unfreeze();
}
