// Where the tests find their fixtures and scratch space when they run under Wine.
#pragma once

#include <windows.h>

#include <string>

namespace testsupport {

// tests/fixtures/<name> as a Windows path. ctest passes the folder as a Unix path;
// Wine shows the Unix root as drive Z:.
inline std::string FixturePath(const std::string& name) {
  char buffer[MAX_PATH * 2] = {};
  DWORD n = GetEnvironmentVariableA("PELLORIN_FIXTURES", buffer, sizeof(buffer));
  std::string folder = (n > 0 && n < sizeof(buffer)) ? std::string(buffer) : std::string();
  if (!folder.empty() && folder[0] == '/') folder = "Z:" + folder;
  for (char& c : folder)
    if (c == '/') c = '\\';
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder + name;
}

// A fresh, empty folder under the temporary folder, removed by the caller's test if it wishes.
inline std::string ScratchFolder(const std::string& tag) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  std::string folder = std::string(temp) + "pellorin-" + tag + "-" + std::to_string(GetCurrentProcessId()) +
                       "-" + std::to_string(GetTickCount64());
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

}  // namespace testsupport
