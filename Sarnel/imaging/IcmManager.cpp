#include "IcmManager.h"

#include "ColorManagementSettings.h"
#include "EventSource.h"
#include "classlib/ClassLib.h"

namespace zvk {

namespace {
EventSource* g_events = nullptr;
bool (*g_isClosing)(Event*) = nullptr;
}  // namespace

void SetIcmJobEvents(EventSource* events, bool (*isClosing)(Event* event)) {
  g_events = events;
  g_isClosing = isClosing;
}

IcmManager& IcmManager::Instance() {
  static IcmManager manager;
  return manager;
}

// Leaving quietly: the cache may be going too.
IcmManager::~IcmManager() {
  EventSource* source = subscribed_;
  subscribed_ = nullptr;
  if (source) source->Unsubscribe(this);
}

void IcmManager::SubscribeToDocument() {
  if (!g_events || subscribed_ == g_events) return;
  if (subscribed_) subscribed_->Unsubscribe(this);
  subscribed_ = g_events;
  g_events->Subscribe(this);
}

void IcmManager::OnSettingsChanged() {
  if (!ColorManagementSettings::Current().enabled) {
    cache_.InvalidateAll();
    return;
  }
  cache_.InvalidateColorSpaces();
  cache_.InvalidateDisplay();
  cache_.ReleaseDocumentSpace(0);
}

void IcmManager::OnUnsubscribe(EventSource* source) {
  EventSink::OnUnsubscribe(source);
  if (source != subscribed_) return;
  subscribed_ = nullptr;
  cache_.ReleaseDocumentSpace(0);
}

int IcmManager::OnEvent(EventSource* source, Event* event) {
  if (source == subscribed_ && g_isClosing && g_isClosing(event)) cache_.ReleaseDocumentSpace(0);
  return 0;
}

void ApplyColorManagementChange() {
  if (CWnd* main = AfxGetMainWnd(); main && main->m_hWnd) main->InvalidateRect(nullptr, TRUE);
  IcmManager::Instance().OnSettingsChanged();
}

}  // namespace zvk
