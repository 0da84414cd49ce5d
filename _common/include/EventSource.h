// A source of events: calls each subscribed sink at once, in subscription order, on the calling thread.
#pragma once

#include <vector>

class Event;
class EventSink;

class EventSource {
 public:
  EventSource() = default;
  EventSource(const EventSource&) = delete;
  EventSource& operator=(const EventSource&) = delete;
  virtual ~EventSource();

  // Appends the sink (no check for a sink already there) and tells the sink.
  void Subscribe(EventSink* sink);
  // Removes the first slot holding the sink; false when it is not subscribed.
  bool Unsubscribe(EventSink* sink);
  void DisconnectAll();
  // Calls every sink; a sink's exception is swallowed. Sinks may subscribe, unsubscribe and fire
  // from within.
  void Fire(Event* event);

  // The subscribed sinks in order, including slots emptied during a running dispatch.
  const std::vector<EventSink*>& GetSinks() const { return sinks; }

 private:
  void Compact();

  std::vector<EventSink*> sinks;
  int dispatchDepth = 0;
  int removedCount = 0;
};
