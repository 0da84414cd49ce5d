#include "OurKeyer.h"

#include "StateApplier.h"

#include <chrono>

namespace keybench {

OurKeying OurKeyer::Key(const ZvkBitmap& composite, const std::vector<KeyerCall>& calls) {
  OurKeying result;
  KeyerDriver driver;
  result.script = driver.Run(calls, composite);
  const StateApplier applier(result.script);
  ZvkBitmap keyed = composite.Copy();
  const auto start = std::chrono::steady_clock::now();
  applier.KeyInPlace(keyed);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  result.applyMps = seconds > 0 ? static_cast<double>(keyed.Width()) * keyed.Height() / 1e6 / seconds : 0.0;
  result.output = StateApplier::Read(keyed);
  return result;
}

}  // namespace keybench
