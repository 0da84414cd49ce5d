#include "classlib/Sync.h"

#include "classlib/Exception.h"

namespace {
HANDLE Checked(HANDLE handle) {
  if (handle == nullptr) AfxThrowResourceException();
  return handle;
}
}  // namespace

CSyncObject::~CSyncObject() {
  if (m_hObject != nullptr) CloseHandle(m_hObject);
}

BOOL CSyncObject::Lock(DWORD timeout) {
  DWORD result = WaitForSingleObject(m_hObject, timeout);
  return AfxBool(result == WAIT_OBJECT_0 || result == WAIT_ABANDONED);
}

CEvent::CEvent(BOOL initiallySignalled, BOOL manualReset, LPCTSTR name, LPSECURITY_ATTRIBUTES security)
    : CSyncObject(name) {
  m_hObject = Checked(CreateEventA(security, manualReset, initiallySignalled, name));
}

CSemaphore::CSemaphore(LONG initialCount, LONG maxCount, LPCTSTR name, LPSECURITY_ATTRIBUTES security)
    : CSyncObject(name) {
  m_hObject = Checked(CreateSemaphoreA(security, initialCount, maxCount, name));
}

CMutex::CMutex(BOOL initiallyOwned, LPCTSTR name, LPSECURITY_ATTRIBUTES security) : CSyncObject(name) {
  m_hObject = Checked(CreateMutexA(security, initiallyOwned, name));
}

CSingleLock::CSingleLock(CSyncObject* object, BOOL initialLock) : m_pObject(object) {
  if (initialLock) Lock();
}

BOOL CSingleLock::Lock(DWORD timeout) {
  if (m_pObject == nullptr || m_bAcquired) return m_bAcquired;
  m_bAcquired = m_pObject->Lock(timeout);
  return m_bAcquired;
}

BOOL CSingleLock::Unlock() {
  if (m_pObject == nullptr || !m_bAcquired) return TRUE;
  m_bAcquired = FALSE;
  return m_pObject->Unlock();
}

BOOL CSingleLock::Unlock(LONG count, LPLONG previousCount) {
  if (m_pObject == nullptr || !m_bAcquired) return TRUE;
  m_bAcquired = FALSE;
  return m_pObject->Unlock(count, previousCount);
}

CMultiLock::CMultiLock(CSyncObject* objects[], DWORD count, BOOL initialLock) {
  if (objects == nullptr || count == 0 || count >= MAXIMUM_WAIT_OBJECTS) AfxThrowNotSupportedException();
  m_objects.assign(objects, objects + count);
  for (CSyncObject* object : m_objects) {
    if (object == nullptr || object->m_hObject == nullptr) AfxThrowNotSupportedException();
    m_handles.push_back(object->m_hObject);
  }
  m_locked.assign(count, FALSE);
  if (initialLock) Lock();
}

DWORD CMultiLock::Lock(DWORD timeout, BOOL waitAll, DWORD wakeMask) {
  const DWORD count = static_cast<DWORD>(m_handles.size());
  DWORD result = wakeMask != 0
                     ? MsgWaitForMultipleObjects(count, m_handles.data(), waitAll, timeout, wakeMask)
                     : WaitForMultipleObjects(count, m_handles.data(), waitAll, timeout);
  DWORD index = count;
  if (result < WAIT_OBJECT_0 + count)
    index = result - WAIT_OBJECT_0;
  else if (result >= WAIT_ABANDONED_0 && result < WAIT_ABANDONED_0 + count)
    index = result - WAIT_ABANDONED_0;
  if (index < count) {
    if (waitAll)
      m_locked.assign(count, TRUE);
    else
      m_locked[index] = TRUE;
  }
  return result;
}

BOOL CMultiLock::Unlock() {
  BOOL ok = TRUE;
  for (size_t i = 0; i < m_objects.size(); ++i) {
    if (!m_locked[i]) continue;
    m_locked[i] = FALSE;
    if (!m_objects[i]->Unlock()) ok = FALSE;
  }
  return ok;
}

BOOL CMultiLock::Unlock(LONG count, LPLONG previousCount) {
  BOOL ok = TRUE;
  for (size_t i = 0; i < m_objects.size(); ++i) {
    if (!m_locked[i]) continue;
    m_locked[i] = FALSE;
    if (!m_objects[i]->Unlock(count, previousCount)) ok = FALSE;
  }
  return ok;
}

BOOL CMultiLock::IsLocked(DWORD index) const { return index < m_locked.size() ? m_locked[index] : FALSE; }
