#include "IccReader.h"

#include <cstring>
#include <new>

namespace zvk {

int ReadIccBlock(iccReader& reader, uint32_t offset, uint32_t length, std::vector<uint8_t>& storage,
                 const uint8_t*& data) {
  const void* p = nullptr;
  int rc = reader.read(offset, &p, length);
  if (rc == kIccNeedBuffer) {
    storage.resize(length);
    p = storage.data();
    rc = reader.read(offset, &p, length);
  }
  data = static_cast<const uint8_t*>(p);
  return rc;
}

iccFileReader::iccFileReader(const std::string& path)
    : file_(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_FLAG_SEQUENTIAL_SCAN, nullptr)) {
  if (file_ == INVALID_HANDLE_VALUE) error_ = GetLastError();
}

iccFileReader::~iccFileReader() {
  if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

int iccFileReader::read(uint32_t offset, const void** buffer, uint32_t length) {
  if (*buffer == nullptr) return kIccNeedBuffer;
  if (file_ == INVALID_HANDLE_VALUE) return kIccReadFailed;
  LARGE_INTEGER at;
  at.QuadPart = offset;
  if (!SetFilePointerEx(file_, at, nullptr, FILE_BEGIN)) {
    error_ = GetLastError();
    return kIccReadFailed;
  }
  DWORD got = 0;
  if (!ReadFile(file_, const_cast<void*>(*buffer), length, &got, nullptr)) {
    error_ = GetLastError();
    return kIccReadFailed;
  }
  if (got != length) {
    error_ = ERROR_HANDLE_EOF;
    return kIccShortRead;
  }
  return kIccOk;
}

int iccMemoryReader::read(uint32_t offset, const void** buffer, uint32_t length) {
  if (uint64_t{offset} + length > size_) return kIccShortRead;
  if (*buffer == nullptr)
    *buffer = bytes_ + offset;
  else
    std::memcpy(const_cast<void*>(*buffer), bytes_ + offset, length);
  return kIccOk;
}

bool iccDocReader::Streamer::Write(const void* block, size_t count) {
  if (count > kMaxEmbeddedProfile - into_.size()) return false;
  const auto* b = static_cast<const uint8_t*>(block);
  into_.insert(into_.end(), b, b + count);
  return true;
}

int iccDocReader::read(uint32_t offset, const void** buffer, uint32_t length) {
  if (state_ == 0) {
    Streamer streamer(bytes_);
    state_ = job_.ReadColorProfile(streamer, spaceId_) ? 1 : -1;
    if (state_ < 0) std::vector<uint8_t>().swap(bytes_);
  }
  if (state_ < 0) return kIccReadFailed;
  iccMemoryReader memory(bytes_.data(), bytes_.size());
  return memory.read(offset, buffer, length);
}

}  // namespace zvk
