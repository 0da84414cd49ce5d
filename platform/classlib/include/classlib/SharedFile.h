// CSharedFile: a memory file in a movable global block, handed to the clipboard with Detach.
#pragma once

#include "classlib/MemFile.h"

class CSharedFile : public CMemFile {
 public:
  explicit CSharedFile(UINT allocFlags = GMEM_MOVEABLE, UINT growBytes = 4096);
  ~CSharedFile() override;

  // Gives away the global block, trimmed to the file's length; the file is then empty.
  HGLOBAL Detach();
  // Takes a global block of `bytes` data bytes.
  void SetHandle(HGLOBAL block, BOOL allowGrow = TRUE);

 protected:
  BYTE* Alloc(SIZE_T bytes) override;
  BYTE* Realloc(BYTE* block, SIZE_T bytes) override;
  void Free(BYTE* block) override;

  UINT m_nAllocFlags;
  HGLOBAL m_hMem = nullptr;
};
