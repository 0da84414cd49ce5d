// LUT lists: their bytes, finding by name, the profile value, the set of live lists and damaged values.
#include "LUTRecordTestSupport.h"

#include "LutTestSupport.h"

#include <shlwapi.h>

#include <random>

using namespace luttest;

namespace {

// Three records: no curve, a default object, a gamma of 2.2 on the "all" channel.
LUTList ThreeRecords() {
  LUTList list;
  LUTRecord flat;
  flat.name = "A";
  list.Add(flat);
  LUTRecord plain;
  plain.name = "B";
  plain.description = "Default";
  plain.GetObject();
  list.Add(plain);
  LUTRecord warm;
  warm.name = "C";
  PutAll(warm, L"Gamma", _variant_t(2.2f));
  list.Add(warm);
  return list;
}

std::vector<GoldenBytes> ThreeRecordBytes() {
  return {RecordBytes("A", "", GoldenBytes()), RecordBytes("B", "Default", DefaultObject()),
          RecordBytes("C", "", DefaultObject(2.2f))};
}

GoldenBytes ListBytes(uint32_t count, const std::vector<GoldenBytes>& records) {
  GoldenBytes out = GoldenBytes().u16(0x0100).u32(count);
  for (const GoldenBytes& record : records) out.append(record);
  return out;
}

LUTList ReadList(const std::vector<uint8_t>& bytes) {
  LUTList list;
  zvk::ArchiveMemory archive = ReaderOver(bytes);
  list.Read(archive);
  return list;
}

}  // namespace

TEST(LUTListBytes, ThreeRecordsBothWays) {
  const std::vector<uint8_t> golden = ListBytes(3, ThreeRecordBytes()).bytes;
  EXPECT_EQ(Written(ThreeRecords()), golden);
  LUTList read = ReadList(golden);
  ASSERT_EQ(read.GetCount(), 3);
  EXPECT_TRUE(read.GetAt(0).IsEmpty());
  EXPECT_EQ(read.GetAt(1).description, "Default");
  EXPECT_EQ(Plane(read.GetAt(2), 0)[128], 186);
  EXPECT_EQ(Written(read), golden);
}

TEST(LUTListBytes, DamagedHeadersRaiseAndLeaveTheList) {
  struct Case {
    std::vector<uint8_t> bytes;
    int kind;
    std::string message;
  } cases[] = {
      {ListBytes(0, {}).bytes, -1, ""},
      {GoldenBytes().u16(0x0200).u32(0).bytes, zvk::ArchiveException::BadSchema,
       ArchiveMessage("BadSchema", "LUT.cpp", 266)},
      {GoldenBytes().u16(0x0100).u16(0).bytes, zvk::ArchiveException::EndOfFile, ""},
      {GoldenBytes().u8(1).bytes, zvk::ArchiveException::EndOfFile, ""},
  };
  for (const Case& c : cases) {
    LUTList list;
    LUTRecord kept;
    kept.name = "kept";
    list.Add(kept);
    zvk::ArchiveMemory archive = ReaderOver(c.bytes);
    std::string message;
    EXPECT_EQ(ArchiveFailure([&] { list.Read(archive); }, &message), c.kind);
    if (!c.message.empty()) EXPECT_EQ(message, c.message);
    EXPECT_EQ(list.GetCount(), c.kind == -1 ? 0 : 1);
  }
}

// A count beyond the data ends the list with the records read so far, at once.
TEST(LUTListBytes, CutListsKeepTheirWholeRecords) {
  std::vector<GoldenBytes> records = ThreeRecordBytes();
  const std::vector<uint8_t> golden = ListBytes(3, records).bytes;
  std::vector<size_t> ends;
  size_t end = 6;
  for (const GoldenBytes& record : records) ends.push_back(end += record.bytes.size());
  for (size_t cut = 0; cut <= golden.size(); ++cut) {
    const std::vector<uint8_t> part(golden.begin(), golden.begin() + cut);
    LUTList list;
    int kind = ArchiveFailure([&] { list = ReadList(part); });
    if (cut < 6) {
      EXPECT_EQ(kind, zvk::ArchiveException::EndOfFile) << cut;
      continue;
    }
    EXPECT_EQ(kind, -1) << cut;
    int whole = 0;
    for (size_t e : ends) whole += e <= cut ? 1 : 0;
    EXPECT_EQ(list.GetCount(), whole) << cut;
  }
  LUTList hostile = ReadList(ListBytes(0xFFFFFFFFu, {records[1]}).bytes);
  EXPECT_EQ(hostile.GetCount(), 1);
}

// Seeded byte flips of a stored list: the good records load, or the reader raises one of its archive
// exceptions; whatever loads can be written again.
TEST(LUTListBytes, FlippedBytesNeverCrashOrHang) {
  const std::vector<uint8_t> golden = ListBytes(3, ThreeRecordBytes()).bytes;
  std::mt19937 random(20261211);
  for (int round = 0; round < 400; ++round) {
    std::vector<uint8_t> bytes = golden;
    const int flips = 1 + static_cast<int>(random() % 3);
    for (int i = 0; i < flips; ++i)
      bytes[random() % bytes.size()] ^= static_cast<uint8_t>(1 + random() % 255);
    if (round % 4 == 0) bytes.resize(random() % bytes.size());
    LUTList list;
    const int kind = ArchiveFailure([&] { list = ReadList(bytes); });
    EXPECT_TRUE(kind == -1 || kind == zvk::ArchiveException::EndOfFile ||
                kind == zvk::ArchiveException::BadSchema)
        << round;
    EXPECT_LE(list.GetCount(), 3);
    for (int i = 0; i < list.GetCount(); ++i) {
      const LUTRecord record = list.GetAt(i);
      zvk::ArchiveMemory archive;
      EXPECT_NO_THROW(WriteLUTRecord(archive, record)) << round;
    }
  }
}

TEST(LUTListFind, NamesMatchExactly) {
  LUTList list = ThreeRecords();
  LUTRecord second;
  second.name = "C";
  second.description = "a later one of the same name";
  list.Add(second);
  LUTRecord found = list.FindByName("C");
  EXPECT_EQ(found.description, "");
  EXPECT_EQ(found.PeekObject(), list.GetAt(2).PeekObject());
  for (const char* other : {"c", "C ", "", "D"}) {
    LUTRecord none = list.FindByName(other);
    EXPECT_TRUE(none.IsEmpty()) << other;
    EXPECT_EQ(none.name, "") << other;
  }
}

TEST(LUTListLive, ClearAllEmptiesEveryLiveListAndReleasesEveryObject) {
  auto* owned = new LUTList(ThreeRecords());
  LUTList local = ThreeRecords();
  LUTList copy(local);
  LUTList assigned;
  assigned = *owned;
  EXPECT_EQ(ServerCanUnloadNow(), S_FALSE);
  ClearAllLUTLists();
  for (const LUTList* list : {owned, &local, &copy, &assigned}) EXPECT_EQ(list->GetCount(), 0);
  EXPECT_EQ(ServerCanUnloadNow(), S_OK);
  // A list that is gone is not visited again.
  delete owned;
  local.Add(ThreeRecords().GetAt(1));
  ClearAllLUTLists();
  EXPECT_EQ(local.GetCount(), 0);
  EXPECT_EQ(ServerCanUnloadNow(), S_OK);
}

namespace {

// An application object whose profile lives under a registry root of this test only.
class LUTListProfile : public ::testing::Test {
 protected:
  void SetUp() override {
    root = "Software\\PellorinTests\\lut-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(GetTickCount64()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    CProfile::OverrideRoot(root.c_str());
    app.SetRegistryKey("Corvanith");
  }
  void TearDown() override {
    SHDeleteKeyA(HKEY_CURRENT_USER, root.c_str());
    CProfile::OverrideRoot(nullptr);
  }
  // The stored value's bytes; empty when there is none or it is not binary.
  std::vector<uint8_t> Stored(const char* name) {
    std::vector<uint8_t> bytes;
    HKEY key = app.GetSectionKey("LUTs");
    if (!key) return bytes;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_BINARY) {
      bytes.resize(size);
      RegQueryValueExA(key, name, nullptr, &type, bytes.data(), &size);
    }
    RegCloseKey(key);
    return bytes;
  }

  std::string root;
  CWinApp app{"Pellorin"};
};

}  // namespace

TEST_F(LUTListProfile, SavedListsLoadBackEqualAndAMissingValueLeavesTheList) {
  LUTList list = ThreeRecords();
  LUTRecord print;
  print.name = "Print";
  print.description = "50 to 200";
  print.SetOutput();
  PutAll(print, L"dMax", _variant_t(50L));
  PutAll(print, L"dMin", _variant_t(200L));
  list.Add(print);
  ASSERT_TRUE(SaveLUTList("ImportFromHot", list));
  EXPECT_EQ(Stored("ImportFromHot"), Written(list));

  LUTList loaded;
  LoadLUTList("ImportFromHot", loaded);
  ASSERT_EQ(loaded.GetCount(), list.GetCount());
  for (int i = 0; i < list.GetCount(); ++i) {
    const LUTRecord original = list.GetAt(i), back = loaded.GetAt(i);
    EXPECT_EQ(back.name, original.name);
    EXPECT_EQ(back.description, original.description);
    EXPECT_EQ(back.IsEmpty(), original.IsEmpty());
    if (original.IsEmpty()) continue;
    EXPECT_NE(back.PeekObject(), original.PeekObject());  // an object of its own, with the same curve
    for (int plane = 0; plane < 4; ++plane) EXPECT_EQ(Plane(back, plane), Plane(original, plane)) << i;
  }
  EXPECT_EQ(Plane(loaded.GetAt(3), 0).front(), 50);
  EXPECT_EQ(Plane(loaded.GetAt(3), 0).back(), 200);

  LoadLUTList("ExportImages", loaded);
  EXPECT_EQ(loaded.GetCount(), 4);
}

TEST_F(LUTListProfile, AListNotWrittenWholeLeavesTheStoredValue) {
  ASSERT_TRUE(SaveLUTList("ImportFromDisk", ThreeRecords()));
  const std::vector<uint8_t> before = Stored("ImportFromDisk");
  LUTList list = ThreeRecords();
  LUTRecord unsaveable;
  ASSERT_EQ(unsaveable.GetObject()->put_Type(ltManual), S_OK);
  ASSERT_EQ(unsaveable.GetObject()->put_ChannelSet(csGreyscale), S_OK);
  list.Add(unsaveable);
  EXPECT_EQ(ComFailure([&] { SaveLUTList("ImportFromDisk", list); }), E_FAIL);
  EXPECT_EQ(Stored("ImportFromDisk"), before);
}

TEST_F(LUTListProfile, ADamagedValueRaisesToTheCallerAndLeavesTheList) {
  std::vector<uint8_t> bad = GoldenBytes().u16(0x0200).u32(0).bytes;
  ASSERT_TRUE(app.WriteProfileBinary("LUTs", "ImportFromHot", bad.data(), static_cast<UINT>(bad.size())));
  LUTList list = ThreeRecords();
  std::string message;
  EXPECT_EQ(ArchiveFailure([&] { LoadLUTList("ImportFromHot", list); }, &message),
            zvk::ArchiveException::BadSchema);
  EXPECT_EQ(message, ArchiveMessage("BadSchema", "LUT.cpp", 266));
  EXPECT_EQ(list.GetCount(), 3);
}
