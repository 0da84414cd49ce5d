#include "ArchiveMemory.h"

#include "ArchiveErrors.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace zvk {

template <class T>
TArchiveMemory<T>::TArchiveMemory()
    : userBuffer(false), data(nullptr), capacity(0), size(0), position(0), growthStep(DefaultGrowthStep) {}

template <class T>
TArchiveMemory<T>::TArchiveMemory(void* buffer, unsigned length)
    : userBuffer(true),
      data(static_cast<uint8_t*>(buffer)),
      capacity(length),
      size(length),
      position(0),
      growthStep(0xFFFFFFFFu) {}

template <class T>
TArchiveMemory<T>::TArchiveMemory(const void* buffer, unsigned length)
    : TArchiveMemory(const_cast<void*>(buffer), length) {}

template <class T>
TArchiveMemory<T>::TArchiveMemory(const TArchiveMemory& other)
    : Archive(other), userBuffer(false), data(nullptr), capacity(0), size(0), position(0), growthStep(0) {
  CopyFrom(other);
}

template <class T>
TArchiveMemory<T>& TArchiveMemory<T>::operator=(const TArchiveMemory& other) {
  if (this == &other) return *this;
  TArchiveMemory copy(other);  // allocate first, so that a failure leaves this archive as it was
  if (!userBuffer) std::free(data);
  userBuffer = copy.userBuffer;
  data = copy.data;
  capacity = copy.capacity;
  size = copy.size;
  position = copy.position;
  growthStep = copy.growthStep;
  copy.userBuffer = true;  // the copy's block now belongs to this archive
  return *this;
}

template <class T>
void TArchiveMemory<T>::CopyFrom(const TArchiveMemory& other) {
  userBuffer = other.userBuffer;
  if (other.userBuffer || !other.data) {
    data = other.userBuffer ? other.data : nullptr;
    capacity = other.userBuffer ? other.capacity : 0;
  } else {
    data = static_cast<uint8_t*>(std::malloc(other.capacity ? other.capacity : 1));
    if (!data) ThrowBadAllocation();
    std::memcpy(data, other.data, other.capacity);
    capacity = other.capacity;
  }
  size = other.size;
  position = other.position;
  growthStep = other.growthStep;
}

template <class T>
TArchiveMemory<T>::~TArchiveMemory() {
  if (!userBuffer) std::free(data);
}

template <class T>
unsigned TArchiveMemory<T>::Read(void* buffer, unsigned count) {
  if (!data) ThrowArchiveUninitialized();
  if (count == 0) return 0;
  if (position > size) ThrowArchiveOffset();
  unsigned n = size - position;
  if (count < n) n = count;
  std::memcpy(buffer, data + position, n);
  position += n;
  return n;
}

// Grows the own buffer so that it holds `end` bytes, in whole growth steps.
template <class T>
void TArchiveMemory<T>::Reserve(uint64_t end) {
  if (end <= capacity) return;
  if (userBuffer) ThrowArchiveUserBuffer();
  uint64_t step = growthStep ? growthStep : DefaultGrowthStep;
  uint64_t rounded = (end + step - 1) / step * step;
  if (rounded > 0xFFFFFFFFull) ThrowBadAllocation();  // the archive's offsets are 32-bit
  void* block =
      data ? std::realloc(data, static_cast<size_t>(rounded)) : std::malloc(static_cast<size_t>(rounded));
  if (!block) ThrowBadAllocation();
  data = static_cast<uint8_t*>(block);
  capacity = static_cast<uint32_t>(rounded);
}

template <class T>
unsigned TArchiveMemory<T>::Write(const void* buffer, unsigned count) {
  if (count == 0) return 0;
  if (position > size) ThrowArchiveOffset();
  uint64_t end = static_cast<uint64_t>(position) + count;
  Reserve(end);
  std::memcpy(data + position, buffer, count);
  position = static_cast<uint32_t>(end);
  if (position > size) size = position;
  return count;
}

template <class T>
long TArchiveMemory<T>::Seek(long offset, int origin) {
  uint32_t base;
  switch (origin) {
    case 0:
      base = 0;
      break;
    case 1:
      base = position;
      break;
    case 2:
      base = size;
      break;
    default:
      ThrowArchiveOrigin();
  }
  // No range check here: a later Read or Write beyond the end fails with "Archive Offset".
  position = base + static_cast<uint32_t>(offset);
  return static_cast<long>(position);
}

template <class T>
unsigned TArchiveMemory<T>::SetSize(unsigned newSize) {
  if (userBuffer) ThrowArchiveUserBuffer();
  uint64_t step = growthStep ? growthStep : DefaultGrowthStep;
  uint64_t rounded = (static_cast<uint64_t>(newSize) + step - 1) / step * step;
  if (rounded > 0xFFFFFFFFull) ThrowBadAllocation();
  // A size of 0 keeps the block (or none): the archive stays valid and empty.
  if (rounded != 0 && rounded != capacity) {
    void* block =
        data ? std::realloc(data, static_cast<size_t>(rounded)) : std::malloc(static_cast<size_t>(rounded));
    if (!block) ThrowBadAllocation();
    data = static_cast<uint8_t*>(block);
    capacity = static_cast<uint32_t>(rounded);
  }
  if (newSize > size) std::memset(data + size, 0, newSize - size);  // grown content reads as zeros
  size = newSize;
  return newSize;
}

template <class T>
bool TArchiveMemory<T>::GetRemaining(uint64_t& bytes) {
  bytes = position < size ? size - position : 0;
  return true;
}

template class TArchiveMemory<void>;

}  // namespace zvk
