#include "classlib/MemFile.h"

#include <cstdlib>
#include <new>

CMemFile::CMemFile(UINT growBytes) : m_nGrowBytes(growBytes) {}

CMemFile::CMemFile(BYTE* buffer, UINT bytes, UINT growBytes) : m_nGrowBytes(growBytes) {
  Attach(buffer, bytes, growBytes);
}

CMemFile::~CMemFile() {
  if (m_lpBuffer != nullptr && m_bAutoDelete) Free(m_lpBuffer);
  m_lpBuffer = nullptr;
}

void CMemFile::Attach(BYTE* buffer, UINT bytes, UINT growBytes) {
  Close();
  m_lpBuffer = buffer;
  m_nBufferSize = bytes;
  // Memory of the caller's that may not grow is the data itself; growable memory starts empty.
  m_nFileSize = growBytes == 0 ? bytes : 0;
  m_nGrowBytes = growBytes;
  m_nPosition = 0;
  m_bAutoDelete = FALSE;
}

BYTE* CMemFile::Detach() {
  BYTE* block = m_lpBuffer;
  m_lpBuffer = nullptr;
  m_nBufferSize = m_nFileSize = m_nPosition = 0;
  m_bAutoDelete = TRUE;
  return block;
}

void CMemFile::Close() {
  if (m_lpBuffer != nullptr && m_bAutoDelete) Free(m_lpBuffer);
  m_lpBuffer = nullptr;
  m_nBufferSize = m_nFileSize = m_nPosition = 0;
  m_bAutoDelete = TRUE;
}

BYTE* CMemFile::Alloc(SIZE_T bytes) { return static_cast<BYTE*>(malloc(bytes)); }
BYTE* CMemFile::Realloc(BYTE* block, SIZE_T bytes) { return static_cast<BYTE*>(realloc(block, bytes)); }
void CMemFile::Free(BYTE* block) { free(block); }

void CMemFile::GrowFile(SIZE_T newSize) {
  if (newSize <= m_nBufferSize) return;
  if (m_nGrowBytes == 0) AfxThrowFileException(CFileException::diskFull, ERROR_DISK_FULL);
  SIZE_T size = m_nBufferSize;
  while (size < newSize) {
    if (size > static_cast<SIZE_T>(-1) - m_nGrowBytes) AfxThrowMemoryException();
    size += m_nGrowBytes;
  }
  BYTE* block = m_lpBuffer == nullptr ? Alloc(size) : Realloc(m_lpBuffer, size);
  if (block == nullptr) AfxThrowMemoryException();
  m_lpBuffer = block;
  m_nBufferSize = size;
}

UINT CMemFile::Read(void* buffer, UINT count) {
  if (m_nPosition >= m_nFileSize || count == 0) return 0;
  SIZE_T available = m_nFileSize - m_nPosition;
  UINT got = available < count ? static_cast<UINT>(available) : count;
  memcpy(buffer, m_lpBuffer + m_nPosition, got);
  m_nPosition += got;
  return got;
}

void CMemFile::Write(const void* buffer, UINT count) {
  if (count == 0) return;
  SIZE_T endPosition = m_nPosition + count;
  if (endPosition < m_nPosition) AfxThrowMemoryException();
  GrowFile(endPosition);
  // A write past the end after a seek leaves zeros in the gap, not old bytes.
  if (m_nPosition > m_nFileSize) memset(m_lpBuffer + m_nFileSize, 0, m_nPosition - m_nFileSize);
  memcpy(m_lpBuffer + m_nPosition, buffer, count);
  m_nPosition = endPosition;
  if (m_nPosition > m_nFileSize) m_nFileSize = m_nPosition;
}

ULONGLONG CMemFile::Seek(LONGLONG offset, UINT from) {
  LONGLONG base = from == end       ? static_cast<LONGLONG>(m_nFileSize)
                  : from == current ? static_cast<LONGLONG>(m_nPosition)
                                    : 0;
  LONGLONG target = base + offset;
  if (target < 0) AfxThrowFileException(CFileException::badSeek, ERROR_NEGATIVE_SEEK);
  m_nPosition = static_cast<SIZE_T>(target);
  return m_nPosition;
}

void CMemFile::SetLength(ULONGLONG newLength) {
  SIZE_T length = static_cast<SIZE_T>(newLength);
  GrowFile(length);
  if (length > m_nFileSize) memset(m_lpBuffer + m_nFileSize, 0, length - m_nFileSize);
  m_nFileSize = length;
  if (m_nPosition > length) m_nPosition = length;
}
