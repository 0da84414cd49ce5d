// CFile: a Win32 file handle with reads, writes and seeks that throw CFileException, and
// CFileStatus for a file's times, size and attributes.
#pragma once

#include "classlib/Exception.h"
#include "classlib/Time.h"

#ifdef GetCurrentTime
#undef GetCurrentTime
#endif

struct CFileStatus {
  CTime m_ctime;  // creation
  CTime m_mtime;  // last change
  CTime m_atime;  // last access
  ULONGLONG m_size = 0;
  BYTE m_attribute = 0;
  char m_szFullName[MAX_PATH] = {};
};

class CFile {
 public:
  enum OpenFlags : UINT {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeNoInherit = 0x0080,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeText = 0x4000,
    typeBinary = 0x8000
  };
  enum Attribute {
    normal = 0x00,
    readOnly = 0x01,
    hidden = 0x02,
    system = 0x04,
    volume = 0x08,
    directory = 0x10,
    archive = 0x20
  };
  enum SeekPosition { begin = 0x0, current = 0x1, end = 0x2 };

  CFile() = default;
  explicit CFile(HANDLE file) : m_hFile(file) {}
  // Opens or throws CFileException.
  CFile(LPCTSTR fileName, UINT openFlags);
  virtual ~CFile();
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  operator HANDLE() const { return m_hFile; }  // NOLINT(google-explicit-constructor)

  // FALSE on failure, with the cause in *error when given.
  virtual BOOL Open(LPCTSTR fileName, UINT openFlags, CFileException* error = nullptr);
  virtual void Close();
  virtual void Abort();  // closes without throwing
  virtual UINT Read(void* buffer, UINT count);
  virtual void Write(const void* buffer, UINT count);
  virtual ULONGLONG Seek(LONGLONG offset, UINT from);
  void SeekToBegin() { Seek(0, begin); }
  ULONGLONG SeekToEnd() { return Seek(0, end); }
  virtual ULONGLONG GetPosition() const;
  virtual ULONGLONG GetLength() const;
  virtual void SetLength(ULONGLONG newLength);
  virtual void Flush();

  CString GetFilePath() const { return m_strFileName; }
  BOOL GetStatus(CFileStatus& status) const;
  static BOOL GetStatus(LPCTSTR fileName, CFileStatus& status);

  HANDLE m_hFile = INVALID_HANDLE_VALUE;

 protected:
  [[noreturn]] void ThrowLastError() const;

  CString m_strFileName;
  BOOL m_bCloseOnDelete = FALSE;
};
