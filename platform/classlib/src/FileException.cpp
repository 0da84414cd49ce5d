#include "classlib/FileException.h"

int CFileException::OsErrorToException(LONG osError) {
  switch (osError) {
    case NO_ERROR:
      return none;
    case ERROR_FILE_NOT_FOUND:
      return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
      return badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
      return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return accessDenied;
    case ERROR_INVALID_HANDLE:
      return invalidFile;
    case ERROR_CURRENT_DIRECTORY:
      return removeCurrentDir;
    case ERROR_NEGATIVE_SEEK:
    case ERROR_SEEK:
      return badSeek;
    case ERROR_SHARING_VIOLATION:
      return sharingViolation;
    case ERROR_LOCK_VIOLATION:
      return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return diskFull;
    case ERROR_HANDLE_EOF:
      return endOfFile;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
      return hardIO;
    default:
      return genericException;
  }
}

BOOL CFileException::GetErrorMessage(LPTSTR error, UINT maxChars, PUINT helpContext) const {
  if (helpContext != nullptr) *helpContext = 0;
  if (error == nullptr || maxChars == 0) return FALSE;
  CString text;
  if (m_lOsError > 0) {
    char* system = nullptr;
    DWORD got = FormatMessageA(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(m_lOsError), 0, reinterpret_cast<LPSTR>(&system), 0, nullptr);
    if (got > 0 && system != nullptr) text = system;
    if (system != nullptr) LocalFree(system);
    text.TrimRight();
  }
  if (text.IsEmpty()) text = m_cause == endOfFile ? "Unexpected end of file." : "A file error occurred.";
  if (!m_strFileName.IsEmpty()) text = m_strFileName + ": " + text;
  lstrcpynA(error, text, static_cast<int>(maxChars));
  return TRUE;
}
