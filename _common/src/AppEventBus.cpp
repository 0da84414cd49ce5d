#include "AppEventBus.h"

#include "EventSource.h"

namespace {

EventSource*& InstalledSource() {
  static EventSource* installed = nullptr;
  return installed;
}

EventSource& LibrarySource() {
  static EventSource source;
  return source;
}

}  // namespace

EventSource* GetAppEventSource() {
  EventSource* installed = InstalledSource();
  return installed ? installed : &LibrarySource();
}

void SetAppEventSource(EventSource* source) { InstalledSource() = source; }

void FireAppEvent(Event* event) { GetAppEventSource()->Fire(event); }
