#include "ImageBitmapCache.h"

#include "ImageCorrections.h"

namespace {

// A new bitmap holding a copy of source; null when a bitmap cannot be had or the copy fails.
IBitmapPtr CopyOf(zvkImage::IBitmap* source) {
  IBitmapPtr copy = TryCreateImageBitmap();
  if (!copy || FAILED(copy->CopyFrom(source))) return IBitmapPtr();
  return copy;
}

}  // namespace

void ImageBitmapCache::Entry::DropDerived() {
  corrected = nullptr;
  keyed = nullptr;
  displayCorrected = nullptr;
  displayKeyed = nullptr;
}

ImageBitmapCache::ImageBitmapCache(int32_t capacity) : capacity(capacity) {}

ImageBitmapCache::~ImageBitmapCache() { Clear(); }

ImageBitmapCache::Entry* ImageBitmapCache::Find(const std::string& key) {
  auto it = entries.find(key);
  return it == entries.end() ? nullptr : &it->second;
}

void ImageBitmapCache::Put(const std::string& key, zvkImage::IBitmap* original,
                           const ColorCorrectValues& values, const ChromaKey& chromaKey, int32_t rotation) {
  Entry* entry = Find(key);
  if (entry == nullptr) {
    if (capacity > 0 && entries.size() >= static_cast<size_t>(capacity)) {
      auto oldest = entries.begin();
      for (auto it = entries.begin(); it != entries.end(); ++it)
        if (it->second.lastUse < oldest->second.lastUse) oldest = it;
      entries.erase(oldest);
    }
    entry = &entries[key];
  }
  entry->original = original;
  entry->DropDerived();
  entry->values = values;
  entry->chromaKey = chromaKey;
  entry->rotation = rotation;
  Stamp(*entry);
}

void ImageBitmapCache::SetColorCorrect(const std::string& key, const ColorCorrectValues& values) {
  if (Entry* entry = Find(key)) {
    entry->values = values;
    entry->DropDerived();
    Stamp(*entry);
  }
}

void ImageBitmapCache::SetChromaKey(const std::string& key, const ChromaKey& chromaKey) {
  if (Entry* entry = Find(key)) {
    entry->chromaKey = chromaKey;
    entry->DropDerived();
    Stamp(*entry);
  }
}

void ImageBitmapCache::SetRotation(const std::string& key, int32_t rotation) {
  if (Entry* entry = Find(key)) {
    entry->rotation = rotation;
    entry->DropDerived();
    Stamp(*entry);
  }
}

IBitmapPtr ImageBitmapCache::GetOriginal(const std::string& key) {
  Entry* entry = Find(key);
  if (entry == nullptr) return IBitmapPtr();
  Stamp(*entry);
  return entry->original;
}

IBitmapPtr ImageBitmapCache::GetCorrected(const std::string& key, bool unkeyed) {
  Entry* entry = Find(key);
  if (entry == nullptr || !Prepare(*entry)) return IBitmapPtr();
  return unkeyed || !entry->keyed ? entry->corrected : entry->keyed;
}

IBitmapPtr ImageBitmapCache::GetDisplayCopy(const std::string& key, bool unkeyed) {
  Entry* entry = Find(key);
  if (entry == nullptr || !Prepare(*entry)) return IBitmapPtr();
  return unkeyed || !entry->displayKeyed ? entry->displayCorrected : entry->displayKeyed;
}

void ImageBitmapCache::Remove(const std::string& key) { entries.erase(key); }

void ImageBitmapCache::Clear() { entries.clear(); }

bool ImageBitmapCache::Contains(const std::string& key) const { return entries.count(key) != 0; }

bool ImageBitmapCache::Prepare(Entry& entry) {
  if (!entry.corrected) {
    // A failure leaves nothing half-derived behind to be served later.
    bool derived = false;
    try {
      derived = Derive(entry);
    } catch (...) {
      entry.DropDerived();
      throw;
    }
    if (!derived) {
      entry.DropDerived();
      return false;
    }
  }
  if (!entry.displayCorrected) {
    entry.displayCorrected = entry.corrected;
    entry.displayKeyed = entry.keyed;
  }
  Stamp(entry);
  return true;
}

bool ImageBitmapCache::Derive(Entry& entry) {
  if (!entry.original) return false;
  const bool keyed = IsChromaKeyed(entry.chromaKey);
  if (entry.values.IsZero() && !keyed && entry.rotation == 0) {
    entry.corrected = entry.original;
    entry.keyed = entry.original;
    return true;
  }
  entry.corrected = CopyOf(entry.original);
  if (!entry.corrected || !RotateByTenths(entry.corrected, entry.rotation)) return false;
  // Keying sees the turned, uncorrected pixels; both bitmaps then get the same correction.
  if (keyed) {
    entry.keyed = CopyOf(entry.corrected);
    if (!entry.keyed) return false;
    const HRESULT hr = ApplyChromaKey(entry.keyed, entry.chromaKey, entry.rotation);
    if (FAILED(hr)) return false;
    // Nothing keyed (a state that cannot be read): the keyed kinds show the corrected picture.
    if (hr == S_FALSE) entry.keyed = nullptr;
  }
  ApplyColorCorrection(entry.corrected, entry.values);
  if (entry.keyed) ApplyColorCorrection(entry.keyed, entry.values);
  return true;
}
