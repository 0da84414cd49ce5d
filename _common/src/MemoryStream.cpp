#include "MemoryStream.h"

#include <cstring>
#include <new>
#include <stdexcept>

MemoryStream* MemoryStream::Create() { return new MemoryStream(); }

HRESULT STDMETHODCALLTYPE MemoryStream::Read(void* buffer, ULONG count, ULONG* read) {
  uint64_t available = position < bytes.size() ? bytes.size() - position : 0;
  ULONG n = count < available ? count : static_cast<ULONG>(available);
  if (n) std::memcpy(buffer, bytes.data() + position, n);
  position += n;
  if (read) *read = n;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE MemoryStream::Write(const void* buffer, ULONG count, ULONG* written) {
  if (written) *written = 0;
  // Positions are 32-bit: a write whose end does not fit is out of room, never a wrapped offset.
  uint64_t end = static_cast<uint64_t>(position) + count;
  if (end > 0xFFFFFFFFull) return E_OUTOFMEMORY;
  if (end > bytes.size()) {
    try {
      bytes.resize(static_cast<size_t>(end), 0);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    } catch (const std::length_error&) {
      return E_OUTOFMEMORY;
    }
  }
  if (count) std::memcpy(bytes.data() + position, buffer, count);
  position = static_cast<uint32_t>(end);
  if (written) *written = count;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE MemoryStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) {
  int64_t base;
  switch (origin) {
    case STREAM_SEEK_SET:
      base = 0;
      break;
    case STREAM_SEEK_CUR:
      base = position;
      break;
    case STREAM_SEEK_END:
      base = static_cast<int64_t>(bytes.size());
      break;
    default:
      return STG_E_INVALIDFUNCTION;
  }
  // The move is taken with its sign, so a target before the start is refused like one past the end.
  int64_t target = base + static_cast<int64_t>(static_cast<int32_t>(move.LowPart));
  if (move.QuadPart > INT32_MAX || move.QuadPart < INT32_MIN) target = -1;
  if (target < 0 || static_cast<uint64_t>(target) > bytes.size()) return STG_E_INVALIDPOINTER;
  position = static_cast<uint32_t>(target);
  if (newPosition) newPosition->QuadPart = position;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE MemoryStream::SetSize(ULARGE_INTEGER) { return S_OK; }

std::vector<uint8_t> MemoryStream::TakeBytes() {
  std::vector<uint8_t> taken;
  taken.swap(bytes);
  position = 0;
  return taken;
}

MD5Digest MemoryStream::GetDigest() const { return ComputeMD5(bytes.data(), bytes.size()); }
