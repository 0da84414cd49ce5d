#include "ImportFileNames.h"

#include "FileFinder.h"
#include "PathHelpers.h"

#include <cctype>

namespace {

constexpr int MaxFolderDepth = 64;

int32_t ReadDigits(const char* text) {
  int64_t value = 0;
  for (; std::isdigit(static_cast<unsigned char>(*text)); ++text) {
    value = value * 10 + (*text - '0');
    if (value > INT32_MAX) return 0;
  }
  return static_cast<int32_t>(value);
}

bool Precedes(const ImportCandidate& a, const ImportCandidate& b, int32_t order, bool compareFolders) {
  if (compareFolders) {
    const int folders = a.folder.CompareNoCase(b.folder);
    if (folders != 0) return folders < 0;
  }
  if (order == 0 && a.number != b.number) return a.number < b.number;
  return a.name.CompareNoCase(b.name) < 0;
}

void Walk(const CString& folder, int depth, std::vector<ImportCandidate>& found) {
  const CString base = AppendBackslash(folder);
  WIN32_FIND_DATAA data{};
  HANDLE search = ::FindFirstFileA(base + "*.*", &data);
  if (search == INVALID_HANDLE_VALUE) return;
  std::vector<CString> subFolders;
  do {
    const CString name = data.cFileName;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (name == "." || name == "..") continue;
      // A link to a directory could lead back up the tree.
      if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
      if (depth + 1 < MaxFolderDepth) Walk(base + name, depth + 1, found);
      continue;
    }
    found.push_back({name, base, NumberOfFileName(name)});
  } while (::FindNextFileA(search, &data));
  ::FindClose(search);
}

}  // namespace

int32_t NumberOfFileName(const char* name) {
  for (const char* p = name; *p != '\0'; ++p)
    if (std::isdigit(static_cast<unsigned char>(*p))) return ReadDigits(p);
  return 0;
}

int32_t NumberAtPosition(const char* name, int32_t position) {
  if (position < 0) return 0;
  const size_t length = std::strlen(name);
  if (static_cast<size_t>(position) >= length) return 0;
  return ReadDigits(name + position);
}

void SortCandidates(std::vector<ImportCandidate>& candidates, int32_t order, bool compareFolders) {
  // A Shell sort with halving gaps: entries that compare equal keep no promised order.
  const size_t count = candidates.size();
  for (size_t gap = count / 2; gap > 0; gap /= 2) {
    for (size_t i = gap; i < count; ++i) {
      for (size_t j = i; j >= gap && Precedes(candidates[j], candidates[j - gap], order, compareFolders);
           j -= gap)
        std::swap(candidates[j], candidates[j - gap]);
    }
  }
}

std::vector<ImportCandidate> WalkFolderTree(const CString& folder) {
  std::vector<ImportCandidate> found;
  Walk(folder, 0, found);
  return found;
}

std::vector<ImportCandidate> FindMaskedFiles(const CString& folder, const CString& prefix, int32_t width,
                                             const CString& suffix, const CString& extension,
                                             int32_t firstNumber, int32_t lastNumber) {
  std::vector<ImportCandidate> found;
  const CString pattern = folder + prefix + "*" + suffix + "." + extension;
  const int32_t position = width != 0 ? prefix.GetLength() : -1;
  FileFinder finder(pattern);
  for (CString name = finder.First(); !name.IsEmpty(); name = finder.Next()) {
    const int32_t number = NumberAtPosition(name, position);
    if (firstNumber != 0 && number < firstNumber) continue;
    if (lastNumber != 0 && number > lastNumber) continue;
    found.push_back({name, CString(), number});
  }
  return found;
}

CString MaskExample(const CString& prefix, int32_t width, const CString& suffix, const CString& extension) {
  CString number;
  if (width > 0)
    number.Format("%0*d", width > 64 ? 64 : width, 3);
  else
    number = "<xxx>";
  return prefix + number + suffix + "." + extension;
}
