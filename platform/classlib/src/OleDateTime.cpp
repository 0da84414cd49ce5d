#include "classlib/OleDateTime.h"

#include <cmath>

namespace {

constexpr int kSecondsPerDay = 86400;
constexpr long kUnixEpochDay = 25569;  // 1 January 1970 counted from 30 December 1899

// Days since 1 January 1970 of a date in the proleptic Gregorian calendar.
long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(long z, int* y, int* m, int* d) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const long doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  *d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  *m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *y = static_cast<int>(yoe + era * 400 + (*m <= 2));
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

// An automation date before 30 December 1899 keeps its time of day as a positive fraction
// after the minus sign (-1.25 is 29 December, 06:00); this gives the day and the seconds.
bool Split(DATE dt, long* day, int* seconds) {
  if (!std::isfinite(dt) || std::fabs(dt) > 3000000.0) return false;
  double whole = std::trunc(dt);
  long long secs = std::llround(std::fabs(dt - whole) * kSecondsPerDay);
  *day = static_cast<long>(whole);
  if (secs >= kSecondsPerDay) {
    secs = 0;
    *day += 1;
  }
  *seconds = static_cast<int>(secs);
  return true;
}

// A value on one straight line, for ordering dates on both sides of day 0.
double Linear(DATE dt) {
  double whole = std::trunc(dt);
  return whole + std::fabs(dt - whole);
}

CString FromBstr(BSTR text) {
  CString result(static_cast<const wchar_t*>(text));
  SysFreeString(text);
  return result;
}

}  // namespace

COleDateTime& COleDateTime::operator=(DATE value) {
  m_dt = value;
  long day;
  int seconds;
  m_status = Split(value, &day, &seconds) ? valid : invalid;
  return *this;
}

COleDateTime& COleDateTime::operator=(const SYSTEMTIME& time) {
  SetDateTime(time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond);
  return *this;
}

COleDateTime& COleDateTime::operator=(const FILETIME& time) {
  FILETIME local;
  SYSTEMTIME system;
  if (FileTimeToLocalFileTime(&time, &local) && FileTimeToSystemTime(&local, &system)) {
    *this = system;
  } else {
    m_dt = 0;
    m_status = invalid;
  }
  return *this;
}

COleDateTime& COleDateTime::operator=(time_t time) {
  // time_t counts UTC seconds; the date shows local time, as the file-time form does.
  ULONGLONG ticks = (static_cast<ULONGLONG>(time) + 11644473600ULL) * 10000000ULL;
  FILETIME utc;
  utc.dwLowDateTime = static_cast<DWORD>(ticks);
  utc.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return *this = utc;
}

COleDateTime COleDateTime::GetCurrentTime() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return COleDateTime(now);
}

int COleDateTime::SetDateTime(int year, int month, int day, int hour, int minute, int second) {
  const bool ok = year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
                  day <= DaysInMonth(year, month) && hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 &&
                  second >= 0 && second <= 59;
  if (!ok) {
    m_dt = 0;
    m_status = invalid;
    return 1;
  }
  const long days = DaysFromCivil(year, month, day) + kUnixEpochDay;
  const double fraction = (hour * 3600 + minute * 60 + second) / static_cast<double>(kSecondsPerDay);
  m_dt = days >= 0 ? days + fraction : days - fraction;
  m_status = valid;
  return 0;
}

BOOL COleDateTime::GetAsSystemTime(SYSTEMTIME& time) const {
  long day;
  int seconds;
  if (m_status != valid || !Split(m_dt, &day, &seconds)) return FALSE;
  int y, m, d;
  CivilFromDays(day - kUnixEpochDay, &y, &m, &d);
  if (y < 100 || y > 9999) return FALSE;
  time.wYear = static_cast<WORD>(y);
  time.wMonth = static_cast<WORD>(m);
  time.wDay = static_cast<WORD>(d);
  time.wHour = static_cast<WORD>(seconds / 3600);
  time.wMinute = static_cast<WORD>(seconds / 60 % 60);
  time.wSecond = static_cast<WORD>(seconds % 60);
  time.wMilliseconds = 0;
  // 30 December 1899 was a Saturday; wDayOfWeek counts from Sunday = 0.
  time.wDayOfWeek = static_cast<WORD>(((day % 7) + 7 + 6) % 7);
  return TRUE;
}

int COleDateTime::GetYear() const {
  SYSTEMTIME t;
  return GetAsSystemTime(t) ? t.wYear : -1;
}
int COleDateTime::GetMonth() const {
  SYSTEMTIME t;
  return GetAsSystemTime(t) ? t.wMonth : -1;
}
int COleDateTime::GetDay() const {
  SYSTEMTIME t;
  return GetAsSystemTime(t) ? t.wDay : -1;
}
int COleDateTime::GetHour() const {
  SYSTEMTIME t;
  return GetAsSystemTime(t) ? t.wHour : -1;
}
int COleDateTime::GetMinute() const {
  SYSTEMTIME t;
  return GetAsSystemTime(t) ? t.wMinute : -1;
}
int COleDateTime::GetSecond() const {
  SYSTEMTIME t;
  return GetAsSystemTime(t) ? t.wSecond : -1;
}
int COleDateTime::GetDayOfWeek() const {
  SYSTEMTIME t;
  return GetAsSystemTime(t) ? t.wDayOfWeek + 1 : -1;
}
int COleDateTime::GetDayOfYear() const {
  SYSTEMTIME t;
  if (!GetAsSystemTime(t)) return -1;
  return static_cast<int>(DaysFromCivil(t.wYear, t.wMonth, t.wDay) - DaysFromCivil(t.wYear, 1, 1) + 1);
}

CString COleDateTime::Format(DWORD flags, LCID locale) const {
  if (m_status == null) return CString();
  if (m_status != valid) return CString("Invalid DateTime");
  BSTR text = nullptr;
  if (FAILED(VarBstrFromDate(m_dt, locale, flags, &text))) return CString("Invalid DateTime");
  return FromBstr(text);
}

CString COleDateTime::Format(LPCTSTR format) const {
  if (m_status == null) return CString();
  SYSTEMTIME t;
  if (format == nullptr || !GetAsSystemTime(t)) return CString("Invalid DateTime");
  tm parts = {};
  parts.tm_year = t.wYear - 1900;
  parts.tm_mon = t.wMonth - 1;
  parts.tm_mday = t.wDay;
  parts.tm_hour = t.wHour;
  parts.tm_min = t.wMinute;
  parts.tm_sec = t.wSecond;
  parts.tm_wday = t.wDayOfWeek;
  parts.tm_yday = GetDayOfYear() - 1;
  parts.tm_isdst = -1;
  char buffer[512];
  size_t got = strftime(buffer, sizeof(buffer), format, &parts);
  return CString(buffer, static_cast<int>(got));
}

BOOL COleDateTime::ParseDateTime(LPCTSTR text, DWORD flags, LCID locale) {
  m_dt = 0;
  m_status = invalid;
  if (text == nullptr || *text == 0) return FALSE;
  BSTR wide = CString(text).AllocSysString();
  DATE value = 0;
  HRESULT hr = VarDateFromStr(wide, locale, flags, &value);
  SysFreeString(wide);
  if (FAILED(hr)) return FALSE;
  *this = value;
  return AfxBool(m_status == valid);
}

bool COleDateTime::operator<(const COleDateTime& other) const { return Linear(m_dt) < Linear(other.m_dt); }
