#include "DocumentClock.h"

namespace {

COleDateTime (*current)() = nullptr;

}  // namespace

COleDateTime GetDocumentClock() { return current != nullptr ? current() : COleDateTime::GetCurrentTime(); }

void SetDocumentClock(COleDateTime (*clock)()) { current = clock; }
