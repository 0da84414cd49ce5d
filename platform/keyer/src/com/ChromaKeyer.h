// The keyer object: one model, changed by one operation at a time, saved as an immutable state.
#pragma once

#include <atomic>
#include <functional>
#include <vector>

#include "keyer/ChromaKeyer.h"
#include "keyer/KeyerModel.h"

class ChromaKeyer final : public IChromaKeyer {
 public:
  ChromaKeyer();

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IChromaKeyer
  HRESULT STDMETHODCALLTYPE LoadState(BSTR path) override;
  HRESULT STDMETHODCALLTYPE SaveState(BSTR* path) override;
  HRESULT STDMETHODCALLTYPE AutoCompute(IUnknown* bitmap, float backgroundFactor,
                                        float foregroundFactor) override;
  HRESULT STDMETHODCALLTYPE SelectBackgroundColor(VARIANT sample) override;
  HRESULT STDMETHODCALLTYPE CleanBackground(VARIANT sample) override;
  HRESULT STDMETHODCALLTYPE CleanForeground(VARIANT sample) override;
  HRESULT STDMETHODCALLTYPE MatteSponge(VARIANT sample) override;
  HRESULT STDMETHODCALLTYPE SpillSponge(VARIANT sample) override;
  HRESULT STDMETHODCALLTYPE MakeForegroundTransparent(VARIANT sample) override;
  HRESULT STDMETHODCALLTYPE RestoreDetail(VARIANT sample) override;
  HRESULT STDMETHODCALLTYPE AdjustMatte(VARIANT sample, LONG flag) override;
  HRESULT STDMETHODCALLTYPE AdjustSpill(VARIANT sample, LONG flag) override;
  HRESULT STDMETHODCALLTYPE AdjustDetail(VARIANT sample, LONG flag) override;
  HRESULT STDMETHODCALLTYPE FineTune(VARIANT colour, float spillDelta, float transparencyDelta,
                                     float detailDelta, COLORREF* resultColour,
                                     float* resultOpacity) override;
  HRESULT STDMETHODCALLTYPE SetAlgorithm(LONG algorithm) override;
  HRESULT STDMETHODCALLTYPE SetSpillReplaceColor(LONG colour) override;
  HRESULT STDMETHODCALLTYPE SetSpillReplaceComplement() override;
  HRESULT STDMETHODCALLTYPE SetSpillReplaceDefocus() override;
  HRESULT STDMETHODCALLTYPE GetSpillReplaceMode(LONG* mode) override;

 private:
  ~ChromaKeyer() = default;
  using Operation = std::function<void(keyer::KeyerModel&, const std::vector<uint32_t>&)>;
  // Reads the sample, runs the operation on a copy of the model and keeps the copy on success.
  HRESULT Operate(const VARIANT& sample, const Operation& operation);
  // Runs a change on a copy of the model and keeps it when nothing threw.
  HRESULT Change(const std::function<HRESULT(keyer::KeyerModel&)>& change);

  std::atomic<ULONG> references_{1};
  keyer::KeyerModel model_;
};
