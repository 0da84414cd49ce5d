#include "LocaleFormat.h"

#include <cctype>
#include <cstdio>
#include <string>

namespace {

struct LocaleCache {
  bool haveDate = false, haveTime = false;
  CString shortDate, time;
  int dateOrder = 0;
};

LocaleCache& Cache() {
  static LocaleCache cache;
  return cache;
}

CString ReadLocale(LCTYPE type) {
  char text[128] = {};
  if (!GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text, sizeof(text))) return CString();
  return CString(text);
}

bool ToSystemTime(const COleDateTime& date, SYSTEMTIME& time) {
  if (date.GetStatus() != COleDateTime::valid) return false;
  return date.GetAsSystemTime(time) != FALSE;
}

}  // namespace

void OverrideLocaleFormats(const char* shortDateFormat, const char* timeFormat) {
  LocaleCache& cache = Cache();
  cache = LocaleCache();
  if (shortDateFormat) {
    cache.shortDate = shortDateFormat;
    cache.haveDate = true;
  }
  if (timeFormat) {
    cache.time = timeFormat;
    cache.haveTime = true;
  }
}

CString GetShortDateFormat() {
  LocaleCache& cache = Cache();
  if (!cache.haveDate) {
    cache.shortDate = ReadLocale(LOCALE_SSHORTDATE);
    cache.haveDate = true;
  }
  return cache.shortDate;
}

CString GetTimeFormatString() {
  LocaleCache& cache = Cache();
  if (!cache.haveTime) {
    cache.time = ReadLocale(LOCALE_STIMEFORMAT);
    cache.haveTime = true;
  }
  return cache.time;
}

int GetDateOrder() {
  LocaleCache& cache = Cache();
  if (cache.dateOrder) return cache.dateOrder;
  CString format = GetShortDateFormat();
  int order = 0;
  char previous = 0;
  for (int i = 0; i < format.GetLength(); ++i) {
    char c = static_cast<char>(std::toupper(static_cast<unsigned char>(format[i])));
    int digit = c == 'D' ? 1 : c == 'M' ? 2 : c == 'Y' ? 3 : 0;
    if (digit && c != previous) order = order * 10 + digit;  // one digit per run of equal letters
    previous = digit ? c : 0;
  }
  cache.dateOrder = (order == 123 || order == 213) ? order : 321;
  return cache.dateOrder;
}

CString FormatDate(const COleDateTime& date) {
  SYSTEMTIME time;
  if (!ToSystemTime(date, time)) return CString();
  CString format = GetShortDateFormat();
  char text[128] = {};
  if (!GetDateFormatA(LOCALE_USER_DEFAULT, 0, &time,
                      format.IsEmpty() ? nullptr : static_cast<const char*>(format), text, sizeof(text)))
    return CString();
  return CString(text);
}

CString FormatTime(const COleDateTime& date) {
  SYSTEMTIME time;
  if (!ToSystemTime(date, time)) return CString();
  CString format = GetTimeFormatString();
  char text[128] = {};
  if (!GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &time,
                      format.IsEmpty() ? nullptr : static_cast<const char*>(format), text, sizeof(text)))
    return CString();
  return CString(text);
}

COleDateTime ParseDate(const char* text) {
  std::string input = text ? text : "";
  int order = GetDateOrder();
  // Which value each group holds (0 day, 1 month, 2 year) and its most digits.
  int meaning[3], limit[3];
  if (order == 123) {
    meaning[0] = 0, meaning[1] = 1, meaning[2] = 2;
    limit[0] = 2, limit[1] = 2, limit[2] = 4;
  } else if (order == 213) {
    meaning[0] = 1, meaning[1] = 0, meaning[2] = 2;
    limit[0] = 2, limit[1] = 2, limit[2] = 4;
  } else {
    meaning[0] = 2, meaning[1] = 1, meaning[2] = 0;
    limit[0] = input.size() >= 8 ? 4 : 2, limit[1] = 2, limit[2] = 2;
  }
  std::string groups[3];
  int group = 0;
  bool groupEnded = false;
  for (char c : input) {
    if (group >= 3) break;
    if (std::isdigit(static_cast<unsigned char>(c))) {
      if (groupEnded || static_cast<int>(groups[group].size()) >= limit[group]) {
        if (!groups[group].empty() || groupEnded) ++group;
        groupEnded = false;
        if (group >= 3) break;
      }
      groups[group] += c;
    } else {
      groupEnded = true;
    }
  }
  int values[3] = {0, 0, 0};
  int yearDigits = 0;
  for (int g = 0; g < 3; ++g) {
    values[meaning[g]] = groups[g].empty() ? 0 : std::atoi(groups[g].c_str());
    if (meaning[g] == 2) yearDigits = static_cast<int>(groups[g].size());
  }
  int year = values[2];
  if (year < 100 && yearDigits <= 2) year += year >= 20 ? 1900 : 2000;
  COleDateTime date;
  date.SetDate(year, values[1], values[0]);
  return date;
}

CString FormatCurrency(const COleCurrency& value) {
  if (value.GetStatus() != COleCurrency::valid) return CString();
  long long amount = value.m_cur.int64;
  unsigned long long magnitude =
      amount < 0 ? 0ull - static_cast<unsigned long long>(amount) : static_cast<unsigned long long>(amount);
  char number[48];
  unsigned long long fraction = magnitude % 10000;
  if (fraction)
    std::snprintf(number, sizeof(number), "%s%llu.%04llu", amount < 0 ? "-" : "", magnitude / 10000,
                  fraction);
  else
    std::snprintf(number, sizeof(number), "%s%llu", amount < 0 ? "-" : "", magnitude / 10000);
  char text[128] = {};
  if (!GetCurrencyFormatA(LOCALE_USER_DEFAULT, 0, number, nullptr, text, sizeof(text))) return CString();
  return CString(text);
}

COleCurrency ParseCurrency(const char* text) {
  COleCurrency value;
  if (!text || !*text) {
    value.SetStatus(COleCurrency::null);
    return value;
  }
  try {
    value.ParseCurrency(text, 0, LOCALE_USER_DEFAULT);
  } catch (...) {
    value = COleCurrency();
  }
  return value;
}
