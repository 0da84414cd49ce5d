// A window on a stretch of another stream: a reader sees the stretch as a whole stream of its own and can
// take nothing beyond it.
#include "MemoryStream.h"
#include "StreamWindow.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// "head[body]tail" in memory, with a window on "body" made from position 5.
struct Windowed {
  MemoryStream* source = MemoryStream::Create();
  StreamWindow* window = nullptr;
  Windowed() {
    ULONG n = 0;
    source->Write("head[body]tail", 14, &n);
    Seek(source, 5, STREAM_SEEK_SET);
    window = StreamWindow::Create(source, 4);
  }
  ~Windowed() {
    window->Release();
    source->Release();
  }
  static HRESULT Seek(IStream* stream, int64_t move, DWORD origin, uint64_t* where = nullptr) {
    LARGE_INTEGER m;
    m.QuadPart = move;
    ULARGE_INTEGER now{};
    const HRESULT hr = stream->Seek(m, origin, &now);
    if (where) *where = now.QuadPart;
    return hr;
  }
  std::string Read(ULONG count) {
    std::string text(count, '\0');
    ULONG got = 0;
    EXPECT_EQ(S_OK, window->Read(text.data(), count, &got));
    text.resize(got);
    return text;
  }
};

}  // namespace

TEST(StreamWindowTest, ReadsStopAtTheEndOfTheStretch) {
  Windowed w;
  EXPECT_EQ("bo", w.Read(2));
  EXPECT_EQ("dy", w.Read(10));
  EXPECT_EQ("", w.Read(10));
  EXPECT_EQ(4u, w.window->GetPosition());
  STATSTG stat{};
  ASSERT_EQ(S_OK, w.window->Stat(&stat, STATFLAG_NONAME));
  EXPECT_EQ(4u, stat.cbSize.QuadPart);
  ULONG n = 7;
  EXPECT_EQ(STG_E_ACCESSDENIED, w.window->Write("x", 1, &n));
  EXPECT_EQ(0u, n);
}

TEST(StreamWindowTest, PositionsCountFromTheStartOfTheStretchAndStayInside) {
  Windowed w;
  struct Case {
    int64_t move;
    DWORD origin;
    HRESULT result;
    uint64_t position;  // after the seek, refused or not
    const char* next;   // what two bytes read from there give
  };
  const Case cases[] = {
      {1, STREAM_SEEK_SET, S_OK, 1, "od"},
      {-1, STREAM_SEEK_END, S_OK, 3, "y"},
      {0, STREAM_SEEK_END, S_OK, 4, ""},
      {-2, STREAM_SEEK_CUR, S_OK, 0, "bo"},
      {5, STREAM_SEEK_SET, STG_E_INVALIDPOINTER, 2, "dy"},
      {-3, STREAM_SEEK_CUR, STG_E_INVALIDPOINTER, 2, "dy"},
      {1, STREAM_SEEK_END, STG_E_INVALIDPOINTER, 2, "dy"},
  };
  for (const Case& c : cases) {
    Windowed::Seek(w.window, 2, STREAM_SEEK_SET);
    uint64_t where = 99;
    EXPECT_EQ(c.result, Windowed::Seek(w.window, c.move, c.origin, &where)) << c.move << " from " << c.origin;
    EXPECT_EQ(c.position, w.window->GetPosition()) << c.move << " from " << c.origin;
    if (c.result == S_OK) EXPECT_EQ(c.position, where);
    EXPECT_EQ(c.next, w.Read(2)) << c.move << " from " << c.origin;
  }
}
