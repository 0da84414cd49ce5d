// The one process-wide store of colour-management resources: the source profiles images are drawn from,
// one conversion per (source, target profile, intent), the display's profile path and a working profile.
// Drawing objects register as users while they draw; everything they borrow stays valid until the last
// user leaves, and invalidation requests made meanwhile wait for that moment.
#pragma once

#include <windows.h>

#include <array>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "ColourTable.h"
#include "IcmJob.h"
#include "Mscms.h"
#include "RgbSpaces.h"

namespace zvk {

// The conversion of one (source, target, intent): the system's transform and its sampled table.
struct IcmConversion {
  ColourTransform transform;
  std::unique_ptr<ColourTable> table;
};

class IcmCache {
 public:
  // A source of profile bytes (a job's embedded profile).
  class AProfile {
   public:
    virtual ~AProfile() = default;
    virtual HRESULT StreamProfile(ColorProfileStreamOut& sink) = 0;
  };
  // A document's colour space: kinds 1..9 named RGB space, -2 embedded profile, -1 none.
  class ADocumentSpace : public AProfile {
   public:
    virtual int DocumentNumber() = 0;
    virtual int SpaceId() = 0;
    virtual int ProfileKind() = 0;
  };

  static constexpr HRESULT kNoDisplayProfile = static_cast<HRESULT>(0x80070902);
  static constexpr HRESULT kUnknownKind = static_cast<HRESULT>(0x80070903);
  static constexpr size_t kMaxEmbeddedProfile = 16u << 20;

  IcmCache() = default;
  ~IcmCache();
  IcmCache(const IcmCache&) = delete;
  IcmCache& operator=(const IcmCache&) = delete;

  static IcmCache& Instance();

  HRESULT AddRef();
  HRESULT Release();

  // The conversion from the default source (named space 1) to the target profile for the intent. S_OK with
  // a null conversion when source and target are the same profile (nothing to convert).
  HRESULT GetSourceConversion(int intent, const std::string& target, const IcmConversion** out);
  // Likewise for a document's colour space; S_FALSE with a null conversion when it has none.
  HRESULT GetDocumentConversion(ADocumentSpace& space, int intent, const std::string& target,
                                const IcmConversion** out);

  // The display's profile; the system's sRGB profile when the display has none or its file is missing.
  HRESULT GetDisplayProfile(std::string& path);
  // A profile file of the system's default colour space, made once.
  HRESULT GetWorkingProfile(std::string& path);
  static const char* GetSRGBProfileName() { return "sRGB Color Space Profile.icm"; }
  // The full path of the sRGB profile renders go to.
  static std::string SrgbTargetPath();

  HRESULT InvalidateColorSpaces();
  HRESULT InvalidateAll();
  HRESULT InvalidateDisplay();
  HRESULT ReleaseDocumentSpace(int documentNumber);
  // Works off the queued requests when no user is registered; false when it had to wait.
  bool Purge();

  // What the cache holds, for tests.
  size_t EntryCount();
  size_t ConversionCount();
  std::vector<std::string> TemporaryFiles();

 private:
  enum Request : unsigned { kAll = 1, kDisplay = 2, kSpaces = 4, kDocuments = 8 };
  struct Entry {
    int namedId = 0;  // 1..9, or 0 for a profile file
    ColourSpaceDescription description{};
    std::string file;  // the temporary copy of an embedded profile
    HANDLE held = INVALID_HANDLE_VALUE;
    ColourProfile profile;  // opened on first use
    std::map<std::pair<std::string, int>, std::pair<std::unique_ptr<IcmConversion>, int>>
        conversions;  // with use counts
    int holders = 0;
  };
  struct Holder {  // a document space, or the default source
    Entry* entry = nullptr;
    bool none = false;
    std::set<std::pair<std::string, int>> uses;
  };

  HRESULT Conversion(Holder& holder, int intent, const std::string& target, const IcmConversion** out);
  Entry* NamedEntry(int id);
  HRESULT FileEntry(AProfile& profile, Entry** out);
  void ReleaseHolder(Holder& holder);
  void DropEntry(Entry* entry);
  void DropAllEntries();
  void DropConversions();
  HRESULT Request(unsigned bits, int documentNumber = -1);

  std::recursive_mutex lock_;
  int users_ = 0;
  unsigned requests_ = 0;
  std::vector<std::unique_ptr<Entry>> entries_;
  std::map<int, Entry*> byId_;
  std::map<std::pair<int, int>, Holder> documents_;
  Holder defaultSource_;
  std::set<int> pendingDocuments_;
  std::string displayPath_;
  std::string workingPath_;
  HANDLE workingHeld_ = INVALID_HANDLE_VALUE;
};

}  // namespace zvk
