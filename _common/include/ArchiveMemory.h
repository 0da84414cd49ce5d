// A growable memory buffer as an archive: profile values, clipboard payloads, records built in memory.
#pragma once

#include "ArchiveBase.h"

#include <cstdint>

namespace zvk {

template <class T = void>
class TArchiveMemory : public Archive {
 public:
  enum : uint32_t { DefaultGrowthStep = 4000 };

  // Empty: the buffer is allocated by the first write and grows in whole growth steps.
  TArchiveMemory();
  // Over the caller's buffer: readable and overwritable, never grown, resized or freed.
  TArchiveMemory(void* buffer, unsigned length);
  TArchiveMemory(const void* buffer, unsigned length);
  TArchiveMemory(const TArchiveMemory& other);
  TArchiveMemory& operator=(const TArchiveMemory& other);
  ~TArchiveMemory() override;

  unsigned Read(void* buffer, unsigned count) override;
  unsigned Write(const void* buffer, unsigned count) override;
  bool CanSeek() override { return true; }
  long Seek(long offset, int origin) override;
  bool CanSetSize() override { return false; }
  unsigned SetSize(unsigned size) override;
  bool GetRemaining(uint64_t& bytes) override;

  // What a writer hands on: the bytes and how many of them are content.
  const uint8_t* GetData() const { return data; }
  uint8_t* GetData() { return data; }
  unsigned GetSize() const { return size; }
  unsigned GetPosition() const { return position; }
  unsigned GetCapacity() const { return capacity; }
  unsigned GetGrowthStep() const { return growthStep; }
  bool IsUserBuffer() const { return userBuffer; }

 private:
  void CopyFrom(const TArchiveMemory& other);
  void Reserve(uint64_t end);

  bool userBuffer;
  uint8_t* data;
  uint32_t capacity;
  uint32_t size;
  uint32_t position;
  uint32_t growthStep;
};

extern template class TArchiveMemory<void>;
using ArchiveMemory = TArchiveMemory<void>;

}  // namespace zvk
