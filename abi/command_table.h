// Descriptive view of the command table (abi/commands.def), shared by the plug-in,
// the host and the command-line tool.
#pragma once
#include <cstdint>
#include <span>
#include <string_view>

#include "abi/abi.h"

namespace vrx {

struct ParamSpec {
  Kind kind = Kind::None;
  Dir dir = Dir::In;
};

constexpr int kMaxParams = 7;

struct CommandInfo {
  int32_t selector = 0;
  std::string_view name;  // empty for a gap
  ResultKind result = ResultKind::None;
  bool busy = false;
  bool built = false;
  int32_t failValue = 0;
  ParamSpec params[kMaxParams] = {};
  int paramCount = 0;
};

// Rows for selectors 1..114 in order (gaps included, with an empty name).
std::span<const CommandInfo> CommandTable();
// nullptr outside 1..114; gaps are returned (with an empty name).
const CommandInfo* CommandBySelector(int32_t selector);
// ASCII letters compared without case.
bool SameNameIgnoringCase(std::string_view a, std::string_view b);
// Exact name, or case-insensitive; nullptr when unknown.
const CommandInfo* CommandByName(std::string_view name);

std::string_view KindName(Kind k);
std::string_view DirName(Dir d);
std::string_view ResultKindName(ResultKind k);

}  // namespace vrx
