#include "DefaultDetailSettings.h"
#include "DetailsProfile.h"
#include "DetailsSchema.h"
#include "GoldenBytes.h"

#include "classlib/ClassLib.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <string>

namespace {

// Every test gets a registry root of its own, removed afterwards, and an application object whose
// profile lives there.
class DetailsSchemaProfile : public ::testing::Test {
 protected:
  void SetUp() override {
    root = "Software\\PellorinTests\\details-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(GetTickCount64()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    CProfile::OverrideRoot(root.c_str());
    app.SetRegistryKey("Corvanith");
  }
  void TearDown() override {
    SHDeleteKeyA(HKEY_CURRENT_USER, root.c_str());
    CProfile::OverrideRoot(nullptr);
  }

  void Store(const char* name, const std::vector<uint8_t>& bytes) {
    ASSERT_TRUE(app.WriteProfileBinary(DetailsProfileSection, name, const_cast<LPBYTE>(bytes.data()),
                                       static_cast<UINT>(bytes.size())));
  }
  std::vector<uint8_t> Stored(const char* name) {
    LPBYTE data = nullptr;
    UINT size = 0;
    app.GetProfileBinary(DetailsProfileSection, name, &data, &size);
    std::vector<uint8_t> bytes(data, data + size);
    delete[] data;
    return bytes;
  }

  std::string root;
  CWinApp app{"Pellorin"};
};

std::vector<std::string> Names(const DetailsFields& fields) {
  std::vector<std::string> names;
  for (int i = 0; i < fields.GetCount(); ++i) names.push_back(fields.GetAt(i).name.str());
  return names;
}

DetailsFields OneField(const char* id, const char* name) {
  DetailsFields fields;
  fields.Add(DetailField(id, name, DetailTypeText, DetailRoleNone));
  return fields;
}

}  // namespace

TEST_F(DetailsSchemaProfile, MissingItemsGetTheFourBuiltInFields) {
  DetailsSchema schema;
  schema.LoadDefaults();
  EXPECT_EQ(Names(schema.items), (std::vector<std::string>{"Lastname", "Firstname", "ID", "Birthdate"}));
  const int types[] = {DetailTypeText, DetailTypeText, DetailTypeText, DetailTypeDate};
  const int roles[] = {DetailRoleLastName, DetailRoleFirstName, DetailRoleUnique, DetailRoleBirthdate};
  for (int i = 0; i < 4; ++i) {
    const DetailField& field = schema.items.GetAt(i);
    EXPECT_EQ(field.type, types[i]);
    EXPECT_EQ(field.special, roles[i]);
    EXPECT_EQ(field.id.GetLength(), 25);
    EXPECT_TRUE(field.reserved1.IsEmpty() && field.reserved2.IsEmpty());
  }
  EXPECT_NE(schema.items.GetAt(0).id, schema.items.GetAt(1).id);
  EXPECT_EQ(schema.file.GetCount(), 0);
  EXPECT_EQ(schema.images.GetCount(), 0);
}

TEST_F(DetailsSchemaProfile, SavedDefaultsLoadBackAndAnEmptyItemsSetStaysEmpty) {
  DetailsSchema saved;
  saved.file = OneField("F", "Job");
  saved.folders = OneField("D", "Class");
  saved.images = OneField("I", "Pose");
  saved.folderTags.SetTagText("@Class");
  saved.itemTags.SetTagText("@<Firstname> @<Lastname>");
  saved.imageTags.SetTagText("@no");
  saved.SaveDefaults();
  EXPECT_EQ(Stored("Items"), modeltest::GoldenBytes().u16(0x0100).u32(0).bytes);
  EXPECT_EQ(Stored("File"), modeltest::WrittenBytes(saved.file));
  EXPECT_EQ(Stored("ImageTags"), modeltest::WrittenBytes(saved.imageTags));

  DetailsSchema loaded;
  loaded.LoadDefaults();
  EXPECT_EQ(loaded.items.GetCount(), 0);
  EXPECT_TRUE(loaded.file.IsEqual(saved.file));
  EXPECT_TRUE(loaded.folders.IsEqual(saved.folders));
  EXPECT_TRUE(loaded.images.IsEqual(saved.images));
  EXPECT_TRUE(loaded.folderTags.IsEqual(saved.folderTags));
  EXPECT_TRUE(loaded.itemTags.IsEqual(saved.itemTags));
  EXPECT_TRUE(loaded.imageTags.IsEqual(saved.imageTags));
}

TEST_F(DetailsSchemaProfile, DamagedValuesKeepTheirDefaultsAndStopNothing) {
  // "Items" holds a first field named like a built-in one, then breaks off: reading it into the set
  // itself would leave "Lastname" behind and make the built-in fields clash.
  std::vector<uint8_t> items = modeltest::GoldenBytes()
                                   .u16(0x0100)
                                   .u32(2)
                                   .u16(0x0100)
                                   .id("X")
                                   .text("Lastname")
                                   .u32(0)
                                   .text("")
                                   .text("")
                                   .u32(3)
                                   .u16(0x0100)
                                   .id("Y")
                                   .bytes;
  Store("Items", items);
  Store("File", {0x00, 0x02, 0, 0, 0, 0});  // a newer major version
  Store("Folders", modeltest::WrittenBytes(OneField("D", "Class")));
  Store("FolderTags", {0x00, 0x01, 0x00});  // cut short
  Store("Images", modeltest::WrittenBytes(OneField("I", "Pose")));

  DetailsSchema schema;
  schema.file = OneField("K", "Kept");
  schema.folderTags.SetTagText("kept");
  ASSERT_NO_THROW(schema.LoadDefaults());
  EXPECT_EQ(Names(schema.items), (std::vector<std::string>{"Lastname", "Firstname", "ID", "Birthdate"}));
  EXPECT_NE(schema.items.GetAt(0).id, "X");
  EXPECT_EQ(Names(schema.file), (std::vector<std::string>{"Kept"}));
  EXPECT_EQ(Names(schema.folders), (std::vector<std::string>{"Class"}));
  EXPECT_EQ(schema.folderTags.GetTagText(), "kept");
  EXPECT_EQ(Names(schema.images), (std::vector<std::string>{"Pose"}));

  // A single loader: false, and the target keeps what it held.
  DetailsFields target = OneField("T", "Target");
  EXPECT_FALSE(LoadProfileFieldSet(DetailsProfileSection, "Items", target));
  EXPECT_EQ(Names(target), (std::vector<std::string>{"Target"}));
  Store("Empty", {});
  EXPECT_FALSE(LoadProfileFieldSet(DetailsProfileSection, "Empty", target));
  EXPECT_FALSE(LoadProfileFieldSet(DetailsProfileSection, "Absent", target));
  EXPECT_TRUE(LoadProfileFieldSet(DetailsProfileSection, "Folders", target));
  EXPECT_EQ(Names(target), (std::vector<std::string>{"Class"}));
}

TEST_F(DetailsSchemaProfile, ApplicationDefaultsLoadOnceAndSaveBack) {
  Store("Images", modeltest::WrittenBytes(OneField("I", "Pose")));
  DetailsSchema& defaults = GetDefaultDetailSettings();
  EXPECT_EQ(&defaults, &GetDefaultDetailSettings());
  EXPECT_EQ(Names(defaults.images), (std::vector<std::string>{"Pose"}));
  EXPECT_EQ(defaults.items.GetCount(), 4);

  DetailsSchema changed = defaults;
  changed.images = OneField("J", "Smile");
  SetDefaultDetailSettings(changed);
  EXPECT_EQ(Names(GetDefaultDetailSettings().images), (std::vector<std::string>{"Smile"}));
  EXPECT_EQ(Stored("Images"), modeltest::WrittenBytes(changed.images));
  EXPECT_EQ(Stored("Items"), modeltest::WrittenBytes(changed.items));
}
