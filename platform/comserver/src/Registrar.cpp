#include "comserver/Registrar.h"

#include <cstdlib>

#include "comserver/RegKey.h"
#include "comserver/RegistryScript.h"

namespace comserver {

namespace {

HRESULT FromWin32(LONG error) { return error == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(error); }

bool IsMissing(LONG error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

LONG SetValue(CRegKey& key, const char* name, const RegistryScriptNode& node) {
  if (node.valueType == 'd')
    return key.SetDWORDValue(name, static_cast<DWORD>(std::strtoul(node.value.c_str(), nullptr, 0)));
  return key.SetStringValue(name, node.value);
}

LONG RegisterNode(HKEY parent, const RegistryScriptNode& node) {
  if (node.isNamedValue) {
    CRegKey key;
    key.Attach(parent);
    LONG error = SetValue(key, node.name.c_str(), node);
    key.Detach();
    return error;
  }
  if (node.removal == RegistryScriptNode::Removal::ForceRemove) {
    LONG error = RegDeleteTreeA(parent, node.name.c_str());
    if (error != ERROR_SUCCESS && !IsMissing(error)) return error;
  }
  CRegKey key;
  LONG error = key.Create(parent, node.name.c_str());
  if (error != ERROR_SUCCESS) return error;
  if (node.hasValue) {
    error = SetValue(key, nullptr, node);
    if (error != ERROR_SUCCESS) return error;
  }
  for (const RegistryScriptNode& child : node.children) {
    error = RegisterNode(key, child);
    if (error != ERROR_SUCCESS) return error;
  }
  return ERROR_SUCCESS;
}

// Missing keys and values are what unregistration wants: only other failures count.
LONG UnregisterNode(HKEY parent, const RegistryScriptNode& node) {
  if (node.isNamedValue) {
    LONG error = RegDeleteValueA(parent, node.name.c_str());
    return IsMissing(error) ? ERROR_SUCCESS : error;
  }
  if (node.removal == RegistryScriptNode::Removal::ForceRemove) {
    LONG error = RegDeleteTreeA(parent, node.name.c_str());
    return IsMissing(error) ? ERROR_SUCCESS : error;
  }
  CRegKey key;
  LONG error = key.Open(parent, node.name.c_str());
  if (IsMissing(error)) return ERROR_SUCCESS;
  if (error != ERROR_SUCCESS) return error;
  LONG result = ERROR_SUCCESS;
  for (const RegistryScriptNode& child : node.children) {
    error = UnregisterNode(key, child);
    if (error != ERROR_SUCCESS && result == ERROR_SUCCESS) result = error;
  }
  bool keep = node.removal == RegistryScriptNode::Removal::NoRemove || key.HasSubKeys();
  key.Close();
  if (!keep) {
    error = RegDeleteKeyA(parent, node.name.c_str());
    if (error != ERROR_SUCCESS && !IsMissing(error) && result == ERROR_SUCCESS) result = error;
  }
  return result;
}

}  // namespace

HRESULT CRegistrar::Run(const std::string& text, bool doRegister) {
  RegistryScript script;
  if (!script.Parse(text, m_replacements)) return E_FAIL;
  if (!doRegister) {
    LONG result = ERROR_SUCCESS;
    for (const RegistryScriptRoot& root : script.Roots())
      for (const RegistryScriptNode& node : root.keys) {
        LONG error = UnregisterNode(root.root, node);
        if (error != ERROR_SUCCESS && result == ERROR_SUCCESS) result = error;
      }
    return FromWin32(result);
  }
  for (const RegistryScriptRoot& root : script.Roots())
    for (const RegistryScriptNode& node : root.keys) {
      LONG error = RegisterNode(root.root, node);
      if (error != ERROR_SUCCESS) {
        Run(text, false);  // leave no half-written registration behind
        return FromWin32(error);
      }
    }
  return S_OK;
}

HRESULT CRegistrar::StringRegister(const std::string& script) { return Run(script, true); }
HRESULT CRegistrar::StringUnregister(const std::string& script) { return Run(script, false); }

HRESULT CRegistrar::LoadScript(HINSTANCE module, UINT id, std::string& script) {
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), "REGISTRY");
  if (!resource) return HRESULT_FROM_WIN32(GetLastError());
  HGLOBAL loaded = LoadResource(module, resource);
  DWORD size = SizeofResource(module, resource);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return HRESULT_FROM_WIN32(GetLastError());
  script.assign(static_cast<const char*>(bytes), size);
  size_t end = script.find('\0');  // resource compilers may add a terminator
  if (end != std::string::npos) script.resize(end);
  return S_OK;
}

HRESULT CRegistrar::ResourceRegister(HINSTANCE module, UINT id) {
  std::string script;
  HRESULT hr = LoadScript(module, id, script);
  return SUCCEEDED(hr) ? Run(script, true) : hr;
}

HRESULT CRegistrar::ResourceUnregister(HINSTANCE module, UINT id) {
  std::string script;
  HRESULT hr = LoadScript(module, id, script);
  return SUCCEEDED(hr) ? Run(script, false) : hr;
}

}  // namespace comserver
