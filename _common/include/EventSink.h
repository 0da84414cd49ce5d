// A receiver of events; remembers the sources it is subscribed to and leaves them when destroyed.
#pragma once

#include <vector>

class Event;
class EventSource;

class EventSink {
 public:
  EventSink() = default;
  EventSink(const EventSink&) = delete;
  EventSink& operator=(const EventSink&) = delete;
  virtual ~EventSink();

  virtual void OnSubscribe(EventSource* source);
  virtual void OnUnsubscribe(EventSource* source);
  // The delivery; the result is not used by the bus.
  virtual int OnEvent(EventSource* source, Event* event);

  void AddSource(EventSource* source);
  bool RemoveSource(EventSource* source);
  void UnsubscribeAll();

  const std::vector<EventSource*>& GetSources() const { return sources; }

 private:
  std::vector<EventSource*> sources;
};
