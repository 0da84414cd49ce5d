#include "comserver/RegistryScript.h"

#include <cctype>
#include <cstdlib>

namespace comserver {

namespace {

struct Token {
  std::string text;
  bool quoted = false;
};

bool Substitute(const std::string& text, const std::map<std::string, std::string>& replacements,
                std::string& result) {
  result.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      result += text[i];
      continue;
    }
    size_t end = text.find('%', i + 1);
    if (end == std::string::npos) return false;
    std::string name = text.substr(i + 1, end - i - 1);
    if (name.empty()) {
      result += '%';
    } else {
      auto found = replacements.find(name);
      if (found == replacements.end()) return false;
      result += found->second;
    }
    i = end;
  }
  return true;
}

bool Tokenize(const std::string& text, std::vector<Token>& tokens) {
  size_t i = 0;
  while (i < text.size()) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (std::isspace(c)) {
      ++i;
    } else if (c == '\'') {
      Token token;
      token.quoted = true;
      for (++i;; ++i) {
        if (i >= text.size()) return false;
        if (text[i] == '\'') {
          if (i + 1 < text.size() && text[i + 1] == '\'') {
            token.text += '\'';
            ++i;
          } else {
            ++i;
            break;
          }
        } else {
          token.text += text[i];
        }
      }
      tokens.push_back(token);
    } else {
      size_t start = i;
      while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i]))) ++i;
      tokens.push_back(Token{text.substr(start, i - start), false});
    }
  }
  return true;
}

bool NoCaseEquals(const std::string& a, const char* b) { return _stricmp(a.c_str(), b) == 0; }

class Parser {
 public:
  Parser(const std::vector<Token>& tokens, const std::map<std::string, std::string>& replacements)
      : m_tokens(tokens), m_replacements(replacements) {}

  bool ParseRoots(std::vector<RegistryScriptRoot>& roots) {
    while (m_pos < m_tokens.size()) {
      RegistryScriptRoot root;
      const Token& name = m_tokens[m_pos++];
      if (name.quoted) return false;
      root.root = RootKey(name.text);
      if (!root.root || !Expect("{") || !ParseKeys(root.keys)) return false;
      roots.push_back(std::move(root));
    }
    return true;
  }

 private:
  static HKEY RootKey(const std::string& name) {
    if (NoCaseEquals(name, "HKCR") || NoCaseEquals(name, "HKEY_CLASSES_ROOT")) return HKEY_CLASSES_ROOT;
    if (NoCaseEquals(name, "HKCU") || NoCaseEquals(name, "HKEY_CURRENT_USER")) return HKEY_CURRENT_USER;
    if (NoCaseEquals(name, "HKLM") || NoCaseEquals(name, "HKEY_LOCAL_MACHINE")) return HKEY_LOCAL_MACHINE;
    return nullptr;
  }

  bool IsWord(const char* word) const {
    return m_pos < m_tokens.size() && !m_tokens[m_pos].quoted && m_tokens[m_pos].text == word;
  }
  bool Expect(const char* word) {
    if (!IsWord(word)) return false;
    ++m_pos;
    return true;
  }

  // Keys up to and including the closing brace.
  bool ParseKeys(std::vector<RegistryScriptNode>& keys) {
    for (;;) {
      if (m_pos >= m_tokens.size()) return false;
      if (Expect("}")) return true;
      RegistryScriptNode node;
      if (!ParseNode(node)) return false;
      keys.push_back(std::move(node));
    }
  }

  bool ParseNode(RegistryScriptNode& node) {
    if (m_pos < m_tokens.size() && !m_tokens[m_pos].quoted) {
      if (NoCaseEquals(m_tokens[m_pos].text, "NoRemove")) {
        node.removal = RegistryScriptNode::Removal::NoRemove;
        ++m_pos;
      } else if (NoCaseEquals(m_tokens[m_pos].text, "ForceRemove")) {
        node.removal = RegistryScriptNode::Removal::ForceRemove;
        ++m_pos;
      }
    }
    if (m_pos < m_tokens.size() && !m_tokens[m_pos].quoted && NoCaseEquals(m_tokens[m_pos].text, "val")) {
      node.isNamedValue = true;
      ++m_pos;
    }
    if (m_pos >= m_tokens.size()) return false;
    const Token& name = m_tokens[m_pos++];
    if (!name.quoted && (name.text == "{" || name.text == "}" || name.text == "=")) return false;
    if (!Substitute(name.text, m_replacements, node.name)) return false;
    if (Expect("=")) {
      if (m_pos + 1 >= m_tokens.size() || m_tokens[m_pos].quoted || !m_tokens[m_pos + 1].quoted) return false;
      const std::string& type = m_tokens[m_pos].text;
      if (type != "s" && type != "d") return false;
      node.valueType = type[0];
      if (!Substitute(m_tokens[m_pos + 1].text, m_replacements, node.value)) return false;
      if (node.valueType == 'd') {
        char* end = nullptr;
        std::strtoul(node.value.c_str(), &end, 0);
        if (node.value.empty() || *end != '\0') return false;
      }
      node.hasValue = true;
      m_pos += 2;
    }
    if (node.isNamedValue) return node.hasValue;
    if (Expect("{")) return ParseKeys(node.children);
    return true;
  }

  const std::vector<Token>& m_tokens;
  const std::map<std::string, std::string>& m_replacements;
  size_t m_pos = 0;
};

}  // namespace

bool RegistryScript::Parse(const std::string& text, const std::map<std::string, std::string>& replacements) {
  m_roots.clear();
  std::vector<Token> tokens;
  if (!Tokenize(text, tokens)) return false;
  std::vector<RegistryScriptRoot> roots;
  if (!Parser(tokens, replacements).ParseRoots(roots)) return false;
  m_roots = std::move(roots);
  return true;
}

}  // namespace comserver
