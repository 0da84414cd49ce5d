#include "EventSource.h"

#include "EventSink.h"

#include <algorithm>
#include <new>

EventSource::~EventSource() { DisconnectAll(); }

void EventSource::Subscribe(EventSink* sink) {
  sinks.push_back(sink);
  try {
    sink->AddSource(this);
  } catch (const std::bad_alloc&) {
    sinks.pop_back();
    throw;
  }
}

bool EventSource::Unsubscribe(EventSink* sink) {
  if (!sink || sinks.empty()) return false;
  auto it = std::find(sinks.begin(), sinks.end(), sink);
  if (it == sinks.end()) return false;
  size_t index = static_cast<size_t>(it - sinks.begin());
  sink->RemoveSource(this);
  // The sink's callback may have changed the vector: find the slot again by its index.
  if (index < sinks.size() && sinks[index] == sink) {
    if (dispatchDepth > 0) {
      sinks[index] = nullptr;
      ++removedCount;
    } else {
      sinks.erase(sinks.begin() + static_cast<std::ptrdiff_t>(index));
    }
  }
  return true;
}

void EventSource::DisconnectAll() {
  for (size_t i = 0; i < sinks.size(); ++i) {
    EventSink* sink = sinks[i];
    if (!sink) continue;
    sink->RemoveSource(this);
    if (i < sinks.size() && sinks[i] == sink) {
      sinks[i] = nullptr;
      ++removedCount;
    }
  }
  if (dispatchDepth == 0) {
    sinks.clear();
    removedCount = 0;
  }
}

void EventSource::Fire(Event* event) {
  ++dispatchDepth;
  // The vector is re-read before every slot: sinks may be added or emptied during the dispatch.
  for (size_t i = 0; i < sinks.size(); ++i) {
    EventSink* sink = sinks[i];
    if (!sink) continue;
    try {
      sink->OnEvent(this, event);
    } catch (...) {
      // A sink's failure is its own: the firer and the other sinks go on.
    }
  }
  --dispatchDepth;
  if (dispatchDepth == 0 && removedCount != 0) Compact();
}

void EventSource::Compact() {
  sinks.erase(std::remove(sinks.begin(), sinks.end(), nullptr), sinks.end());
  removedCount = 0;
}
