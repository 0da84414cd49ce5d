#include "SpeedSection.h"

#include "KeyerDriver.h"
#include "NaiveKeyer.h"
#include "SceneCatalog.h"
#include "StateApplier.h"
#include "ZvkBitmap.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

namespace keybench {

namespace {

constexpr int kRepeats = 3;

// Best of a few runs in megapixels per second; prepare runs untimed before each.
double BestMps(double megapixels, const std::function<void()>& prepare, const std::function<void()>& timed) {
  double best = 0.0;
  for (int i = 0; i < kRepeats; ++i) {
    prepare();
    const auto start = std::chrono::steady_clock::now();
    timed();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (seconds > 0) best = std::max(best, megapixels / seconds);
  }
  return best;
}

// Keeps the process on the first core while it lives; threads the work starts inherit it.
class OneCore {
 public:
  OneCore() {
    DWORD_PTR system = 0;
    ok_ = GetProcessAffinityMask(GetCurrentProcess(), &previous_, &system) &&
          SetProcessAffinityMask(GetCurrentProcess(), previous_ & (~previous_ + 1));
  }
  ~OneCore() {
    if (ok_) SetProcessAffinityMask(GetCurrentProcess(), previous_);
  }
  bool Ok() const { return ok_; }

 private:
  DWORD_PTR previous_ = 0;
  bool ok_ = false;
};

std::string Figure(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

SpeedFigures SpeedSection::Run(const Scene& scene) const {
  const double megapixels = static_cast<double>(scene.composite.PixelCount()) / 1e6;
  const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const ZvkBitmap composite = ZvkBitmap::FromImage(scene.composite);

  // The state an operator would store: script B, a protect ellipse over the face and a garbage
  // rectangle down the frame's right edge.
  std::vector<KeyerCall> calls = SceneCatalog::Script(scene, ScriptKind::B);
  KeyerCall protect;
  protect.op = KeyerOp::ProtectArea;
  protect.area = AreaRecord{AreaRecord::Ellipse, 440, 190, 560, 420};
  KeyerCall garbage;
  garbage.op = KeyerOp::GarbageArea;
  garbage.area = AreaRecord{AreaRecord::Rectangle, 930, 0, 1000, 1000};
  calls.push_back(protect);
  calls.push_back(garbage);
  KeyerDriver driver;
  const KeyedScript script = driver.Run(calls, composite);
  const StateApplier applier(script);

  ZvkBitmap target = ZvkBitmap::New();
  const auto freshCopy = [&] { target = composite.Copy(); };
  const auto key = [&] { applier.KeyInPlace(target); };
  const double copyMps = BestMps(
      megapixels, [] {}, [&] { ZvkBitmap copy = composite.Copy(); });
  const double allMps = BestMps(megapixels, freshCopy, key);
  double oneMps = 0.0;
  {
    const OneCore pinned;
    if (pinned.Ok()) oneMps = BestMps(megapixels, freshCopy, key);
  }
  const NaiveKeyer naive(NaiveKeyer::MedianColour(scene.composite, scene.screenPixels), scene.spec.screen);
  const double naiveMps = BestMps(
      megapixels, [] {}, [&] { naive.Key(scene.composite); });

  const std::string size = std::to_string(scene.spec.width) + " x " + std::to_string(scene.spec.height);
  table_.Note("speed on " + size + " (" + Figure("%.1f", megapixels) + " MP), " + std::to_string(cores) +
              " cores, best of " + std::to_string(kRepeats) + ":");
  table_.Note("  state + protect + garbage area, all cores: " + Figure("%8.1f", allMps) +
              " MP/s = " + Figure("%.1f", allMps / cores) + " MP/s per core");
  table_.Note(
      "  state + protect + garbage area, one core:  " +
      (oneMps > 0 ? Figure("%8.1f", oneMps) + " MP/s" : std::string("(the process cannot be pinned)")));
  table_.Note("  plain copy of the bitmap:                  " + Figure("%8.1f", copyMps) + " MP/s");
  table_.Note("  naive keyer's pass, one core:              " + Figure("%8.1f", naiveMps) + " MP/s");
  return SpeedFigures{allMps, oneMps, cores};
}

}  // namespace keybench
