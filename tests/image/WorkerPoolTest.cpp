// The process's worker pool, and the image library's pixel work when the pool's threads cannot be started.
#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include "ImageTestSupport.h"
#include "MemoryStream.h"
#include "ParallelRows.h"
#include "workers/WorkerPool.h"

using namespace imagetest;
using namespace zvkImage;
using workers::WorkerPool;

namespace {

// Refuses worker threads beyond `allowed` while it lives; the pool starts its threads afresh afterwards.
class RefusedThreadStarts {
 public:
  explicit RefusedThreadStarts(int allowed) { WorkerPool::LimitThreadStarts(allowed); }
  ~RefusedThreadStarts() { WorkerPool::LimitThreadStarts(-1); }
  RefusedThreadStarts(const RefusedThreadStarts&) = delete;
  RefusedThreadStarts& operator=(const RefusedThreadStarts&) = delete;
};

// Each part counted once, and the number of threads seen at once.
struct Tally {
  std::vector<std::atomic<int>> runs;
  std::atomic<int> inside{0}, most{0};
  explicit Tally(int parts) : runs(size_t(parts)) {}
  void Part(int p) {
    const int now = ++inside;
    for (int m = most; now > m && !most.compare_exchange_weak(m, now);) {
    }
    ++runs[size_t(p)];
    Sleep(3);
    --inside;
  }
  bool EachOnce() const {
    for (const auto& r : runs)
      if (r != 1) return false;
    return true;
  }
};

std::vector<uint8_t> Persisted(IBitmap* bitmap) {
  MemoryStream stream;
  EXPECT_EQ(S_OK, bitmap->SaveToStream(&stream, 0));
  return stream.bytes;
}

COLORREF Texture(int x, int y) {
  uint32_t v = uint32_t(x) * 2654435761u ^ uint32_t(y) * 40503u;
  v ^= v >> 13;
  return RGB(x % 256, (y * 3) % 256, (v >> 8) & 0x3F);
}

// Large enough for the pixel work to be split over several parts: a resample, a sharpen, tables and a
// hue key; the result as its persisted bytes.
std::vector<uint8_t> Worked() {
  auto bitmap = MakeBitmap(1200, 900, Texture);
  EXPECT_EQ(S_OK, bitmap->Resample(1500, 1100, 24));
  EXPECT_EQ(S_OK, Query<ITransform>(bitmap.p)->Sharpen(5, 80));
  EXPECT_EQ(S_OK, bitmap->ResampleFast(700, 500, 24));
  const float key[5] = {120.0f / 360, 30.0f / 360, 10.0f / 360, 0.05f, 0.2f};
  EXPECT_EQ(S_OK, bitmap->HueKey(key));
  return Persisted(bitmap.p);
}

}  // namespace

TEST(WorkerPool, EveryPartRunsOnceOnSeveralThreads) {
  for (int parts : {1, 2, 7, 64}) {
    Tally tally(parts);
    WorkerPool::Shared().Run(parts, [&](int p) { tally.Part(p); });
    EXPECT_TRUE(tally.EachOnce()) << parts;
    if (parts >= 7 && WorkerPool::Cores() > 1) EXPECT_GT(tally.most.load(), 1) << parts;
  }
  EXPECT_EQ(WorkerPool::Cores(), WorkerPool::Shared().Threads());
}

TEST(WorkerPool, RunsFromManyThreadsAndNestedRunsAllEnd) {
  std::vector<std::thread> callers;
  std::atomic<int> total{0};
  for (int t = 0; t < 4; ++t)
    callers.emplace_back([&] {
      for (int i = 0; i < 20; ++i)
        WorkerPool::Shared().Run(6, [&](int) { WorkerPool::Shared().Run(5, [&](int) { ++total; }); });
    });
  for (auto& c : callers) c.join();
  EXPECT_EQ(4 * 20 * 6 * 5, total.load());
}

TEST(WorkerPool, AFailingPartIsRethrownOnceEveryPartHasEnded) {
  for (int allowed : {-1, 0}) {
    RefusedThreadStarts refused(allowed);
    std::atomic<int> inside{0}, insideAtThrow{-1};
    bool caught = false;
    try {
      WorkerPool::Shared().Run(40, [&](int p) {
        ++inside;
        Sleep(1);
        --inside;
        if (p == 13) throw std::runtime_error("part 13");
      });
    } catch (const std::runtime_error& e) {
      caught = std::string(e.what()) == "part 13";
      insideAtThrow = inside.load();
    }
    EXPECT_TRUE(caught) << allowed;
    EXPECT_EQ(0, insideAtThrow.load()) << allowed;
  }
}

TEST(WorkerPool, RefusedThreadsLeaveTheWorkToTheCaller) {
  for (int allowed : {0, 1}) {
    RefusedThreadStarts refused(allowed);
    Tally tally(50);
    WorkerPool::Shared().Run(50, [&](int p) { tally.Part(p); });
    EXPECT_TRUE(tally.EachOnce()) << allowed;
    EXPECT_EQ(std::min(allowed + 1, WorkerPool::Cores()), WorkerPool::Shared().Threads());
    EXPECT_LE(tally.most.load(), allowed + 1);
  }
  // Allowed again: the next run starts the threads once more.
  WorkerPool::Shared().Run(2, [](int) {});
  EXPECT_EQ(WorkerPool::Cores(), WorkerPool::Shared().Threads());
}

TEST(WorkerPool, RowsAreSplitByTheirPixels) {
  auto partsOf = [](int rows, int width) {
    std::atomic<int> parts{0};
    ParallelPixelRows(rows, width, [&](int, int) { ++parts; });
    return parts.load();
  };
  EXPECT_EQ(1, partsOf(512, 341));  // a draft-sized picture stays on the calling thread
  EXPECT_EQ(0, partsOf(0, 4000));
  if (WorkerPool::Cores() > 1) EXPECT_GT(partsOf(6000, 4000), WorkerPool::Cores());
  std::vector<int> seen(6000, 0);
  ParallelPixelRows(6000, 4000, [&](int begin, int end) {
    for (int y = begin; y < end; ++y) ++seen[size_t(y)];
  });
  EXPECT_EQ(std::vector<int>(6000, 1), seen);
}

// The image library does the same pixel work, with the same result, whether the pool's threads start, some
// of them do, or none.
TEST(WorkerPool, PixelWorkIsTheSameWhenThreadsCannotStart) {
  const std::vector<uint8_t> normal = Worked();
  for (int allowed : {0, 2}) {
    RefusedThreadStarts refused(allowed);
    EXPECT_EQ(normal, Worked()) << allowed;
  }
}

// A part that fails (here: a corrupted band of a persisted picture, decoded in parallel with the others)
// fails the call with an error, whether or not threads start, and leaves the bitmap as it was.
TEST(WorkerPool, AFailingRowPartReachesTheCallsResult) {
  auto picture = MakeBitmap(900, 1000, Texture);
  std::vector<uint8_t> bytes = Persisted(picture.p);
  bytes[bytes.size() - 200] ^= 0x5A;  // inside the last band's code
  bytes[bytes.size() - 100] ^= 0x5A;
  for (int allowed : {-1, 0}) {
    RefusedThreadStarts refused(allowed);
    auto target = MakeFlat(3, 2, RGB(5, 6, 7));
    MemoryStream stream;
    stream.bytes = bytes;
    EXPECT_EQ(E_FAIL, target->LoadFromStream(&stream, 0)) << allowed;
    EXPECT_EQ(RGB(5, 6, 7), Read(target.p).At(2, 1)) << allowed;
  }
}

TEST(WorkerPool, AWaitingRunTakesTheWorkersFromABackgroundRun) {
  if (WorkerPool::Shared().Threads() < 2 && WorkerPool::Cores() < 2) GTEST_SKIP() << "no workers on one core";
  // A long background run holds every worker; a run started meanwhile must get workers between the
  // background parts instead of waiting until all of them are claimed, and both runs do each part once.
  Tally background(400), foreground(60);
  std::thread ahead([&] {
    workers::BackgroundWork low;
    WorkerPool::Shared().Run(400, [&](int p) { background.Part(p); });
  });
  while (background.inside.load() == 0) Sleep(1);
  WorkerPool::Shared().Run(60, [&](int p) { foreground.Part(p); });
  int started = 0;
  for (const auto& r : background.runs) started += r.load();
  const int backgroundLeft = 400 - started;
  ahead.join();
  EXPECT_TRUE(foreground.EachOnce());
  EXPECT_TRUE(background.EachOnce());
  EXPECT_GE(foreground.most.load(), 2);
  EXPECT_GT(backgroundLeft, 0);  // the waiting run did not wait for the background run's end
}
