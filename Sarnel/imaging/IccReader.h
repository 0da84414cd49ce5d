// Readers of ICC profile bytes for the tag walker: from a file, from memory, or from the job's embedded
// profile.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "IcmJob.h"

namespace zvk {

// Result codes of the readers, the tag walker and the description decoder.
enum IccCode : int {
  kIccOk = 0,
  kIccStopped = 1,     // the info handler stopped the walk (rejected, or every text found)
  kIccNeedBuffer = 3,  // a reader asks the caller for a buffer
  kIccReadFailed = -1,
  kIccShortRead = -2,
  kIccNotProfile = -3,
  kIccMalformed = -4,
  kIccNotText = -5,
};

class iccReader {
 public:
  virtual ~iccReader() = default;
  // Reads length bytes at offset into *buffer. With *buffer null the reader either points it at its own
  // bytes and answers 0, or answers kIccNeedBuffer.
  virtual int read(uint32_t offset, const void** buffer, uint32_t length) = 0;
};

// Reads length bytes through the reader into storage when it asks for a buffer; data points at them.
int ReadIccBlock(iccReader& reader, uint32_t offset, uint32_t length, std::vector<uint8_t>& storage,
                 const uint8_t*& data);

class iccFileReader : public iccReader {
 public:
  explicit iccFileReader(const std::string& path);
  ~iccFileReader() override;
  iccFileReader(const iccFileReader&) = delete;
  iccFileReader& operator=(const iccFileReader&) = delete;
  bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }
  DWORD LastError() const { return error_; }
  int read(uint32_t offset, const void** buffer, uint32_t length) override;

 private:
  HANDLE file_;
  DWORD error_ = 0;
};

class iccMemoryReader : public iccReader {
 public:
  iccMemoryReader(const void* bytes, size_t size) : bytes_(static_cast<const uint8_t*>(bytes)), size_(size) {}
  int read(uint32_t offset, const void** buffer, uint32_t length) override;

 private:
  const uint8_t* bytes_;
  size_t size_;
};

// The job's embedded profile, streamed whole on the first read. Profiles above kMaxEmbeddedProfile are
// refused (read failure) instead of being read into memory.
class iccDocReader : public iccReader {
 public:
  static constexpr size_t kMaxEmbeddedProfile = 16u << 20;
  iccDocReader(IcmJob& job, int spaceId) : job_(job), spaceId_(spaceId) {}
  int read(uint32_t offset, const void** buffer, uint32_t length) override;
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

  class Streamer : public ColorProfileStreamOut {
   public:
    explicit Streamer(std::vector<uint8_t>& into) : into_(into) {}
    bool Write(const void* block, size_t count) override;

   private:
    std::vector<uint8_t>& into_;
  };

 private:
  IcmJob& job_;
  int spaceId_;
  int state_ = 0;  // 0 not streamed, 1 streamed, -1 failed
  std::vector<uint8_t> bytes_;
};

}  // namespace zvk
