// The memory stream and MD5 digests.
#include "ContentID.h"
#include "MD5.h"
#include "MemoryStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Hex(const MD5Digest& digest) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (uint8_t b : digest) {
    text += digits[b >> 4];
    text += digits[b & 15];
  }
  return text;
}

struct StreamHolder {
  MemoryStream* stream = MemoryStream::Create();
  ~StreamHolder() { stream->Release(); }
  HRESULT SeekTo(int64_t move, DWORD origin, uint64_t* where = nullptr) {
    LARGE_INTEGER m;
    m.QuadPart = move;
    ULARGE_INTEGER now{};
    HRESULT hr = stream->Seek(m, origin, &now);
    if (where) *where = now.QuadPart;
    return hr;
  }
};

}  // namespace

TEST(MD5Digests, Rfc1321TestSuite) {
  struct Case {
    const char* message;
    const char* digest;
  } cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Hex(ComputeMD5(c.message, std::strlen(c.message))), c.digest) << c.message;
    // Given in pieces of any size, across the 64-byte blocks, the bytes digest the same.
    for (size_t piece : {1, 3, 63, 64, 65}) {
      MD5Hasher hasher;
      for (size_t at = 0; at < std::strlen(c.message); at += piece)
        hasher.Add(c.message + at, std::min(piece, std::strlen(c.message) - at));
      EXPECT_EQ(Hex(hasher.Finish()), c.digest) << c.message << " in pieces of " << piece;
    }
  }
}

TEST(MemoryStreamTest, WritesExtendReadsAreShortSeeksStayInside) {
  StreamHolder h;
  ULONG n = 0;
  EXPECT_EQ(h.stream->Write("abc", 3, &n), S_OK);
  EXPECT_EQ(n, 3u);
  EXPECT_EQ(h.SeekTo(1, STREAM_SEEK_SET), S_OK);
  EXPECT_EQ(h.stream->Write("12345", 5, &n), S_OK);
  EXPECT_EQ(h.stream->GetBytes().size(), 6u);
  EXPECT_EQ(std::string(h.stream->GetBytes().begin(), h.stream->GetBytes().end()), "a12345");

  uint64_t where = 0;
  EXPECT_EQ(h.SeekTo(0, STREAM_SEEK_END, &where), S_OK);
  EXPECT_EQ(where, 6u);
  EXPECT_EQ(h.SeekTo(1, STREAM_SEEK_END), STG_E_INVALIDPOINTER);
  EXPECT_EQ(h.SeekTo(-7, STREAM_SEEK_CUR), STG_E_INVALIDPOINTER);  // before the start
  EXPECT_EQ(h.SeekTo(0x100000001LL, STREAM_SEEK_SET), STG_E_INVALIDPOINTER);
  EXPECT_EQ(h.SeekTo(0, 7), STG_E_INVALIDFUNCTION);
  EXPECT_EQ(h.stream->GetPosition(), 6u);

  EXPECT_EQ(h.SeekTo(-2, STREAM_SEEK_END), S_OK);
  char buffer[10] = {};
  EXPECT_EQ(h.stream->Read(buffer, 10, &n), S_OK);
  EXPECT_EQ(n, 2u);
  EXPECT_EQ(std::string(buffer, 2), "45");

  ULARGE_INTEGER size{};
  size.QuadPart = 1;
  EXPECT_EQ(h.stream->SetSize(size), S_OK);
  EXPECT_EQ(h.stream->GetBytes().size(), 6u);
  EXPECT_EQ(h.stream->Stat(nullptr, 0), E_NOTIMPL);
  IStream* clone = nullptr;
  EXPECT_EQ(h.stream->Clone(&clone), E_NOTIMPL);
}

TEST(MemoryStreamTest, WriteWhoseEndDoesNotFitIsRefused) {
  StreamHolder h;
  ULONG n = 5;
  EXPECT_EQ(h.stream->Write("x", 1, &n), S_OK);
  // A count that would run past 4 GB from here: no wrap, no allocation, nothing written.
  EXPECT_EQ(h.stream->Write("y", 0xFFFFFFFFu, &n), E_OUTOFMEMORY);
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(h.stream->GetBytes().size(), 1u);
}

TEST(MemoryStreamTest, DigestAndContentIdentifierFollowTheContent) {
  StreamHolder empty;
  EXPECT_EQ(Hex(empty.stream->GetDigest()), "d41d8cd98f00b204e9800998ecf8427e");

  StreamHolder one, two;
  ULONG n;
  one.stream->Write("same picture bytes", 18, &n);
  two.stream->Write("same picture", 12, &n);
  two.stream->Write(" bytes", 6, &n);
  two.SeekTo(3, STREAM_SEEK_SET);  // the position does not matter
  EXPECT_EQ(one.stream->GetDigest(), two.stream->GetDigest());
  CObjectID a = ContentIDFromDigest(one.stream->GetDigest());
  EXPECT_EQ(a.GetLength(), 25);
  EXPECT_EQ(a, ContentIDFromDigest(two.stream->GetDigest()));

  // The digest bytes in memory order as a GUID.
  MD5Digest digest{};
  digest[9] = 1;
  EXPECT_STREQ(ContentIDFromDigest(digest), "4700000000000000000000000");
}

TEST(MemoryStreamTest, CountsReferencesAndAnswersItsInterfaces) {
  MemoryStream* stream = MemoryStream::Create();
  IUnknown* unknown = nullptr;
  ASSERT_EQ(stream->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
  IStream* asStream = nullptr;
  ASSERT_EQ(stream->QueryInterface(IID_IStream, reinterpret_cast<void**>(&asStream)), S_OK);
  void* other = reinterpret_cast<void*>(1);
  EXPECT_EQ(stream->QueryInterface(IID_IStorage, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(unknown->Release(), 2u);
  EXPECT_EQ(asStream->Release(), 1u);
  EXPECT_EQ(stream->Release(), 0u);
}
