// Keyer states of one test go to a folder of its own, removed with everything in it afterwards.
#pragma once

#include <keyer/KeyerCreation.h>

#include <windows.h>

#include <string>

namespace keybench {

class StateFolder {
 public:
  explicit StateFolder(const char* prefix = "keybench-test-") {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    path_ = std::string(temp) + prefix + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(path_.c_str(), nullptr);
    SetKeyerStateFolder(path_.c_str());
  }
  ~StateFolder() {
    SetKeyerStateFolder(nullptr);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
          DeleteFileA((path_ + "\\" + found.cFileName).c_str());
      } while (FindNextFileA(search, &found));
      FindClose(search);
    }
    RemoveDirectoryA(path_.c_str());
  }
  StateFolder(const StateFolder&) = delete;
  StateFolder& operator=(const StateFolder&) = delete;

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace keybench
