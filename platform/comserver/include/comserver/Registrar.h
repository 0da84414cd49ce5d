// Writes and removes the keys of a registry script.
//
// Registering creates every key and value (a ForceRemove key is deleted whole first). Unregistering
// deletes ForceRemove keys whole, leaves NoRemove keys but visits their children, removes named
// values, and deletes any other key once nothing is left below it.
#pragma once

#include <windows.h>
#include <map>
#include <string>

namespace comserver {

struct RegistryScriptNode;

class CRegistrar {
 public:
  void AddReplacement(const std::string& name, const std::string& value) { m_replacements[name] = value; }

  HRESULT StringRegister(const std::string& script);
  HRESULT StringUnregister(const std::string& script);
  // The script is resource `id` of type "REGISTRY" in `module`.
  HRESULT ResourceRegister(HINSTANCE module, UINT id);
  HRESULT ResourceUnregister(HINSTANCE module, UINT id);

 private:
  HRESULT Run(const std::string& script, bool doRegister);
  static HRESULT LoadScript(HINSTANCE module, UINT id, std::string& script);

  std::map<std::string, std::string> m_replacements;
};

}  // namespace comserver
