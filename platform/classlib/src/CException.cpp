#include "classlib/Exception.h"

#include "classlib/Prompt.h"

void CException::Delete() {
  if (m_bAutoDelete) delete this;
}

BOOL CException::GetErrorMessage(LPTSTR error, UINT maxChars, PUINT helpContext) const {
  if (helpContext != nullptr) *helpContext = 0;
  if (error != nullptr && maxChars > 0) *error = '\0';
  return FALSE;
}

BOOL CException::CopyMessage(LPCTSTR text, LPTSTR error, UINT maxChars, PUINT helpContext) {
  if (helpContext != nullptr) *helpContext = 0;
  if (error == nullptr || maxChars == 0) return FALSE;
  lstrcpynA(error, text, static_cast<int>(maxChars));
  return TRUE;
}

int CException::ReportError(UINT type, UINT messageId) const {
  char text[1024] = {};
  if (GetErrorMessage(text, sizeof(text))) return AfxMessageBox(text, type);
  if (messageId != 0) return AfxMessageBox(messageId, type);
  return AfxMessageBox("No error message is available.", type);
}

BOOL CMemoryException::GetErrorMessage(LPTSTR error, UINT maxChars, PUINT helpContext) const {
  return CopyMessage("Out of memory.", error, maxChars, helpContext);
}

BOOL CResourceException::GetErrorMessage(LPTSTR error, UINT maxChars, PUINT helpContext) const {
  return CopyMessage("A required resource was unavailable.", error, maxChars, helpContext);
}

BOOL CNotSupportedException::GetErrorMessage(LPTSTR error, UINT maxChars, PUINT helpContext) const {
  return CopyMessage("An unsupported operation was attempted.", error, maxChars, helpContext);
}

int CUserException::ReportError(UINT /*type*/, UINT /*messageId*/) const { return IDOK; }

void AfxThrowMemoryException() { throw new CMemoryException(); }
void AfxThrowResourceException() { throw new CResourceException(); }
void AfxThrowNotSupportedException() { throw new CNotSupportedException(); }
void AfxThrowUserException() { throw new CUserException(); }
void AfxThrowFileException(int cause, LONG osError, LPCTSTR fileName) {
  throw new CFileException(cause, osError, fileName);
}
