#include "ArchiveException.h"

#include <cstring>

namespace zvk {

template <class T>
const char* TArchiveException<T>::KindName(int kind) {
  static const char* const names[] = {"Unknown",   "Generic",  "ReadOnly", "EndOfFile",
                                      "WriteOnly", "BadIndex", "BadClass", "BadSchema"};
  if (kind < 0 || kind > BadSchema) return names[0];
  return names[kind];
}

template <class T>
TArchiveException<T>::TArchiveException(int kind) : kind(kind) {
  message = "Archive Exception ";
  message += KindName(kind);
}

template <class T>
TArchiveException<T>::TArchiveException(int kind, const char* file, int line) : kind(kind) {
  const char* name = file ? file : "";
  // Paths from a cross compiler use forward slashes; they separate names as well.
  for (const char* p = name; *p; ++p)
    if (*p == '\\' || *p == '/') name = p + 1;
  message = "Archive Exception [";
  message += KindName(kind);
  message += "]\n";
  message += name;
  message += "(";
  message += std::to_string(line);
  message += ")";
}

template class TArchiveException<void>;

}  // namespace zvk
