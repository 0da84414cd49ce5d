#include "KeyerDriver.h"

#include "ComText.h"
#include "OperationScript.h"

#include <keyer/KeyerCreation.h>

#include <stdexcept>

namespace keybench {

namespace {

// A sample VARIANT cleared on every path.
class SampleVariant {
 public:
  explicit SampleVariant(VARIANT v) : v_(v) {}
  SampleVariant(const SampleVariant&) = delete;
  SampleVariant& operator=(const SampleVariant&) = delete;
  ~SampleVariant() { VariantClear(&v_); }
  const VARIANT& Get() const { return v_; }

 private:
  VARIANT v_;
};

std::string Where(const KeyerCall& call) {
  return (call.line > 0 ? "line " + std::to_string(call.line) + ": " : std::string()) +
         OperationScript::OpName(call.op);
}

}  // namespace

KeyerDriver::KeyerDriver() {
  ComRef<IUnknown> object;
  const HRESULT hr = CreateKeyerObject(CLSID_ChromaKeyer, object.Out());
  if (FAILED(hr)) throw std::runtime_error("cannot create the chroma keyer (" + HresultText(hr) + ")");
  keyer_ = object.As<IChromaKeyer>();
  if (!keyer_) throw std::runtime_error("the chroma keyer has no IChromaKeyer");
}

HRESULT KeyerDriver::Call(const KeyerCall& call, const ZvkBitmap& composite) {
  if (call.IsSample()) {
    const SampleVariant sample(composite.Sample(call.sample));
    const VARIANT& v = sample.Get();
    switch (call.op) {
      case KeyerOp::SelectBackgroundColor:
        return keyer_->SelectBackgroundColor(v);
      case KeyerOp::CleanBackground:
        return keyer_->CleanBackground(v);
      case KeyerOp::CleanForeground:
        return keyer_->CleanForeground(v);
      case KeyerOp::MatteSponge:
        return keyer_->MatteSponge(v);
      case KeyerOp::SpillSponge:
        return keyer_->SpillSponge(v);
      case KeyerOp::MakeForegroundTransparent:
        return keyer_->MakeForegroundTransparent(v);
      case KeyerOp::RestoreDetail:
        return keyer_->RestoreDetail(v);
      case KeyerOp::AdjustMatte:
        return keyer_->AdjustMatte(v, call.flag);
      case KeyerOp::AdjustSpill:
        return keyer_->AdjustSpill(v, call.flag);
      case KeyerOp::AdjustDetail:
        return keyer_->AdjustDetail(v, call.flag);
      default:
        return E_UNEXPECTED;
    }
  }
  switch (call.op) {
    case KeyerOp::AutoCompute:
      return keyer_->AutoCompute(composite.Get(), call.factors[0], call.factors[1]);
    case KeyerOp::FineTune: {
      VARIANT colour;
      VariantInit(&colour);
      colour.vt = VT_I4;
      colour.lVal = call.value;
      COLORREF keyed = 0;
      float opacity = 0;
      return keyer_->FineTune(colour, call.factors[0], call.factors[1], call.factors[2], &keyed, &opacity);
    }
    case KeyerOp::SetAlgorithm:
      return keyer_->SetAlgorithm(call.value);
    case KeyerOp::SetSpillReplaceColor:
      return keyer_->SetSpillReplaceColor(call.value);
    case KeyerOp::SetSpillReplaceComplement:
      return keyer_->SetSpillReplaceComplement();
    case KeyerOp::SetSpillReplaceDefocus:
      return keyer_->SetSpillReplaceDefocus();
    default:
      return E_UNEXPECTED;
  }
}

KeyedScript KeyerDriver::Run(const std::vector<KeyerCall>& calls, const ZvkBitmap& composite) {
  KeyedScript result;
  result.protectAreas = OperationScript::AreaListText(calls, KeyerOp::ProtectArea);
  result.garbageAreas = OperationScript::AreaListText(calls, KeyerOp::GarbageArea);
  for (const KeyerCall& call : calls) {
    if (call.IsArea()) continue;
    const ComText current(result.statePath);
    HRESULT hr = keyer_->LoadState(current.Get());
    if (FAILED(hr))
      throw std::runtime_error(Where(call) + ": the keyer cannot load the state " + result.statePath + " (" +
                               HresultText(hr) + ")");
    hr = Call(call, composite);
    if (FAILED(hr)) throw std::runtime_error(Where(call) + " failed (" + HresultText(hr) + ")");
    if (hr == S_FALSE) result.notes.push_back(Where(call) + " changed nothing");
    ComText saved;
    hr = keyer_->SaveState(saved.Out());
    if (FAILED(hr))
      throw std::runtime_error(Where(call) + ": the keyer cannot save its state (" + HresultText(hr) + ")");
    result.statePath = saved.Narrow();
  }
  return result;
}

}  // namespace keybench
