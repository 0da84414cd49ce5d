// The one failure that record readers throw: short data or a record version they do not know.
#pragma once

#include <exception>
#include <string>

namespace zvk {

template <class T = void>
class TArchiveException : public std::exception {
 public:
  enum Kind {
    Unknown = 0,
    Generic = 1,
    ReadOnly = 2,
    EndOfFile = 3,
    WriteOnly = 4,
    BadIndex = 5,
    BadClass = 6,
    BadSchema = 7,
  };

  // "Archive Exception " followed by the kind's name.
  explicit TArchiveException(int kind);
  // "Archive Exception [<name>]\n<file name>(<line>)"; only the part of file after its last backslash
  // is used.
  TArchiveException(int kind, const char* file, int line);

  const char* what() const noexcept override { return message.c_str(); }
  int GetKind() const { return kind; }

  // The name text of a kind; "Unknown" for any number outside the known kinds.
  static const char* KindName(int kind);

 private:
  int kind;
  std::string message;
};

extern template class TArchiveException<void>;
using ArchiveException = TArchiveException<void>;

}  // namespace zvk
