// Damaged copies of a valid job (cut short, bytes flipped) never bring the program down: every open
// either works or ends in an exception with a message, and the document is left closed and empty.
#include "DocumentTestSupport.h"

#include "MyException.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>

using namespace doctest;

TEST(DamagedJobTest, TruncatedAndFlippedCopiesOpenOrFailCleanly) {
  MainWindow();
  ScratchFolder folder("damaged");
  ResetOptions(folder.Path());
  const std::string valid = folder.File("valid.plj");
  {
    CTheDocument document;
    ASSERT_TRUE(document.NewJob());
    for (int i = 1; i <= 12; ++i) {
      ImageRecord record;
      record.id = CObjectID::CreateNew();
      record.number = i;
      record.fileName.Format("picture %d.jpg", i);
      document.GetImages().Add(record);
    }
    document.SetAttributeText(0, "attribute text");
    document.SetAttributeText(3, "fourth");
    DialogAnswers answers;
    answers.Answer(valid);
    ASSERT_TRUE(document.SaveAs());
  }
  const std::vector<unsigned char> original = ReadWholeFile(valid);
  ASSERT_GT(original.size(), 1024u);

  std::mt19937 random(20261210);
  const std::string damaged = folder.File("damaged.plj");
  int opened = 0;
  int refused = 0;
  for (int trial = 0; trial < 300; ++trial) {
    std::vector<unsigned char> bytes = original;
    if (trial % 3 == 0) {
      bytes.resize(std::uniform_int_distribution<size_t>(0, bytes.size() - 1)(random));
    } else {
      const int flips = std::uniform_int_distribution<int>(1, 8)(random);
      for (int i = 0; i < flips; ++i) {
        size_t at = std::uniform_int_distribution<size_t>(0, bytes.size() - 1)(random);
        bytes[at] ^= static_cast<unsigned char>(1u << std::uniform_int_distribution<int>(0, 7)(random));
      }
    }
    WriteWholeFile(damaged, bytes);
    CTheDocument document;
    try {
      if (document.OpenJob(damaged.c_str(), true)) ++opened;
      document.CloseJob();
    } catch (const std::exception& e) {
      ++refused;
      EXPECT_GT(std::strlen(e.what()), 0u) << "trial " << trial;
      EXPECT_FALSE(document.IsOpen()) << "trial " << trial;
      EXPECT_EQ(0, document.GetImages().GetCount()) << "trial " << trial;
    }
  }
  std::printf("damaged copies: %d opened, %d refused\n", opened, refused);
  EXPECT_EQ(300, opened + refused);
  EXPECT_GT(refused, 0);
}
