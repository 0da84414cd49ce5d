// A new job in a document for the image tests: the options point at a scratch folder of the test's own,
// and the import settings and the image library's creation seam are back to normal after each test.
#pragma once

#include "DocumentTestSupport.h"

#include "ImagesImportSettings.h"
#include "TheDocument.h"
#include "zvkImage/zvkImage.h"

#include <gtest/gtest.h>

namespace doctest {

class ImagesJobFixture : public ::testing::Test {
 protected:
  explicit ImagesJobFixture(const char* folderName) : folder(folderName) {}
  void SetUp() override {
    MainWindow();
    ResetOptions(folder.Path());
    GetImagesImportSettings() = ImagesImportSettings();
    ASSERT_TRUE(document.NewJob());
  }
  void TearDown() override {
    zvkImage::SetCreationFailure(S_OK);
    GetImagesImportSettings() = ImagesImportSettings();
    ResetOptions("");
  }

  ScratchFolder folder;
  CTheDocument document;
};

}  // namespace doctest
