// The image list: number order, its indexes, removal and its stream.
#include "FailingAllocation.h"
#include "ImageRecordBytes.h"

#include "ImagesList.h"
#include "MyException.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

using imagetest::BadSchemaAt;
using imagetest::GoldenBytes;
using modeltest::ArchiveBytes;
using modeltest::ArchiveErrorKind;
using modeltest::ReaderOver;

namespace {

ImageRecord Image(const char* id, int32_t number, const char* fileName = "", uint32_t flags = 0) {
  ImageRecord record;
  record.id = id;
  record.number = number;
  record.fileName = fileName;
  record.flags = flags;
  return record;
}

std::vector<CString> Ids(const SharedStringList& list) {
  std::vector<CString> ids;
  for (int i = 0; i < list.GetCount(); ++i) ids.push_back(list[i]);
  return ids;
}

std::vector<int32_t> Numbers(const ImagesList& list) {
  std::vector<int32_t> numbers;
  for (int i = 0; i < list.GetCount(); ++i) numbers.push_back(list.GetAt(static_cast<unsigned>(i)).number);
  return numbers;
}

HRESULT ErrorCode(const std::function<void()>& call, std::string* message = nullptr) {
  try {
    call();
  } catch (const CMyException& e) {
    if (message) *message = e.what();
    return e.code;
  }
  return S_OK;
}

}  // namespace

TEST(ImagesListTest, KeepsNumberOrderAndAnswersByNumberAndId) {
  ImagesList list;
  list.Add(Image("C", 3));
  list.Add(Image("A", 1));
  list.Add(Image("B", 2));
  EXPECT_EQ(Numbers(list), (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(list.GetAt(0).id, "A");
  EXPECT_EQ(list.GetByNumber(3).id, "C");
  EXPECT_EQ(list.Get("B").number, 2);
  EXPECT_TRUE(list.ContainsNumber(2));
  EXPECT_FALSE(list.ContainsNumber(4));
  EXPECT_TRUE(list.Contains("C"));
  EXPECT_FALSE(list.Contains("D"));

  EXPECT_THROW(list.GetAt(3), std::out_of_range);
  std::string message;
  EXPECT_EQ(ErrorCode([&] { list.GetByNumber(4); }, &message), E_INVALIDARG);
  EXPECT_NE(message.find("ImagesList.cpp(53)"), std::string::npos) << message;
  EXPECT_EQ(ErrorCode([&] { list.Get("D"); }, &message), E_INVALIDARG);
  EXPECT_NE(message.find("ImagesList.cpp(65)"), std::string::npos) << message;
  EXPECT_EQ(ErrorCode([&] { list.Remove("D"); }, &message), E_INVALIDARG);
  EXPECT_NE(message.find("ImagesList.cpp(262)"), std::string::npos) << message;
  EXPECT_THROW(list.RemoveAt(3), std::out_of_range);
  EXPECT_EQ(list.GetCount(), 3);
}

TEST(ImagesListTest, FileNameLookupFallsBackToBaseNames) {
  ImagesList list;
  list.Add(Image("L1", 1, "C:\\a\\x.jpg", ImageStatus::Linked));
  list.Add(Image("L2", 2, "D:\\b\\X.JPG", ImageStatus::Linked));
  list.Add(Image("S1", 3, "x.jpg"));
  list.Add(Image("S2", 4, "y.png"));

  EXPECT_EQ(Ids(list.FindByFileName("x.jpg")), (std::vector<CString>{"L1", "L2", "S1"}));
  // No file-name key is "x": the base names of the linked images answer.
  EXPECT_EQ(Ids(list.FindByFileName("X")), (std::vector<CString>{"L1", "L2"}));
  // A stored image's base-name key is its whole name.
  EXPECT_EQ(Ids(list.FindByFileName("Y.PNG")), (std::vector<CString>{"S2"}));
  EXPECT_TRUE(Ids(list.FindByFileName("y")).empty());
  EXPECT_TRUE(list.ContainsFileName("x"));
  EXPECT_TRUE(list.ContainsFileName("X.jpg"));
  EXPECT_FALSE(list.ContainsFileName("y"));
  EXPECT_FALSE(list.ContainsFileName("z.jpg"));
}

TEST(ImagesListTest, RemovalLeavesTheOtherImagesIndexesInPlace) {
  ImagesList list;
  list.Add(Image("L1", 1, "C:\\a\\x.jpg", ImageStatus::Linked));
  list.Add(Image("L2", 2, "D:\\b\\X.JPG", ImageStatus::Linked));
  list.Add(Image("L3", 3, "E:\\c\\x.jpg", ImageStatus::Linked));
  list.Remove("L2");
  EXPECT_EQ(Ids(list.FindByFileName("x.jpg")), (std::vector<CString>{"L1", "L3"}));
  EXPECT_EQ(Ids(list.FindByFileName("x")), (std::vector<CString>{"L1", "L3"}));
  list.RemoveAt(0);
  EXPECT_EQ(Ids(list.FindByFileName("X.JPG")), (std::vector<CString>{"L3"}));
  EXPECT_FALSE(list.ContainsNumber(1));
  EXPECT_FALSE(list.Contains("L1"));
  EXPECT_EQ(list.GetCount(), 1);
  EXPECT_EQ(list.GetFileNameIndex().size(), 1u);
  EXPECT_EQ(list.GetBaseNameIndex().size(), 1u);
}

TEST(ImagesListTest, ReplaceRenumbersUnderOneHold) {
  ImagesList list;
  list.Add(Image("A", 1, "a.jpg"));
  list.Add(Image("B", 2, "b.jpg"));
  list.Add(Image("C", 3, "c.jpg"));
  ImageRecord moved = list.GetAt(0);
  moved.number = 5;
  moved.fileName = "a2.jpg";
  list.Replace(0, moved);
  EXPECT_EQ(Numbers(list), (std::vector<int32_t>{2, 3, 5}));
  EXPECT_EQ(list.GetByNumber(5).id, "A");
  EXPECT_FALSE(list.ContainsNumber(1));
  EXPECT_FALSE(list.ContainsFileName("a.jpg"));
  EXPECT_TRUE(list.ContainsFileName("A2.JPG"));
  // The record handed in may be the listed one itself.
  list.Replace(0, list.GetAt(0));
  EXPECT_EQ(list.GetByNumber(2).id, "B");
}

TEST(ImagesListTest, AReplaceThatRunsOutOfMemoryKeepsTheOldRecord) {
  ImagesList list;
  list.Add(Image("A", 1, "a portrait of the first sitter.jpg"));
  list.Add(Image("B", 2, "a portrait of the second sitter.jpg"));
  ImageRecord moved = list.GetAt(0);
  moved.number = 5;
  moved.fileName = "a portrait of the first sitter, again.jpg";
  int failures = testsupport::ForEachFailingAllocation(
      [&] {
        try {
          list.Replace(0, moved);
        } catch (const CMyException& e) {
          EXPECT_EQ(e.code, E_OUTOFMEMORY);
        } catch (const std::bad_alloc&) {
        }
      },
      [&](bool failed) {
        if (failed) {
          // Exactly as before, every index included.
          EXPECT_EQ(Numbers(list), (std::vector<int32_t>{1, 2}));
          EXPECT_EQ(list.Get("A").number, 1);
          EXPECT_EQ(list.GetByNumber(1).id, "A");
          EXPECT_TRUE(list.ContainsFileName("a portrait of the first sitter.jpg"));
          EXPECT_FALSE(list.ContainsFileName("a portrait of the first sitter, again.jpg"));
          EXPECT_EQ(list.GetFileNameIndex().size(), 2u);
        } else {
          EXPECT_EQ(Numbers(list), (std::vector<int32_t>{2, 5}));
          EXPECT_EQ(list.Get("A").number, 5);
          EXPECT_FALSE(list.ContainsFileName("a portrait of the first sitter.jpg"));
        }
      });
  EXPECT_GT(failures, 0);
}

// Damaged data can hold two images with one number (or one id); a removal must take exactly the
// image it was asked for and keep the other reachable.
TEST(ImagesListTest, DuplicateNumbersNeverMakeARemovalTakeTheWrongImage) {
  ImagesList list;
  list.Add(Image("FIRST", 7, "first.jpg"));
  list.Add(Image("SECOND", 7, "second.jpg"));  // goes in front of the equal number
  list.Add(Image("OTHER", 8));
  EXPECT_EQ(list.GetAt(0).id, "SECOND");
  EXPECT_EQ(list.GetByNumber(7).id, "FIRST");

  list.Remove("FIRST");
  ASSERT_EQ(list.GetCount(), 2);
  EXPECT_EQ(list.GetAt(0).id, "SECOND");
  EXPECT_TRUE(list.Contains("SECOND"));
  EXPECT_FALSE(list.Contains("FIRST"));
  EXPECT_EQ(list.GetByNumber(7).id, "SECOND");
  EXPECT_TRUE(list.ContainsFileName("second.jpg"));
  EXPECT_FALSE(list.ContainsFileName("first.jpg"));

  ImagesList twins;
  twins.Add(Image("SAME", 1, "one.jpg"));
  twins.Add(Image("SAME", 2, "two.jpg"));
  twins.RemoveAt(0);
  EXPECT_EQ(twins.Get("SAME").number, 2);
  twins.Remove("SAME");
  EXPECT_EQ(twins.GetCount(), 0);
  EXPECT_FALSE(twins.Contains("SAME"));
}

TEST(ImagesListTest, StreamRoundTripsAndRefusesANewerVersion) {
  ImagesList list;
  ImageRecord rotated = Image("R", 2, "r.jpg");
  rotated.rotation = 15;
  list.Add(rotated);
  list.Add(Image("P", 1, "p.jpg"));

  zvk::ArchiveMemory archive;
  list.Write(archive);
  GoldenBytes golden = GoldenBytes().u16(0x0100).u32(0).u32(0).u32(2);
  golden.raw(imagetest::Written(list.GetAt(0)).data(), imagetest::Written(list.GetAt(0)).size());
  golden.raw(imagetest::Written(list.GetAt(1)).data(), imagetest::Written(list.GetAt(1)).size());
  std::vector<uint8_t> bytes = ArchiveBytes(archive);
  EXPECT_EQ(bytes, golden.bytes);

  ImagesList read;
  read.Add(Image("OLD", 9));
  zvk::ArchiveMemory reader = ReaderOver(bytes);
  read.Read(reader);
  EXPECT_EQ(Numbers(read), (std::vector<int32_t>{1, 2}));
  EXPECT_FALSE(read.Contains("OLD"));
  EXPECT_EQ(read.Get("R").rotation, 15);
  zvk::ArchiveMemory rewritten;
  read.Write(rewritten);
  EXPECT_EQ(ArchiveBytes(rewritten), bytes);

  std::vector<uint8_t> newer = bytes;
  newer[1] = 0x02;
  std::string message;
  zvk::ArchiveMemory newerReader = ReaderOver(newer);
  EXPECT_EQ(ArchiveErrorKind([&] { read.Read(newerReader); }, &message), zvk::ArchiveException::BadSchema);
  EXPECT_EQ(message, BadSchemaAt("ImagesList.cpp", 450));
  EXPECT_EQ(read.GetCount(), 2);

  std::vector<uint8_t> empty = GoldenBytes().u16(0x0100).u32(0).u32(0).u32(0).bytes;
  zvk::ArchiveMemory emptyReader = ReaderOver(empty);
  read.Read(emptyReader);
  EXPECT_EQ(read.GetCount(), 0);
}

TEST(ImagesListTest, AFailedReadKeepsTheRecordsReadBeforeIt) {
  ImagesList list;
  list.Add(Image("A", 1));
  list.Add(Image("B", 2));
  zvk::ArchiveMemory archive;
  list.Write(archive);
  std::vector<uint8_t> bytes = ArchiveBytes(archive);
  // Claim a third record that is not there, and a huge count: neither is trusted.
  for (uint32_t count : {3u, 0xFFFFFFFFu}) {
    memcpy(&bytes[10], &count, 4);
    ImagesList read;
    zvk::ArchiveMemory reader = ReaderOver(bytes);
    EXPECT_EQ(ArchiveErrorKind([&] { read.Read(reader); }), zvk::ArchiveException::EndOfFile);
    EXPECT_EQ(read.GetCount(), 2);
  }
}

TEST(ImagesListTest, EveryOperationHoldsTheListsLock) {
  ImagesList list;
  list.Add(Image("A", 1));
  // The owning thread may take the lock again: operations run inside a caller's hold.
  ASSERT_TRUE(list.GetLock().Lock());
  list.Add(Image("B", 2));
  EXPECT_EQ(list.GetCount(), 2);
  EXPECT_EQ(list.GetLock().GetCount(), 1);

  // Another thread's operation waits until the hold ends (whenever the worker gets to run, it cannot
  // have added while the hold lasts).
  std::atomic<bool> added{false};
  std::thread worker([&] {
    list.Add(Image("C", 3));
    added = true;
  });
  Sleep(20);
  EXPECT_FALSE(added.load());
  EXPECT_EQ(list.GetCount(), 2);
  list.GetLock().Unlock();
  worker.join();
  EXPECT_TRUE(added.load());
  EXPECT_EQ(list.GetCount(), 3);
}
