// The keyer's state files: immutable, named by the SHA-256 digest of their content, in
// "Corvanith\Pellorin\Keyer" under the local application-data folder.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

class KeyerStoreError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class KeyerStateStore {
 public:
  // The folder, created when missing. Throws KeyerStoreError when it cannot be made.
  static std::string Folder();
  // Writes the bytes under a temporary name and renames it to its digest name, unless a file of
  // that name already holds them; returns the full path. A written file is never rewritten.
  static std::string Save(const std::vector<uint8_t>& bytes);
  // The bytes of a state file, at most the format's largest size. Refuses network and device
  // paths outside the keyer's folder without opening them.
  static std::vector<uint8_t> Load(const std::string& path);
  // True for a path Load refuses unopened.
  static bool Refuses(const std::string& path);

  static void SetFolderOverride(const char* folder);
};
