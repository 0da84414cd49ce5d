// The event bus: order, swallowed failures, changes of the subscriptions during a dispatch, lifetimes.
#include "AppEventBus.h"
#include "Event.h"
#include "EventSink.h"
#include "EventSource.h"
#include "IdleTimeEvent.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct PingEvent : Event {
  std::vector<std::string> answers;  // a request event: sinks fill it in
};

class RecordingSink : public EventSink {
 public:
  RecordingSink(std::string name, std::vector<std::string>* log) : name(std::move(name)), log(log) {}
  int OnEvent(EventSource* source, Event* event) override {
    if (log) log->push_back(name);
    if (auto* ping = dynamic_cast<PingEvent*>(event)) ping->answers.push_back(name);
    if (action) action(source);
    return 0;
  }
  void OnSubscribe(EventSource*) override { ++subscribed; }
  void OnUnsubscribe(EventSource*) override { ++unsubscribed; }

  std::string name;
  std::vector<std::string>* log;
  std::function<void(EventSource*)> action;
  int subscribed = 0;
  int unsubscribed = 0;
};

}  // namespace

TEST(EventBus, FiresInSubscriptionOrderOnTheCallingThreadAndCarriesAnswers) {
  EventSource source;
  PingEvent nothing;
  source.Fire(&nothing);  // no sinks: returns at once
  std::vector<std::string> log;
  RecordingSink a("a", &log), b("b", &log), c("c", &log);
  DWORD firingThread = GetCurrentThreadId(), seenThread = 0;
  b.action = [&](EventSource*) { seenThread = GetCurrentThreadId(); };
  source.Subscribe(&a);
  source.Subscribe(&b);
  source.Subscribe(&c);
  EXPECT_EQ(a.subscribed, 1);
  PingEvent ping;
  source.Fire(&ping);
  EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(ping.answers, log);
  EXPECT_EQ(seenThread, firingThread);
}

TEST(EventBus, SwallowsASinksExceptionAndGoesOn) {
  EventSource source;
  std::vector<std::string> log;
  RecordingSink a("a", &log), b("b", &log), c("c", &log);
  b.action = [](EventSource*) { throw std::runtime_error("sink failed"); };
  source.Subscribe(&a);
  source.Subscribe(&b);
  source.Subscribe(&c);
  PingEvent ping;
  EXPECT_NO_THROW(source.Fire(&ping));
  EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "c"}));
}

TEST(EventBus, SurvivesChangesOfTheSubscriptionsDuringADispatch) {
  EventSource source;
  std::vector<std::string> log;
  RecordingSink a("a", &log), b("b", &log), c("c", &log), late("late", &log);
  // a unsubscribes itself, and b unsubscribes c (not yet reached) and subscribes late.
  a.action = [&](EventSource* s) { s->Unsubscribe(&a); };
  bool changed = false;
  b.action = [&](EventSource* s) {
    if (changed) return;
    changed = true;
    s->Unsubscribe(&c);
    s->Subscribe(&late);
  };
  source.Subscribe(&a);
  source.Subscribe(&b);
  source.Subscribe(&c);
  PingEvent first;
  source.Fire(&first);
  EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "late"}));
  EXPECT_EQ(source.GetSinks(), (std::vector<EventSink*>{&b, &late}));  // compacted after the dispatch
  EXPECT_EQ(c.unsubscribed, 1);
  EXPECT_TRUE(c.GetSources().empty());

  log.clear();
  PingEvent second;
  source.Fire(&second);
  EXPECT_EQ(log, (std::vector<std::string>{"b", "late"}));
}

TEST(EventBus, NestedFiresAndDisconnectAllDuringADispatch) {
  EventSource source, other;
  std::vector<std::string> log;
  RecordingSink a("a", &log), b("b", &log), c("c", &log), o("o", &log);
  other.Subscribe(&o);
  a.action = [&](EventSource* s) {
    if (s == &source) {
      PingEvent inner;
      other.Fire(&inner);  // runs to its end first
    }
  };
  b.action = [&](EventSource* s) { s->DisconnectAll(); };
  source.Subscribe(&a);
  source.Subscribe(&b);
  source.Subscribe(&c);
  PingEvent ping;
  source.Fire(&ping);
  EXPECT_EQ(log, (std::vector<std::string>{"a", "o", "b"}));
  EXPECT_TRUE(source.GetSinks().empty());
  EXPECT_EQ(a.unsubscribed + b.unsubscribed + c.unsubscribed, 3);
  EXPECT_TRUE(c.GetSources().empty());
}

TEST(EventBus, UnsubscribeOfAStrangerChangesNothing) {
  EventSource source;
  RecordingSink a("a", nullptr), b("b", nullptr);
  EXPECT_FALSE(source.Unsubscribe(nullptr));
  EXPECT_FALSE(source.Unsubscribe(&a));
  source.Subscribe(&a);
  EXPECT_FALSE(source.Unsubscribe(&b));
  EXPECT_EQ(source.GetSinks().size(), 1u);
}

TEST(EventBus, DestroyingEitherSideLeavesNoDanglingSubscription) {
  std::vector<std::string> log;
  EventSource source;
  {
    RecordingSink twice("twice", &log);
    source.Subscribe(&twice);
    source.Subscribe(&twice);  // subscribed twice: called twice
    PingEvent ping;
    source.Fire(&ping);
    EXPECT_EQ(log.size(), 2u);
  }
  EXPECT_TRUE(source.GetSinks().empty());

  RecordingSink survivor("survivor", &log);
  {
    EventSource shortLived;
    shortLived.Subscribe(&survivor);
    source.Subscribe(&survivor);
  }
  EXPECT_EQ(survivor.GetSources(), (std::vector<EventSource*>{&source}));
}

TEST(EventBus, ApplicationBusHasASourceBeforeTheApplicationInstallsItsOwn) {
  std::vector<std::string> log;
  RecordingSink sink("idle", &log);
  sink.action = nullptr;
  EventSource* library = GetAppEventSource();
  ASSERT_NE(library, nullptr);
  library->Subscribe(&sink);
  struct MoreTime : EventSink {
    int OnEvent(EventSource*, Event* event) override {
      if (auto* idle = dynamic_cast<IdleTimeEvent*>(event)) idle->moreTime = true;
      return 0;
    }
  } asker;
  library->Subscribe(&asker);
  IdleTimeEvent idle;
  EXPECT_FALSE(idle.moreTime);
  FireAppEvent(&idle);
  EXPECT_TRUE(idle.moreTime);
  EXPECT_EQ(log.size(), 1u);

  EventSource application;
  SetAppEventSource(&application);
  EXPECT_EQ(GetAppEventSource(), &application);
  IdleTimeEvent again;
  FireAppEvent(&again);
  EXPECT_EQ(log.size(), 1u);  // the application's own bus has no sinks yet
  SetAppEventSource(nullptr);
  EXPECT_EQ(GetAppEventSource(), library);
}
