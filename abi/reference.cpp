#include "abi/reference.h"

#include <array>
#include <cctype>

namespace vrx {
namespace {

constexpr CommandHelp MakeHelp(int32_t sel, std::string_view name, std::string_view purpose,
                               std::string_view result, std::initializer_list<ParamHelp> ps) {
  CommandHelp h;
  h.selector = sel;
  h.name = name;
  h.purpose = purpose;
  h.result = result;
  int i = 0;
  for (const ParamHelp& p : ps) {
    if (i < kMaxParams) h.params[i] = p;
    ++i;
  }
  h.paramCount = i;
  return h;
}

#define A(name, text) ParamHelp{name, text}
#define VRX_HELP(sel, name, purpose, result, ...) MakeHelp(sel, #name, purpose, result, {__VA_ARGS__}),
#define VRX_STATE(...)
#define VRX_TOPIC(...)
constexpr CommandHelp kHelp[] = {
#include "abi/reference.def"
};
#undef VRX_HELP
#undef VRX_STATE
#undef A

#define VRX_HELP(...)
#define VRX_STATE(number, name, label, text) StateHelp{number, name, label, text},
constexpr StateHelp kStates[] = {
#include "abi/reference.def"
};
#undef VRX_STATE
#undef VRX_TOPIC

#define VRX_STATE(...)
#define VRX_TOPIC(name, title, text) TopicHelp{#name, title, text},
constexpr TopicHelp kTopics[] = {
#include "abi/reference.def"
};
#undef VRX_HELP
#undef VRX_STATE
#undef VRX_TOPIC

// What the command table says of each selector, to hold the reference against it.
struct Row {
  int32_t selector;
  std::string_view name;
  int paramCount;
};
template <typename... P>
constexpr int Count(P...) { return int(sizeof...(P)); }
#define P(kind, dir) 0
#define VRX_COMMAND(sel, name, result, flags, handler, fail, ...) Row{sel, #name, Count(__VA_ARGS__)},
#define VRX_GAP(sel) Row{sel, {}, 0},
constexpr Row kRows[] = {
#include "abi/commands.def"
};
#undef VRX_COMMAND
#undef VRX_GAP
#undef P

constexpr const CommandHelp* Find(int32_t selector) {
  for (const CommandHelp& h : kHelp)
    if (h.selector == selector) return &h;
  return nullptr;
}

// Every command has exactly one entry under its own name, with a purpose, a result and
// one described parameter per parameter of its row; gaps have none.
constexpr bool ReferenceMatchesTable() {
  int entries = 0;
  for (const Row& row : kRows) {
    const CommandHelp* h = Find(row.selector);
    if (row.name.empty()) {
      if (h) return false;
      continue;
    }
    ++entries;
    if (!h || h->name != row.name || h->purpose.empty() || h->result.empty()) return false;
    if (h->paramCount != row.paramCount) return false;
    for (int i = 0; i < h->paramCount; ++i)
      if (h->params[i].name.empty() || h->params[i].text.empty()) return false;
  }
  return entries == int(std::size(kHelp));
}
static_assert(ReferenceMatchesTable(),
              "abi/reference.def must describe every command of commands.def and each of its parameters");

}  // namespace

const CommandHelp* HelpForSelector(int32_t selector) { return Find(selector); }

std::span<const StateHelp> StreamStates() { return kStates; }

std::span<const TopicHelp> HelpTopics() { return kTopics; }

const TopicHelp* HelpTopic(std::string_view name) {
  for (const TopicHelp& t : kTopics)
    if (SameNameIgnoringCase(t.name, name)) return &t;
  return nullptr;
}

std::string_view StateLabel(int32_t state) {
  for (const StateHelp& st : kStates)
    if (st.number == state) return st.label;
  return state < 0 ? "no such stream" : "not a state";
}

std::string DescribeState(int32_t state) {
  return "state " + std::to_string(state) + " (" + std::string(StateLabel(state)) + ")";
}

}  // namespace vrx
