#include "DocumentText.h"

#include "resource.h"

CString ResourceText(UINT id) {
  CString text;
  text.LoadString(id);
  return text;
}

CString FileErrorText(UINT messageId, HRESULT hr) {
  char buffer[512] = {};
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                static_cast<DWORD>(hr), 0, buffer, sizeof(buffer), nullptr);
  CString system(buffer, static_cast<int>(length));
  if (system.GetLength() > 0 && system[system.GetLength() - 1] == '\n')
    system = system.Left(system.GetLength() - 1);
  if (system.GetLength() > 0 && system[system.GetLength() - 1] == '\r')
    system = system.Left(system.GetLength() - 1);
  // The system has no words for some codes (the storage ones among them): the code itself, then.
  if (system.IsEmpty()) system.Format("Unknown error 0x%0lX", static_cast<unsigned long>(hr));
  return ResourceText(messageId) + " " + ResourceText(IDS_ERROR) + ": " + system;
}
