#include "EventSink.h"

#include "EventSource.h"

#include <algorithm>

EventSink::~EventSink() { UnsubscribeAll(); }

void EventSink::OnSubscribe(EventSource*) {}

void EventSink::OnUnsubscribe(EventSource*) {}

int EventSink::OnEvent(EventSource*, Event*) { return 0; }

void EventSink::AddSource(EventSource* source) {
  sources.push_back(source);
  OnSubscribe(source);
}

bool EventSink::RemoveSource(EventSource* source) {
  auto it = std::find(sources.begin(), sources.end(), source);
  if (it == sources.end()) return false;
  OnUnsubscribe(source);
  it = std::find(sources.begin(), sources.end(), source);  // the callback may have changed the list
  if (it != sources.end()) sources.erase(it);
  return true;
}

void EventSink::UnsubscribeAll() {
  while (!sources.empty()) {
    EventSource* source = sources.front();
    if (!source->Unsubscribe(this)) RemoveSource(source);  // never loop on a stale entry
  }
}
