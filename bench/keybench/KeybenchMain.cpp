// keybench: keys composites with known alpha through the keyer's and the image library's real
// interfaces and prints error measures and speed next to a naive colour-difference keyer.
//
//   keybench [--scenes FOLDER]                        the built-in scenes; their files go to FOLDER
//                                                     (keybench-scenes beside the program by default)
//   keybench [--colour FILE] composite script matte [alpha [foreground]]
//                                                     keys files (see FileKeying.h)
#include "BuiltInRun.h"
#include "FileKeying.h"

#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: keybench [--scenes FOLDER]\n"
               "       keybench [--colour FILE] composite script matte [alpha [foreground]]\n");
  return 2;
}

// keybench-scenes in the program's own folder: a run from the source tree leaves nothing there.
std::string DefaultSceneFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
  const size_t slash = folder.find_last_of("\\/");
  folder = slash == std::string::npos ? std::string(".") : folder.substr(0, slash);
  return folder + "\\keybench-scenes";
}

int Dispatch(const std::vector<std::string>& args) {
  if (args.empty()) return keybench::BuiltInRun::Run(DefaultSceneFolder());
  if (args[0] == "--scenes") return args.size() == 2 ? keybench::BuiltInRun::Run(args[1]) : Usage();
  std::string colour;
  size_t at = 0;
  if (args[0] == "--colour") {
    if (args.size() < 2) return Usage();
    colour = args[1];
    at = 2;
  }
  const size_t count = args.size() - at;
  if (count < 3 || count > 5) return Usage();
  keybench::FileKeyingArgs files{args[at], args[at + 1], args[at + 2], count > 3 ? args[at + 3] : "",
                                 count > 4 ? args[at + 4] : ""};
  files.colour = colour;
  return keybench::FileKeying::Run(files);
}

}  // namespace

int main(int argc, char** argv) {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  if (FAILED(com)) {
    std::fprintf(stderr, "keybench: COM cannot start (0x%08lX)\n", static_cast<unsigned long>(com));
    return 1;
  }
  int rc = 1;
  try {
    rc = Dispatch(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "keybench: %s\n", e.what());
    rc = 1;
  }
  CoUninitialize();
  return rc;
}
