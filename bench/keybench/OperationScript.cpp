#include "OperationScript.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace keybench {

namespace {

enum class Shape { Factors2, Sample, SampleFlag, Tune, Algorithm, Colour, None, Area };

struct OpSyntax {
  KeyerOp op;
  const char* name;
  Shape shape;
  const char* usage;
};

constexpr OpSyntax kSyntax[] = {
    {KeyerOp::AutoCompute, "AutoCompute", Shape::Factors2, "<background factor> <foreground factor>"},
    {KeyerOp::SelectBackgroundColor, "SelectBackgroundColor", Shape::Sample, "<left> <top> <right> <bottom>"},
    {KeyerOp::CleanBackground, "CleanBackground", Shape::Sample, "<left> <top> <right> <bottom>"},
    {KeyerOp::CleanForeground, "CleanForeground", Shape::Sample, "<left> <top> <right> <bottom>"},
    {KeyerOp::MatteSponge, "MatteSponge", Shape::Sample, "<left> <top> <right> <bottom>"},
    {KeyerOp::SpillSponge, "SpillSponge", Shape::Sample, "<left> <top> <right> <bottom>"},
    {KeyerOp::MakeForegroundTransparent, "MakeForegroundTransparent", Shape::Sample,
     "<left> <top> <right> <bottom>"},
    {KeyerOp::RestoreDetail, "RestoreDetail", Shape::Sample, "<left> <top> <right> <bottom>"},
    {KeyerOp::AdjustMatte, "AdjustMatte", Shape::SampleFlag,
     "<left> <top> <right> <bottom> <1 more | 0 less>"},
    {KeyerOp::AdjustSpill, "AdjustSpill", Shape::SampleFlag,
     "<left> <top> <right> <bottom> <1 more | 0 less>"},
    {KeyerOp::AdjustDetail, "AdjustDetail", Shape::SampleFlag,
     "<left> <top> <right> <bottom> <1 more | 0 less>"},
    {KeyerOp::FineTune, "FineTune", Shape::Tune, "<colour> <delta> <delta> <delta>"},
    {KeyerOp::SetAlgorithm, "SetAlgorithm", Shape::Algorithm, "<0, 1 or 2>"},
    {KeyerOp::SetSpillReplaceColor, "SetSpillReplaceColor", Shape::Colour, "<colour or -1>"},
    {KeyerOp::SetSpillReplaceComplement, "SetSpillReplaceComplement", Shape::None, "(no arguments)"},
    {KeyerOp::SetSpillReplaceDefocus, "SetSpillReplaceDefocus", Shape::None, "(no arguments)"},
    {KeyerOp::ProtectArea, "ProtectArea", Shape::Area, "rectangle|ellipse <left> <top> <right> <bottom>"},
    {KeyerOp::GarbageArea, "GarbageArea", Shape::Area, "rectangle|ellipse <left> <top> <right> <bottom>"},
};

int ArgumentCount(Shape shape) {
  switch (shape) {
    case Shape::Factors2:
      return 2;
    case Shape::Sample:
      return 4;
    case Shape::SampleFlag:
      return 5;
    case Shape::Tune:
      return 4;
    case Shape::Algorithm:
      return 1;
    case Shape::Colour:
      return 1;
    case Shape::None:
      return 0;
    case Shape::Area:
      return 5;
  }
  return 0;
}

// Built by appending: the insert that "literal" + string makes trips a false -Wrestrict in GCC 12.
std::string Quote(std::string_view token) {
  std::string text(1, '"');
  text.append(token);
  text += '"';
  return text;
}

class LineReader {
 public:
  LineReader(const std::string& source, int line) : source_(source), line_(line) {}

  [[noreturn]] void Fail(const std::string& reason) const { throw ScriptError(source_, line_, reason); }

  std::int32_t Integer(std::string_view token) const {
    long long value = 0;
    const bool negative = !token.empty() && token[0] == '-';
    std::string_view digits = negative ? token.substr(1) : token;
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
      digits.remove_prefix(2);
      base = 16;
    }
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
        (!digits.empty() && digits[0] == '-'))
      Fail(Quote(token) + " is not a whole number");
    if (negative) value = -value;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
      Fail(Quote(token) + " is out of range");
    return static_cast<std::int32_t>(value);
  }

  float Number(std::string_view token) const {
    float value = 0.0f;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (token.empty() || error != std::errc() || end != token.data() + token.size() || !std::isfinite(value))
      Fail(Quote(token) + " is not a number");
    return value;
  }

  std::int32_t Colour(std::string_view token, bool allowMinusOne) const {
    const std::int32_t value = Integer(token);
    if (allowMinusOne && value == -1) return value;
    if (value < 0 || value > 0xFFFFFF)
      Fail(std::string("a colour is 0 to 0xFFFFFF") + (allowMinusOne ? " or -1" : "") + ", not " +
           Quote(token));
    return value;
  }

  PixelRect Sample(const std::vector<std::string_view>& args, size_t first) const {
    const PixelRect r{Integer(args[first]), Integer(args[first + 1]), Integer(args[first + 2]),
                      Integer(args[first + 3])};
    if (r.left < 0 || r.top < 0) Fail("a sample starts at pixel 0 or later");
    if (r.right <= r.left || r.bottom <= r.top)
      Fail("the sample rectangle is empty (right and bottom are exclusive)");
    return r;
  }

 private:
  const std::string& source_;
  int line_;
};

std::vector<std::string_view> Tokens(std::string_view line) {
  std::vector<std::string_view> tokens;
  size_t i = 0;
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; };
  while (i < line.size()) {
    while (i < line.size() && blank(line[i])) ++i;
    const size_t start = i;
    while (i < line.size() && !blank(line[i])) ++i;
    if (i > start) tokens.push_back(line.substr(start, i - start));
  }
  return tokens;
}

KeyerCall ParseLine(const std::vector<std::string_view>& tokens, const LineReader& reader, int lineNumber) {
  const OpSyntax* syntax = nullptr;
  for (const OpSyntax& s : kSyntax)
    if (tokens[0] == s.name) syntax = &s;
  if (!syntax) reader.Fail("unknown keyer call " + Quote(tokens[0]));
  const std::vector<std::string_view> args(tokens.begin() + 1, tokens.end());
  if (static_cast<int>(args.size()) != ArgumentCount(syntax->shape))
    reader.Fail(std::string(syntax->name) + " takes " + syntax->usage);

  KeyerCall call;
  call.op = syntax->op;
  call.line = lineNumber;
  switch (syntax->shape) {
    case Shape::Factors2:
      call.factors[0] = reader.Number(args[0]);
      call.factors[1] = reader.Number(args[1]);
      break;
    case Shape::Sample:
      call.sample = reader.Sample(args, 0);
      break;
    case Shape::SampleFlag:
      call.sample = reader.Sample(args, 0);
      call.flag = reader.Integer(args[4]);
      if (call.flag != 0 && call.flag != 1) reader.Fail("the flag is 1 (more) or 0 (less)");
      break;
    case Shape::Tune:
      call.value = reader.Colour(args[0], false);
      for (int i = 0; i < 3; ++i) call.factors[i] = reader.Number(args[1 + i]);
      break;
    case Shape::Algorithm:
      call.value = reader.Integer(args[0]);
      if (call.value < 0 || call.value > 2) reader.Fail("the algorithm is 0, 1 or 2");
      break;
    case Shape::Colour:
      call.value = reader.Colour(args[0], true);
      break;
    case Shape::None:
      break;
    case Shape::Area:
      if (args[0] == "rectangle")
        call.area.type = AreaRecord::Rectangle;
      else if (args[0] == "ellipse")
        call.area.type = AreaRecord::Ellipse;
      else
        reader.Fail("unknown area shape " + Quote(args[0]) + " (rectangle or ellipse)");
      call.area.left = reader.Integer(args[1]);
      call.area.top = reader.Integer(args[2]);
      call.area.right = reader.Integer(args[3]);
      call.area.bottom = reader.Integer(args[4]);
      if (call.area.right <= call.area.left || call.area.bottom <= call.area.top)
        reader.Fail("the area is empty");
      break;
  }
  return call;
}

std::string FloatText(float value) {
  char buffer[32];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof(buffer), value);
  return std::string(buffer, error == std::errc() ? end : buffer);
}

std::string ColourText(std::int32_t value) {
  if (value < 0) return std::to_string(value);
  char buffer[16];
  std::snprintf(buffer, sizeof(buffer), "0x%06X", static_cast<unsigned>(value));
  return buffer;
}

}  // namespace

const char* OperationScript::OpName(KeyerOp op) {
  for (const OpSyntax& s : kSyntax)
    if (s.op == op) return s.name;
  return "?";
}

std::vector<KeyerCall> OperationScript::Parse(std::string_view text, const std::string& source) {
  std::vector<KeyerCall> calls;
  int lineNumber = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    ++lineNumber;
    const size_t hash = line.find('#');
    if (hash != std::string_view::npos) line = line.substr(0, hash);
    const std::vector<std::string_view> tokens = Tokens(line);
    if (!tokens.empty()) calls.push_back(ParseLine(tokens, LineReader(source, lineNumber), lineNumber));
    if (end == text.size()) break;
    start = end + 1;
  }
  return calls;
}

std::string OperationScript::FormatCall(const KeyerCall& call) {
  std::string text = OpName(call.op);
  const auto add = [&text](const std::string& part) { text += ' ' + part; };
  const auto addRect = [&add](const PixelRect& r) {
    add(std::to_string(r.left));
    add(std::to_string(r.top));
    add(std::to_string(r.right));
    add(std::to_string(r.bottom));
  };
  switch (call.op) {
    case KeyerOp::AutoCompute:
      add(FloatText(call.factors[0]));
      add(FloatText(call.factors[1]));
      break;
    case KeyerOp::AdjustMatte:
    case KeyerOp::AdjustSpill:
    case KeyerOp::AdjustDetail:
      addRect(call.sample);
      add(std::to_string(call.flag));
      break;
    case KeyerOp::FineTune:
      add(ColourText(call.value));
      for (int i = 0; i < 3; ++i) add(FloatText(call.factors[i]));
      break;
    case KeyerOp::SetAlgorithm:
      add(std::to_string(call.value));
      break;
    case KeyerOp::SetSpillReplaceColor:
      add(ColourText(call.value));
      break;
    case KeyerOp::SetSpillReplaceComplement:
    case KeyerOp::SetSpillReplaceDefocus:
      break;
    case KeyerOp::ProtectArea:
    case KeyerOp::GarbageArea:
      add(call.area.type == AreaRecord::Ellipse ? "ellipse" : "rectangle");
      add(std::to_string(call.area.left));
      add(std::to_string(call.area.top));
      add(std::to_string(call.area.right));
      add(std::to_string(call.area.bottom));
      break;
    default:
      addRect(call.sample);
      break;
  }
  return text;
}

std::string OperationScript::Format(const std::vector<KeyerCall>& calls) {
  std::string text;
  for (const KeyerCall& call : calls) text += FormatCall(call) + '\n';
  return text;
}

std::string OperationScript::AreaListText(const std::vector<KeyerCall>& calls, KeyerOp kind) {
  std::string text;
  for (const KeyerCall& call : calls) {
    if (call.op != kind) continue;
    for (std::int32_t v : {call.area.type, call.area.left, call.area.top, call.area.right, call.area.bottom})
      text += ' ' + std::to_string(v);
  }
  return text;
}

}  // namespace keybench
