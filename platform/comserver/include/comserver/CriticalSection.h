// A critical section owned by an object, and a scoped lock over it.
#pragma once

#include <windows.h>

namespace comserver {

class CComAutoCriticalSection {
 public:
  CComAutoCriticalSection() { InitializeCriticalSection(&m_section); }
  ~CComAutoCriticalSection() { DeleteCriticalSection(&m_section); }
  CComAutoCriticalSection(const CComAutoCriticalSection&) = delete;
  CComAutoCriticalSection& operator=(const CComAutoCriticalSection&) = delete;

  void Lock() { EnterCriticalSection(&m_section); }
  void Unlock() { LeaveCriticalSection(&m_section); }

 private:
  CRITICAL_SECTION m_section;
};

template <class Section>
class CComCritSecLock {
 public:
  explicit CComCritSecLock(Section& section) : m_section(section) { m_section.Lock(); }
  ~CComCritSecLock() { Unlock(); }
  CComCritSecLock(const CComCritSecLock&) = delete;
  CComCritSecLock& operator=(const CComCritSecLock&) = delete;

  void Unlock() {
    if (m_locked) {
      m_locked = false;
      m_section.Unlock();
    }
  }

 private:
  Section& m_section;
  bool m_locked = true;
};

}  // namespace comserver
