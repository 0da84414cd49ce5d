// A script line that cannot be read; what() names the script and the line.
#pragma once

#include <stdexcept>
#include <string>

namespace keybench {

class ScriptError : public std::runtime_error {
 public:
  ScriptError(const std::string& source, int line, const std::string& reason)
      : std::runtime_error(source + "(" + std::to_string(line) + "): " + reason), line_(line) {}

  int Line() const { return line_; }

 private:
  int line_;
};

}  // namespace keybench
