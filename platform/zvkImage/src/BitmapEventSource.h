// The bitmap's connection point for IBitmapEvents. It lives inside the bitmap and shares its reference
// count. Sinks are called outside any lock of this class, each with a reference held for the call.
#pragma once

#include <mutex>
#include <vector>

#include <zvkImage/zvkImage.h>

namespace zvkImage {

class BitmapEventSource final : public IConnectionPoint {
 public:
  BitmapEventSource(IUnknown* owner, IConnectionPointContainer* container)
      : owner_(owner), container_(container) {}
  ~BitmapEventSource();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return owner_->AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return owner_->Release(); }
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

  void FireLoadProgress(LONG_PTR caller, long done, long total) { Fire(true, caller, done, total); }
  void FireSaveProgress(LONG_PTR caller, long done, long total) { Fire(false, caller, done, total); }
  bool HasSinks();

 private:
  void Fire(bool load, LONG_PTR caller, long done, long total);

  IUnknown* owner_;
  IConnectionPointContainer* container_;
  std::mutex lock_;
  DWORD nextCookie_ = 1;
  std::vector<std::pair<DWORD, IBitmapEvents*>> sinks_;
};

}  // namespace zvkImage
