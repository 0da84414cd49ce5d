// The per-thread state of the window layer: the permanent handle map, the temporary wrappers,
// the window being created and the message being handled.
#pragma once

#include "classlib/Base.h"

#include <exception>
#include <map>
#include <typeinfo>
#include <unordered_map>
#include <utility>

class CWnd;
class CWinThread;

// Wrappers made by FromHandle for handles nobody owns; released at idle time.
class CTempHandleMap {
 public:
  ~CTempHandleMap() { Purge(); }

  // SetHandle(object, handle) stores the handle without taking ownership; it is called with a
  // null handle before the wrapper is deleted, so the handle itself is never released.
  template <class T, class H, void (*SetHandle)(T*, H)>
  T* Get(H handle) {
    Key key{reinterpret_cast<void*>(handle), &typeid(T)};
    auto it = m_objects.find(key);
    if (it != m_objects.end()) return static_cast<T*>(it->second.object);
    T* object = new T;
    SetHandle(object, handle);
    m_objects[key] = Entry{object, [](void* p) {
                             T* typed = static_cast<T*>(p);
                             SetHandle(typed, nullptr);
                             delete typed;
                           }};
    return object;
  }
  void Purge() {
    auto objects = std::move(m_objects);
    m_objects.clear();
    for (auto& kv : objects) kv.second.release(kv.second.object);
  }
  bool Empty() const { return m_objects.empty(); }
  size_t Size() const { return m_objects.size(); }

 private:
  using Key = std::pair<void*, const std::type_info*>;
  struct Entry {
    void* object;
    void (*release)(void*);
  };
  std::map<Key, Entry> m_objects;
};

struct AfxThreadState {
  std::unordered_map<HWND, CWnd*> permanentWindows;
  CTempHandleMap temporaries;
  // A painting failure waits here until its posted report arrives, or until its window is gone.
  std::unordered_map<HWND, std::exception_ptr> pendingPaintFailures;
  CWnd* pWndInit = nullptr;  // the object to attach to the next window created on this thread
  HHOOK hHookCreate = nullptr;
  int nHookDepth = 0;
  MSG lastSentMsg = {};
  CWinThread* pThread = nullptr;
  // Loops running inside the outermost one (modal dialogs and sheets, tracked popups, waits that
  // pump): while any runs, code below it on the stack may still hold temporary wrappers.
  int nModalDepth = 0;
  int nWaitCursorCount = 0;
  HCURSOR hcurWaitCursorRestore = nullptr;
};

AfxThreadState& AfxGetThreadState();

// Marks a nested message loop for its lifetime.
class AfxNestedLoopScope {
 public:
  AfxNestedLoopScope() : m_state(AfxGetThreadState()) { ++m_state.nModalDepth; }
  ~AfxNestedLoopScope() { --m_state.nModalDepth; }
  AfxNestedLoopScope(const AfxNestedLoopScope&) = delete;
  AfxNestedLoopScope& operator=(const AfxNestedLoopScope&) = delete;

 private:
  AfxThreadState& m_state;
};
// Releases the calling thread's state (the end of a thread the layer started).
void AfxFreeThreadState();
