#include "abi/command_table.h"

#include <array>
#include <cctype>

namespace vrx {
namespace {

constexpr int CountParams(std::initializer_list<ParamSpec> ps) { return int(ps.size()); }

constexpr CommandInfo MakeRow(int32_t sel, std::string_view name, ResultKind r, int flags,
                              std::string_view handler, int32_t fail,
                              std::initializer_list<ParamSpec> ps) {
  CommandInfo c;
  c.selector = sel;
  c.name = name;
  c.result = r;
  c.busy = flags & 1;
  c.ownedResult = flags & 2;
  c.built = handler != "NotBuilt";
  c.failValue = fail;
  int i = 0;
  for (const ParamSpec& p : ps) c.params[i++] = p;
  c.paramCount = CountParams(ps);
  return c;
}

constexpr CommandInfo MakeGap(int32_t sel) {
  CommandInfo c;
  c.selector = sel;
  return c;
}

#define P(kind, dir) ParamSpec{Kind::kind, Dir::dir}
#define VRX_COMMAND(sel, name, result, flags, handler, fail, ...) \
  MakeRow(sel, #name, ResultKind::result, flags, #handler, fail, {__VA_ARGS__}),
#define VRX_GAP(sel) MakeGap(sel),
constexpr CommandInfo kRows[] = {
#include "abi/commands.def"
};
#undef VRX_COMMAND
#undef VRX_GAP
#undef P

constexpr bool RowsInOrder() {
  if (std::size(kRows) < size_t(kLastSelector)) return false;
  for (size_t i = 0; i < size_t(kLastSelector); ++i)
    if (kRows[i].selector != int32_t(i + 1)) return false;
  int32_t last = kFirstExtensionSelector - 1;
  for (size_t i = size_t(kLastSelector); i < std::size(kRows); ++i) {
    if (kRows[i].selector <= last || kRows[i].name.empty()) return false;
    last = kRows[i].selector;
  }
  return true;
}
static_assert(RowsInOrder(),
              "commands.def must list selectors 1..114 in order, then extensions from 201 on in order");

constexpr std::span<const CommandInfo> kAll{kRows};

}  // namespace

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(uint8_t(a[i])) != std::tolower(uint8_t(b[i]))) return false;
  return true;
}

std::span<const CommandInfo> CommandTable() { return kAll.first(size_t(kLastSelector)); }

std::span<const CommandInfo> ExtensionTable() { return kAll.subspan(size_t(kLastSelector)); }

std::span<const CommandInfo> AllCommands() { return kAll; }

const CommandInfo* CommandBySelector(int32_t selector) {
  if (selector >= 1 && selector <= kLastSelector) return &kRows[selector - 1];
  for (const CommandInfo& c : ExtensionTable())
    if (c.selector == selector) return &c;
  return nullptr;
}

const CommandInfo* CommandByName(std::string_view name) {
  if (name.empty()) return nullptr;
  for (const CommandInfo& c : kRows)
    if (c.name == name) return &c;
  for (const CommandInfo& c : kRows)
    if (!c.name.empty() && SameNameIgnoringCase(c.name, name)) return &c;
  return nullptr;
}

std::string_view KindName(Kind k) {
  static constexpr std::array<std::string_view, 11> names = {
      "none", "long", "integer", "string", "text", "blob", "longs", "picture", "date", "time", "any"};
  return names[size_t(k)];
}

std::string_view DirName(Dir d) {
  static constexpr std::array<std::string_view, 4> names = {"in", "out", "in/out", "ignored"};
  return names[size_t(d)];
}

std::string_view ResultKindName(ResultKind k) {
  static constexpr std::array<std::string_view, 6> names = {"none", "long", "text", "string", "blob", "byte"};
  return names[size_t(k)];
}

}  // namespace vrx
