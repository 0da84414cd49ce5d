#include "classlib/Time.h"

CTime::CTime(const FILETIME& fileTime) {
  ULONGLONG ticks = (static_cast<ULONGLONG>(fileTime.dwHighDateTime) << 32) | fileTime.dwLowDateTime;
  const ULONGLONG kEpoch = 116444736000000000ULL;  // 1 January 1970 in 100-ns ticks since 1601
  m_time = ticks <= kEpoch ? 0 : static_cast<time_t>((ticks - kEpoch) / 10000000ULL);
}
