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
  bool ownedResult = false;  // the long result is a host block the caller disposes of
  bool built = false;
  int32_t failValue = 0;
  ParamSpec params[kMaxParams] = {};
  int paramCount = 0;
};

// Rows for selectors 1..114 in order (gaps included, with an empty name): the legacy table.
std::span<const CommandInfo> CommandTable();
// The commands this system adds, from selector 201 on, in order.
std::span<const CommandInfo> ExtensionTable();
// Both, the legacy rows first: one position per row, for tables kept beside this one.
std::span<const CommandInfo> AllCommands();
// The row of a legacy selector 1..114 (gaps included, with an empty name) or of an
// extension; nullptr for any other selector.
const CommandInfo* CommandBySelector(int32_t selector);
// ASCII letters compared without case.
bool SameNameIgnoringCase(std::string_view a, std::string_view b);
// Exact name, or case-insensitive, legacy or extension; nullptr when unknown.
const CommandInfo* CommandByName(std::string_view name);

std::string_view KindName(Kind k);
std::string_view DirName(Dir d);
std::string_view ResultKindName(ResultKind k);

}  // namespace vrx
