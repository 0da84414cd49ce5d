// COleDateTime: an OLE automation date (days since 30 December 1899, the fraction being the
// time of day) with a status.
#pragma once

#include "classlib/String.h"

#include <ctime>

// <winbase.h> defines GetCurrentTime() as a macro for GetTickCount(); the member needs the name.
#ifdef GetCurrentTime
#undef GetCurrentTime
#endif

class COleDateTime {
 public:
  enum DateTimeStatus { valid = 0, invalid = 1, null = 2 };

  COleDateTime() = default;
  COleDateTime(DATE value) { *this = value; }  // NOLINT(google-explicit-constructor)
  COleDateTime(int year, int month, int day, int hour, int minute, int second) {
    SetDateTime(year, month, day, hour, minute, second);
  }
  explicit COleDateTime(const SYSTEMTIME& time) { *this = time; }
  explicit COleDateTime(const FILETIME& time) { *this = time; }
  explicit COleDateTime(time_t time) { *this = time; }

  COleDateTime& operator=(DATE value);
  COleDateTime& operator=(const SYSTEMTIME& time);
  COleDateTime& operator=(const FILETIME& time);  // a UTC file time, shown in local time
  COleDateTime& operator=(time_t time);

  static COleDateTime GetCurrentTime();

  DateTimeStatus GetStatus() const { return m_status; }
  void SetStatus(DateTimeStatus status) { m_status = status; }
  operator DATE() const { return m_dt; }  // NOLINT(google-explicit-constructor)

  // Each returns 0 on success; an impossible date makes the object invalid and returns 1.
  int SetDateTime(int year, int month, int day, int hour, int minute, int second);
  int SetDate(int year, int month, int day) { return SetDateTime(year, month, day, 0, 0, 0); }
  int SetTime(int hour, int minute, int second) { return SetDateTime(1899, 12, 30, hour, minute, second); }

  BOOL GetAsSystemTime(SYSTEMTIME& time) const;
  // Components, or -1 when the value is not valid. Day of week: 1 = Sunday.
  int GetYear() const;
  int GetMonth() const;
  int GetDay() const;
  int GetHour() const;
  int GetMinute() const;
  int GetSecond() const;
  int GetDayOfWeek() const;
  int GetDayOfYear() const;

  // Formats through the locale (VAR_DATEVALUEONLY, VAR_TIMEVALUEONLY ...), or with strftime
  // codes. An invalid value gives "Invalid DateTime", a null one an empty string.
  CString Format(DWORD flags = 0, LCID locale = LANG_USER_DEFAULT) const;
  CString Format(LPCTSTR format) const;
  // Reads a date and/or time as the locale writes it. FALSE (and invalid) when it cannot.
  BOOL ParseDateTime(LPCTSTR text, DWORD flags = 0, LCID locale = LANG_USER_DEFAULT);

  bool operator==(const COleDateTime& other) const {
    return m_status == other.m_status && m_dt == other.m_dt;
  }
  bool operator!=(const COleDateTime& other) const { return !(*this == other); }
  bool operator<(const COleDateTime& other) const;
  bool operator>(const COleDateTime& other) const { return other < *this; }
  bool operator<=(const COleDateTime& other) const { return !(other < *this); }
  bool operator>=(const COleDateTime& other) const { return !(*this < other); }

  DATE m_dt = 0;
  DateTimeStatus m_status = valid;
};
