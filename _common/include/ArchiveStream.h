// An archive over an OLE stream: the streams of the job file.
#pragma once

#include "ArchiveBase.h"

#include <objidl.h>

namespace zvk {

template <class T = void>
class TArchiveStream : public Archive {
 public:
  // Keeps its own reference on the stream (may be null).
  explicit TArchiveStream(IStream* stream = nullptr);
  TArchiveStream(const TArchiveStream&) = delete;
  TArchiveStream& operator=(const TArchiveStream&) = delete;
  ~TArchiveStream() override;

  unsigned Read(void* buffer, unsigned count) override;
  unsigned Write(const void* buffer, unsigned count) override;
  bool CanSeek() override { return true; }
  long Seek(long offset, int origin) override;
  bool CanSetSize() override { return true; }
  unsigned SetSize(unsigned size) override;
  // Cuts at the current position, with the full 64-bit position of the stream.
  unsigned Truncate() override;
  bool CanClone() override { return true; }
  // A new archive on the heap over a clone of the stream; give it back with its DestroyClone.
  Archive* Clone() override;
  void DestroyClone() override;
  bool GetRemaining(uint64_t& bytes) override;

  IStream* GetStream() const { return stream; }

 private:
  IStream* stream;
};

extern template class TArchiveStream<void>;
using ArchiveStream = TArchiveStream<void>;

}  // namespace zvk
