// The byte-stream abstraction under every record the program loads and saves.
#pragma once

#include <cstdint>

namespace zvk {

// A byte stream that records are written to and read from. Values are raw little-endian bytes; the
// primitive readers and writers of ArchivePrimitives.h sit on top of Read and Write.
class Archive {
 public:
  virtual ~Archive() = default;

  // Returns the number of bytes read; fewer than asked only at the end of the data.
  virtual unsigned Read(void* buffer, unsigned count) = 0;
  virtual unsigned Write(const void* buffer, unsigned count) = 0;

  virtual bool CanSeek() { return false; }
  // origin 0 from the start, 1 from the current position, 2 from the end; returns the new position.
  virtual long Seek(long offset, int origin);
  virtual bool CanSetSize() { return false; }
  virtual unsigned SetSize(unsigned size);
  // Cuts the archive at the current position, so that a shorter rewrite leaves no old bytes behind.
  virtual unsigned Truncate();
  virtual bool CanClone() { return false; }
  virtual Archive* Clone() { return nullptr; }
  virtual void DestroyClone() {}
  virtual void Reserved1() {}
  virtual void Reserved2() {}
  virtual void Reserved3() {}

  // How many bytes lie between the current position and the end, when the archive can tell.
  // Readers check every length read from the data against it before they allocate anything.
  virtual bool GetRemaining(uint64_t& bytes);

 protected:
  Archive() = default;
  Archive(const Archive&) = default;
  Archive& operator=(const Archive&) = default;
};

}  // namespace zvk
