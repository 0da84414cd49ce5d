// Raises the document's freeze count for the lifetime of a file operation, so that subscribers can
// suspend their work; only the outermost guard makes the document announce it.
#pragma once

class CTheDocument;

class FreezeGuard {
 public:
  FreezeGuard(CTheDocument& document, bool freeze);
  ~FreezeGuard();
  FreezeGuard(const FreezeGuard&) = delete;
  FreezeGuard& operator=(const FreezeGuard&) = delete;

 private:
  CTheDocument& document;
  bool freeze;
};
