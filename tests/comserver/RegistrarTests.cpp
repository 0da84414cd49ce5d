// Registry scripts written and removed under a key of the test's own.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "comserver/RegKey.h"
#include "comserver/Registrar.h"

using comserver::CRegistrar;
using comserver::CRegKey;

namespace {

const std::string kRoot = "Software\\PellorinRegistrarTest" + std::to_string(GetCurrentProcessId());

bool Exists(const std::string& key) {
  CRegKey opened;
  return opened.Open(HKEY_CURRENT_USER, (kRoot + key).c_str(), KEY_READ) == ERROR_SUCCESS;
}

std::string Value(const std::string& key, const char* name) {
  CRegKey opened;
  if (opened.Open(HKEY_CURRENT_USER, (kRoot + key).c_str(), KEY_READ) != ERROR_SUCCESS) return "<no key>";
  std::string text;
  if (opened.QueryStringValue(name, text) != ERROR_SUCCESS) return "<no value>";
  return text;
}

std::string Script(const std::string& body) {
  return "HKCU\n{\n NoRemove Software\n {\n" + body + "\n }\n}\n";
}

class RegistrarTest : public ::testing::Test {
 protected:
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kRoot.c_str()); }
};

}  // namespace

TEST_F(RegistrarTest, WritesKeysValuesAndReplacements) {
  std::string name = kRoot.substr(strlen("Software\\"));
  std::string script = Script("  " + name +
                              " = s 'Top ''quoted'''\n  {\n"
                              "   ForceRemove {AB-CD} = s '%MODULE%, 101'\n   {\n"
                              "    val Number = d '42'\n    val Text = s '100%% sure'\n    Empty\n   }\n  }");
  CRegistrar registrar;
  registrar.AddReplacement("MODULE", "C:\\x\\y.ocx");
  ASSERT_EQ(registrar.StringRegister(script), S_OK);
  EXPECT_EQ(Value("", nullptr), "Top 'quoted'");
  EXPECT_EQ(Value("\\{AB-CD}", nullptr), "C:\\x\\y.ocx, 101");
  EXPECT_EQ(Value("\\{AB-CD}", "Text"), "100% sure");
  CRegKey key;
  ASSERT_EQ(key.Open(HKEY_CURRENT_USER, (kRoot + "\\{AB-CD}").c_str(), KEY_READ), ERROR_SUCCESS);
  DWORD number = 0, size = sizeof(number), type = 0;
  ASSERT_EQ(RegQueryValueExA(key, "Number", nullptr, &type, reinterpret_cast<BYTE*>(&number), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(number, 42u);
  key.Close();
  EXPECT_TRUE(Exists("\\{AB-CD}\\Empty"));

  // ForceRemove clears what was there before registering; unregistering removes it whole, and the
  // plain parent once nothing else is below it.
  CRegKey stray;
  ASSERT_EQ(stray.Create(HKEY_CURRENT_USER, (kRoot + "\\{AB-CD}\\Stray").c_str()), ERROR_SUCCESS);
  stray.Close();
  ASSERT_EQ(registrar.StringRegister(script), S_OK);
  EXPECT_FALSE(Exists("\\{AB-CD}\\Stray"));
  ASSERT_EQ(stray.Create(HKEY_CURRENT_USER, (kRoot + "\\{AB-CD}\\Stray").c_str()), ERROR_SUCCESS);
  stray.Close();
  ASSERT_EQ(registrar.StringUnregister(script), S_OK);
  EXPECT_FALSE(Exists(""));
  EXPECT_EQ(registrar.StringUnregister(script), S_OK);  // nothing left to remove is fine
}

TEST_F(RegistrarTest, PlainKeysWithForeignChildrenStay) {
  std::string name = kRoot.substr(strlen("Software\\"));
  std::string script = Script("  " + name + "\n  {\n   Mine = s 'x'\n   {\n    val V = s 'y'\n   }\n  }");
  CRegistrar registrar;
  ASSERT_EQ(registrar.StringRegister(script), S_OK);
  CRegKey foreign;
  ASSERT_EQ(foreign.Create(HKEY_CURRENT_USER, (kRoot + "\\Foreign").c_str()), ERROR_SUCCESS);
  foreign.Close();
  ASSERT_EQ(registrar.StringUnregister(script), S_OK);
  EXPECT_FALSE(Exists("\\Mine"));
  EXPECT_TRUE(Exists("\\Foreign"));
}

TEST_F(RegistrarTest, MalformedScriptsChangeNothing) {
  std::string name = kRoot.substr(strlen("Software\\"));
  const std::string scripts[] = {
      "HKXX { A }",
      Script("  " + name + " = s 'unterminated"),
      Script("  " + name + " = q 'bad type'"),
      Script("  " + name + " = d 'forty'"),
      Script("  " + name + " = s '%UNKNOWN%'"),
      Script("  " + name + "\n  {\n   val Lonely\n  }"),
      "HKCU\n{\n NoRemove Software\n {\n  " + name,
  };
  for (const std::string& script : scripts) {
    CRegistrar registrar;
    EXPECT_EQ(registrar.StringRegister(script), E_FAIL) << script;
    EXPECT_FALSE(Exists("")) << script;
  }
}
