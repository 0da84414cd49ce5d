// CMemFile: a growable file in memory. The block grows in steps of the growth size.
#pragma once

#include "classlib/CFile.h"

class CMemFile : public CFile {
 public:
  explicit CMemFile(UINT growBytes = 1024);
  CMemFile(BYTE* buffer, UINT bytes, UINT growBytes = 0);  // over the caller's memory
  ~CMemFile() override;

  void Attach(BYTE* buffer, UINT bytes, UINT growBytes = 0);
  // Gives the block to the caller (who frees it the way Alloc made it); the file is then empty.
  BYTE* Detach();

  BOOL Open(LPCTSTR, UINT, CFileException* = nullptr) override { return FALSE; }
  void Close() override;
  void Abort() override { Close(); }
  UINT Read(void* buffer, UINT count) override;
  void Write(const void* buffer, UINT count) override;
  ULONGLONG Seek(LONGLONG offset, UINT from) override;
  ULONGLONG GetPosition() const override { return m_nPosition; }
  ULONGLONG GetLength() const override { return m_nFileSize; }
  void SetLength(ULONGLONG newLength) override;
  void Flush() override {}

 protected:
  // How the block is made, grown and freed; CSharedFile uses global memory.
  virtual BYTE* Alloc(SIZE_T bytes);
  virtual BYTE* Realloc(BYTE* block, SIZE_T bytes);
  virtual void Free(BYTE* block);
  void GrowFile(SIZE_T newSize);

  UINT m_nGrowBytes;
  SIZE_T m_nPosition = 0;
  SIZE_T m_nBufferSize = 0;
  SIZE_T m_nFileSize = 0;
  BYTE* m_lpBuffer = nullptr;
  BOOL m_bAutoDelete = TRUE;
};
