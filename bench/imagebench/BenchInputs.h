// What the benchmarks on the image benchmark's JPEGs share: the folder imagebench-reference.sh filled beside
// the programs, the outside tools' figures it wrote there, and copies of its JPEGs to work on.
#pragma once

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace benchinputs {

inline std::string Folder(const std::string& path) { return path.substr(0, path.find_last_of("\\/")); }

// The folder of the JPEGs and of reference.txt.
inline std::string DataFolder() {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  return Folder(self) + "\\imagebench-data";
}

// "tool task" -> seconds per image and peak MB; empty when the script has not run.
inline std::map<std::string, std::pair<double, double>> ReadReference(const std::string& data) {
  std::map<std::string, std::pair<double, double>> figures;
  std::ifstream reference(data + "\\reference.txt");
  std::string tool, task;
  double seconds, mb;
  while (reference >> tool >> task >> seconds >> mb) figures[tool + " " + task] = {seconds, mb};
  return figures;
}

// A folder of the benchmark's own under the temporary folder, with its backslash.
inline std::string WorkFolder(const char* name) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  return std::string(temp) + name + "\\";
}

// count copies of in1.jpg and in2.jpg in turn, as work\IMG_<n>.jpg; empty when the JPEGs are missing.
inline std::vector<std::string> CopyInputs(const std::string& data, const std::string& work, int count) {
  CreateDirectoryA(work.c_str(), nullptr);
  std::vector<std::string> files;
  for (int i = 0; i < count; ++i) {
    const std::string source = data + (i % 2 == 0 ? "\\in1.jpg" : "\\in2.jpg");
    const std::string target = work + "IMG_" + std::to_string(i + 1) + ".jpg";
    if (!CopyFileA(source.c_str(), target.c_str(), FALSE)) {
      printf("%s is missing (made by imagebench-reference.sh)\n", source.c_str());
      return {};
    }
    files.push_back(target);
  }
  return files;
}

}  // namespace benchinputs
