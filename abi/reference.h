// The command reference (abi/reference.def): what each command does, its parameters'
// meanings and its result codes, the stream states and the reference's topics.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "abi/command_table.h"

namespace vrx {

struct ParamHelp {
  std::string_view name;
  std::string_view text;
};

struct CommandHelp {
  int32_t selector = 0;
  std::string_view name;
  std::string_view purpose;
  std::string_view result;
  ParamHelp params[kMaxParams] = {};
  int paramCount = 0;
};

struct StateHelp {
  int32_t number = 0;
  std::string_view name;   // "Broken"
  std::string_view label;  // "connection failed"
  std::string_view text;
};

struct TopicHelp {
  std::string_view name;
  std::string_view title;
  std::string_view text;
};

// The entry of a command; nullptr for a selector without a command.
const CommandHelp* HelpForSelector(int32_t selector);
std::span<const StateHelp> StreamStates();
std::span<const TopicHelp> HelpTopics();
// Exact name, or case-insensitive; nullptr when unknown.
const TopicHelp* HelpTopic(std::string_view name);

// "connection failed" for 20; "no such stream" for a negative number (what the state
// commands answer for a reference that is not an open stream), "not a state" otherwise.
std::string_view StateLabel(int32_t state);
// "state 20 (connection failed)", for messages.
std::string DescribeState(int32_t state);

}  // namespace vrx
