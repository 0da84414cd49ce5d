// A new job in a document for the image tests: the options point at a scratch folder of the test's own,
// and the import settings and the image library's creation seam are back to normal after each test.
#pragma once

#include "DocumentTestSupport.h"

#include "ImagesImportSettings.h"
#include "TheDocument.h"
#include "zvkImage/zvkImage.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace doctest {

// COM started on the thread and zvkLUT.ocx registered in the test's prefix for the scope, as the program's
// start and set-up do, so that tone curves can be made and read back.
class LutServerRegistered {
 public:
  LutServerRegistered() {
    EXPECT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string file(path);
    file.resize(file.find_last_of('\\') + 1);
    server = LoadLibraryA((file + "zvkLUT.ocx").c_str());
    EXPECT_EQ(S_OK, Call("DllRegisterServer"));
  }
  ~LutServerRegistered() {
    EXPECT_EQ(S_OK, Call("DllUnregisterServer"));
    if (server != nullptr) FreeLibrary(server);
    CoUninitialize();
  }

 private:
  HRESULT Call(const char* name) {
    auto entry = server != nullptr
                     ? reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(server, name))
                     : nullptr;
    return entry != nullptr ? entry() : E_FAIL;
  }
  HMODULE server = nullptr;
};

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

  // The id of the image an import of the bitmap added (a linked import names its file).
  CString ImportBitmap(IBitmapPtr bitmap, const char* name, bool linked = false,
                       const ImageProcessing* processing = nullptr) {
    std::set<std::string> before;
    for (int i = 0; i < document.GetImageCount(); ++i)
      before.insert(static_cast<LPCTSTR>(document.GetImages().GetAt(i).id));
    document.ImportImage(0, bitmap, name, linked, processing);
    for (int i = 0; i < document.GetImageCount(); ++i)
      if (!before.count(static_cast<LPCTSTR>(document.GetImages().GetAt(i).id)))
        return document.GetImages().GetAt(i).id;
    ADD_FAILURE() << "nothing imported";
    return CString();
  }

  ScratchFolder folder;
  CTheDocument document;
};

}  // namespace doctest
