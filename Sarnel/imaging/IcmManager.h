// Keeps the profile cache in step with the settings and the open job: the job's colour spaces (and the
// temporary copy of an embedded profile) go when the job closes, and everything cached is dropped or made
// again when the colour-management settings change.
#pragma once

#include "EventSink.h"
#include "IcmCache.h"

class Event;
class EventSource;

namespace zvk {

// The job's event source and the test that tells its closing events (closing, or closed) from the rest;
// null while no job is open.
void SetIcmJobEvents(EventSource* events, bool (*isClosing)(Event* event));

class IcmManager : public EventSink {
 public:
  explicit IcmManager(IcmCache& cache = IcmCache::Instance()) : cache_(cache) {}
  ~IcmManager() override;

  // The one manager of the program, made on first use.
  static IcmManager& Instance();

  // Subscribes to the job's events once (every job colour space asks for it).
  void SubscribeToDocument();
  // After the colour-management settings were accepted: off drops everything; on drops the conversions,
  // the display's profile and the job's colour spaces, to be made again on the next draw.
  void OnSettingsChanged();

  void OnUnsubscribe(EventSource* source) override;
  int OnEvent(EventSource* source, Event* event) override;

 private:
  IcmCache& cache_;
  EventSource* subscribed_ = nullptr;
};

// The colour-management settings changed: the main window is repainted and the manager told.
void ApplyColorManagementChange();

}  // namespace zvk
