// A bounded set of decoded pictures, each with the bitmaps derived from it on request: the corrected
// bitmap (fine rotation and colour correction) and the keyed one (also chroma-keyed), and the display
// pair that views paint. Keyed by the picture's identifier text; used from the user-interface thread
// only (no lock of its own).
#pragma once

#include "ChromaKey.h"
#include "ColorCorrectValues.h"
#include "ImageBitmap.h"

#include <cstdint>
#include <map>
#include <string>

class ImageBitmapCache {
 public:
  explicit ImageBitmapCache(int32_t capacity);
  ~ImageBitmapCache();
  ImageBitmapCache(const ImageBitmapCache&) = delete;
  ImageBitmapCache& operator=(const ImageBitmapCache&) = delete;

  // Stores a picture with its corrections. A known key takes the new values and drops its derived
  // bitmaps; a new key first evicts the least recently used entry when the cache is full.
  void Put(const std::string& key, zvkImage::IBitmap* original, const ColorCorrectValues& values,
           const ChromaKey& chromaKey, int32_t rotation);

  // Replace one part of a known entry and drop its derived bitmaps; an unknown key is ignored.
  void SetColorCorrect(const std::string& key, const ColorCorrectValues& values);
  void SetChromaKey(const std::string& key, const ChromaKey& chromaKey);
  void SetRotation(const std::string& key, int32_t rotation);

  // The stored bitmap as put, without deriving anything, so that tools can sample a picture whose key
  // or turn fails. Null for an unknown key.
  IBitmapPtr GetOriginal(const std::string& key);
  // The corrected bitmap (unkeyed) or the keyed one when the picture has one. Null for an unknown key
  // or when a library call of the derivation failed; the next request derives again. Raises the COM
  // error when a bitmap cannot be made for another reason or the tables or saturation fail.
  IBitmapPtr GetCorrected(const std::string& key, bool unkeyed);
  IBitmapPtr GetDisplayCopy(const std::string& key, bool unkeyed);

  void Remove(const std::string& key);
  void Clear();
  bool Contains(const std::string& key) const;
  size_t GetCount() const { return entries.size(); }

 private:
  struct Entry {
    IBitmapPtr original;
    IBitmapPtr corrected;
    IBitmapPtr keyed;
    IBitmapPtr displayCorrected;
    IBitmapPtr displayKeyed;
    ColorCorrectValues values;
    ChromaKey chromaKey;
    int32_t rotation = 0;
    uint64_t lastUse = 0;

    void DropDerived();
  };

  // Derives what the entry lacks; false when a library call failed (the derived bitmaps are then gone).
  bool Prepare(Entry& entry);
  bool Derive(Entry& entry);
  void Stamp(Entry& entry) { entry.lastUse = ++uses; }
  Entry* Find(const std::string& key);

  int32_t capacity;
  // std::string orders by unsigned bytes, shorter first on a common prefix.
  std::map<std::string, Entry> entries;
  // Uses are ordered by a counter: a clock would wrap and then evict the newest pictures first.
  uint64_t uses = 0;
};
