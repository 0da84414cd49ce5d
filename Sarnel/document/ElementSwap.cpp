#include "ElementSwap.h"

#include "MyException.h"

namespace {

constexpr const char* SwapPlace = "DocumentImages";

}  // namespace

ElementSwap::~ElementSwap() {
  if (!finished) RollBack();
}

void ElementSwap::AddFresh(const std::wstring& fresh) { freshNames.push_back(fresh); }

void ElementSwap::Replace(const std::wstring& name, const std::wstring& fresh) {
  steps.push_back(Step{name, fresh, false, false});
  Step& step = steps.back();
  const std::wstring aside = AsideName(name);
  // A leftover of an earlier, interrupted swap is no element of the job.
  storage->DestroyElement(aside.c_str());
  HRESULT hr = storage->RenameElement(name.c_str(), aside.c_str());
  if (SUCCEEDED(hr))
    step.hadOld = true;
  else if (hr != STG_E_FILENOTFOUND)
    throw CMyException(hr, "hr", SwapPlace, 410);
  hr = storage->RenameElement(fresh.c_str(), name.c_str());
  if (FAILED(hr)) throw CMyException(hr, "hr", SwapPlace, 411);
  step.movedIn = true;
}

void ElementSwap::Remove(const std::wstring& name) {
  steps.push_back(Step{name, std::wstring(), false, false});
  const std::wstring aside = AsideName(name);
  storage->DestroyElement(aside.c_str());
  HRESULT hr = storage->RenameElement(name.c_str(), aside.c_str());
  if (SUCCEEDED(hr))
    steps.back().hadOld = true;
  else if (hr != STG_E_FILENOTFOUND)
    throw CMyException(hr, "hr", SwapPlace, 412);
}

void ElementSwap::Finish() {
  finished = true;
  for (const Step& step : steps)
    if (step.hadOld) storage->DestroyElement(AsideName(step.name).c_str());
}

// Runs while the failure that stopped the swap is on its way to the report; each step undoes what its
// forward step did, so a step that did nothing fails harmlessly here.
void ElementSwap::RollBack() {
  for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
    if (step->movedIn) storage->RenameElement(step->name.c_str(), step->fresh.c_str());
    if (step->hadOld) storage->RenameElement(AsideName(step->name).c_str(), step->name.c_str());
  }
  for (const std::wstring& fresh : freshNames) storage->DestroyElement(fresh.c_str());
}
