// CTime: a moment in seconds since 1 January 1970 (UTC), as file times report it.
#pragma once

#include "classlib/Base.h"

#include <ctime>

class CTime {
 public:
  CTime() = default;
  CTime(time_t time) : m_time(time) {}  // NOLINT(google-explicit-constructor)
  explicit CTime(const FILETIME& fileTime);

  static CTime GetCurrentTime() { return CTime(::time(nullptr)); }
  time_t GetTime() const { return m_time; }

  bool operator==(CTime other) const { return m_time == other.m_time; }
  bool operator!=(CTime other) const { return m_time != other.m_time; }
  bool operator<(CTime other) const { return m_time < other.m_time; }
  bool operator>(CTime other) const { return m_time > other.m_time; }
  bool operator<=(CTime other) const { return m_time <= other.m_time; }
  bool operator>=(CTime other) const { return m_time >= other.m_time; }

 private:
  time_t m_time = 0;
};
