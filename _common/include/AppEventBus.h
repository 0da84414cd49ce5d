// The application-wide bus. The application object is its source: it installs itself at construction
// and its FireEvent forwards here. Until one is installed (tools, tests, controls made before the
// application), a process-wide source of the library serves.
#pragma once

class Event;
class EventSource;

// The source that application-wide sinks subscribe to.
EventSource* GetAppEventSource();
// Installs the application object's own source; null restores the library's.
void SetAppEventSource(EventSource* source);
// Fires on the application-wide bus; the event stays owned by the caller.
void FireAppEvent(Event* event);
