#include "classlib/SharedFile.h"

CSharedFile::CSharedFile(UINT allocFlags, UINT growBytes) : CMemFile(growBytes), m_nAllocFlags(allocFlags) {}

CSharedFile::~CSharedFile() {
  Close();  // through our Free while the object is still a CSharedFile
}

BYTE* CSharedFile::Alloc(SIZE_T bytes) {
  m_hMem = GlobalAlloc(m_nAllocFlags, bytes);
  if (m_hMem == nullptr) return nullptr;
  return static_cast<BYTE*>(GlobalLock(m_hMem));
}

BYTE* CSharedFile::Realloc(BYTE* /*block*/, SIZE_T bytes) {
  GlobalUnlock(m_hMem);
  HGLOBAL grown = GlobalReAlloc(m_hMem, bytes, m_nAllocFlags);
  if (grown == nullptr) {
    GlobalLock(m_hMem);  // the old block is intact; keep it locked for the file
    return nullptr;
  }
  m_hMem = grown;
  return static_cast<BYTE*>(GlobalLock(m_hMem));
}

void CSharedFile::Free(BYTE* /*block*/) {
  if (m_hMem == nullptr) return;
  GlobalUnlock(m_hMem);
  GlobalFree(m_hMem);
  m_hMem = nullptr;
}

HGLOBAL CSharedFile::Detach() {
  HGLOBAL block = m_hMem;
  if (block != nullptr) {
    GlobalUnlock(block);
    // Readers of clipboard data go by GlobalSize, so the block ends where the data ends.
    if (m_nFileSize > 0 && m_nFileSize < m_nBufferSize) {
      HGLOBAL trimmed = GlobalReAlloc(block, m_nFileSize, GMEM_MOVEABLE);
      if (trimmed != nullptr) block = trimmed;
    }
  }
  m_hMem = nullptr;
  CMemFile::Detach();
  return block;
}

void CSharedFile::SetHandle(HGLOBAL block, BOOL allowGrow) {
  Close();
  m_hMem = block;
  m_lpBuffer = static_cast<BYTE*>(GlobalLock(block));
  m_nBufferSize = m_nFileSize = GlobalSize(block);
  m_nPosition = 0;
  m_bAutoDelete = TRUE;
  if (!allowGrow) m_nGrowBytes = 0;
}
