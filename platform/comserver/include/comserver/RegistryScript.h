// A parsed registry script, the text form the servers keep as REGISTRY resources:
//
//   HKCR
//   {
//     NoRemove CLSID
//     {
//       ForceRemove {...} = s 'Name'
//       {
//         InprocServer32 = s '%MODULE%'
//         {
//           val ThreadingModel = s 'Both'
//         }
//       }
//     }
//   }
//
// Tokens are separated by white space; texts are quoted with ' ('' for a quote); values are
// s (string) or d (number). %NAME% is replaced from the given table, %% by %.
#pragma once

#include <windows.h>
#include <map>
#include <string>
#include <vector>

namespace comserver {

struct RegistryScriptNode {
  enum class Removal { Normal, NoRemove, ForceRemove };
  std::string name;
  Removal removal = Removal::Normal;
  bool isNamedValue = false;  // `val name = ...` sets a value of the parent key
  bool hasValue = false;      // a key's default value, or the named value
  char valueType = 's';       // 's' or 'd'
  std::string value;
  std::vector<RegistryScriptNode> children;
};

struct RegistryScriptRoot {
  HKEY root = nullptr;
  std::vector<RegistryScriptNode> keys;
};

class RegistryScript {
 public:
  // Parses text; false (and nothing kept) when the text is malformed.
  bool Parse(const std::string& text, const std::map<std::string, std::string>& replacements);
  const std::vector<RegistryScriptRoot>& Roots() const { return m_roots; }

 private:
  std::vector<RegistryScriptRoot> m_roots;
};

}  // namespace comserver
