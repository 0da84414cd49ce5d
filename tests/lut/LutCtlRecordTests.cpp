// The editing control's stream record: the editor's golden bytes both ways, the older version, and
// damaged records that must change nothing.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <vector>

#include "LutCtlRecord.h"

using lut::LutCtlRecord;

namespace {

// What the LUT editor's template gives its control: extent 6826 x 8996, ambient colours, no border,
// three-dimensional, enabled, no font, flat toolbar.
const std::vector<unsigned char> kEditorRecord = {0xA0, 0x67, 0x25, 0x00, 0x1D, 0x00, 0x00, 0x00, 0xAA, 0x1A,
                                                  0x00, 0x00, 0x24, 0x23, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF,
                                                  0x00, 0x00, 0x00, 0xFF, 0x00, 0x01, 0x01, 0x00, 0x00};

IStream* StreamOf(const std::vector<unsigned char>& bytes) {
  IStream* stream = nullptr;
  EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
  if (!bytes.empty()) stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
  LARGE_INTEGER start = {};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  return stream;
}

std::vector<unsigned char> BytesOf(IStream* stream) {
  STATSTG stat = {};
  stream->Stat(&stat, STATFLAG_NONAME);
  std::vector<unsigned char> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
  LARGE_INTEGER start = {};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  ULONG read = 0;
  stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
  return bytes;
}

}  // namespace

TEST(LutCtlRecord, TheEditorsRecordReadsAndWritesTheSameBytes) {
  IStream* stream = StreamOf(kEditorRecord);
  LutCtlRecord record;
  ASSERT_EQ(lut::ReadLutCtlRecord(stream, record), S_OK);
  stream->Release();
  EXPECT_EQ(record.extentWidth, 6826);
  EXPECT_EQ(record.extentHeight, 8996);
  EXPECT_EQ(record.foreColor, 0xFF000000u);
  EXPECT_EQ(record.backColor, 0xFF000000u);
  EXPECT_EQ(record.borderStyle, 0);
  EXPECT_EQ(record.appearance, 1);
  EXPECT_TRUE(record.enabled);
  EXPECT_FALSE(record.fontFollows);
  EXPECT_FALSE(record.toolbarRaised);

  IStream* written = StreamOf({});
  ASSERT_EQ(lut::WriteLutCtlRecord(written, record), S_OK);
  EXPECT_EQ(BytesOf(written), kEditorRecord);
  written->Release();
}

TEST(LutCtlRecord, AVersionOneRecordLoadsWithAFlatToolbar) {
  std::vector<unsigned char> older(kEditorRecord.begin(), kEditorRecord.begin() + 28);
  older[0] = 0x8C;  // tag 0x0025678C
  older[4] = 28;
  IStream* stream = StreamOf(older);
  LutCtlRecord record;
  record.toolbarRaised = true;
  ASSERT_EQ(lut::ReadLutCtlRecord(stream, record), S_OK);
  EXPECT_FALSE(record.toolbarRaised);
  EXPECT_EQ(record.extentWidth, 6826);
  stream->Release();
}

TEST(LutCtlRecord, DamagedRecordsChangeNothing) {
  struct Case {
    const char* what;
    size_t offset;
    unsigned char value;
    size_t keep;  // bytes kept of the record
    HRESULT expected;
  } cases[] = {
      {"unknown tag", 0, 0x11, 29, E_FAIL},
      {"wrong length", 4, 28, 29, E_FAIL},
      {"border style 2", 24, 2, 29, E_FAIL},
      {"appearance 7", 25, 7, 29, E_FAIL},
      {"cut in the header", 0, 0xA0, 6, STG_E_READFAULT},
      {"cut in the body", 0, 0xA0, 28, STG_E_READFAULT},
      {"empty", 0, 0xA0, 0, STG_E_READFAULT},
  };
  for (const Case& c : cases) {
    std::vector<unsigned char> bytes = kEditorRecord;
    bytes[c.offset] = c.value;
    bytes.resize(c.keep);
    IStream* stream = StreamOf(bytes);
    LutCtlRecord record;
    record.extentWidth = 1234;
    EXPECT_EQ(lut::ReadLutCtlRecord(stream, record), c.expected) << c.what;
    EXPECT_EQ(record.extentWidth, 1234) << c.what;
    stream->Release();
  }
  // Every single flipped byte either reads as a valid record or leaves the record as it was.
  for (size_t offset = 0; offset < kEditorRecord.size(); ++offset) {
    std::vector<unsigned char> bytes = kEditorRecord;
    bytes[offset] ^= 0xFF;
    IStream* stream = StreamOf(bytes);
    LutCtlRecord record;
    record.extentWidth = 1234;
    HRESULT hr = lut::ReadLutCtlRecord(stream, record);
    if (FAILED(hr)) {
      EXPECT_EQ(record.extentWidth, 1234) << offset;
    }
    stream->Release();
  }
}
