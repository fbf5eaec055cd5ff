// What vrx run refuses: the 4D commands it does not have, each with what it would need
// (the database, forms, windows...), and the language reference `vrx help language`
// prints, generated from the built-in table and the command list.
#include <algorithm>
#include <array>
#include <map>
#include <unordered_map>

#include "runner/interp.h"

namespace runner {

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = char(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return out;
}

// Whether `part` starts a word of `lower` ("sum" in "sum squares", not in "resume").
bool Has(const std::string& lower, std::string_view part) {
  for (size_t at = lower.find(part); at != std::string::npos; at = lower.find(part, at + 1))
    if (at == 0 || lower[at - 1] == ' ' || lower[at - 1] == '_') return true;
  return false;
}

// What a 4D command the runner does not have needs, judged from its name: the first rule
// that matches. The rules follow the themes of 4D's language reference.
struct Need {
  std::string_view what;
  std::array<std::string_view, 16> parts;  // any of these in the lower-cased name
};
constexpr Need kNeeds[] = {
    {"nothing vrx run has: 4D made it obsolete", {"_o_"}},
    {"4D's SQL engine", {"sql"}},
    {"4D's users and groups", {"user", "group", "password"}},
    {"a printer", {"print", "page break", "page setup"}},
    {"menus", {"menu"}},
    {"hierarchical lists",
     {"list item", "new list", "copy list", "clear list", "load list", "save list", "sort list", "is a list",
      "to list", "from list", "in list", "list to"}},
    {"4D's Web server or HTTP client", {"web", "soap", "http", "4d tags", "wa "}},
    {"windows", {"window", "screen", "tool bar", "mouse", "message", "dialog", "request", "display"}},
    {"the database",
     {"record", "selection", "query", "order by", "field", "table", "transaction", "index", "relat",
      "sequence", "distinct", "data file", "old", "modified", "database"}},
    {"the database", {"structure", "backup", "log file", "create set", "use set", "clear set", "add to set",
                      "is in set", "records in set", "union", "intersection"}},
    {"the database", {"difference", "sum", "average", "std deviation", "variance", "max", "min", "trigger",
                      "locked", "unload", "journal", "cache"}},
    {"the database", {"save set", "load set", "copy set", "create empty set", "remove from set", "compact",
                      "verify", "repair", "flush", "4d server", "server", "client"}},
    {"forms", {"form", "object", "listbox", "subform", "focus", "button", "redraw", "keystroke",
               "highlight", "goto page", "self", "st ", "before", "after", "reject"}},
};

const std::unordered_map<std::string, int32_t>& NumbersByName() {
  static const std::unordered_map<std::string, int32_t> byName = [] {
    std::unordered_map<std::string, int32_t> m;
    for (const CommandNumber& c : CommandNumbers()) m.emplace(Lower(c.name), c.number);
    return m;
  }();
  return byName;
}

std::string_view NeedOf(std::string_view name) {
  std::string lower = Lower(name);
  for (const Need& n : kNeeds)
    for (std::string_view part : n.parts)
      if (!part.empty() && Has(lower, part)) return n.what;
  return {};
}

// The places where the runner knowingly departs from 4D's documentation.
constexpr std::string_view kDepartures[] = {
    "Documents and paths are POSIX paths of this system; a bare file name is relative to the "
    "working folder, not to the structure file. Open document and Create document with an "
    "empty path fail (no file dialog).",
    "Texts are Unicode; documents read and written without a character set are UTF-8.",
    "COMPRESS BLOB's two internal modes (1 and 2) write zlib data under a header of vrx's own: "
    "4D's internal format is not public, so such BLOBs compressed by 4D do not expand here. "
    "The GZIP modes (-1, -2) are standard gzip and interchange with any program.",
    "VARIABLE TO BLOB and BLOB TO VARIABLE use a format of vrx's own: BLOBs written by 4D are "
    "not read (OK is 0). Pointers cannot be stored; objects are stored as JSON (dates in them "
    "come back as texts).",
    "Without ON ERR CALL, a failed ASSERT ends every process and the run's status is 1 (4D "
    "shows a dialog); with an error method it is error -10518, as documented.",
    "Errors the runner raises that 4D numbers differently carry code 1 (Error) unless noted: "
    "-43 no such document, -36 input/output, -111 BLOB range, -10518 assertion, -10600 damaged "
    "compressed BLOB.",
    "EXECUTE FORMULA reads its statement like a method of its own: it sees process and "
    "interprocess variables that some method uses, not the caller's locals.",
    "DELAY PROCESS of another process takes effect at that process's next turn; a process "
    "already asleep keeps its own wake-up.",
    "Get 4D folder answers folders of the project being run (Database folder is the folder "
    "holding Project/, Logs, Resources, Data and WebFolder inside it) and of ~/.config/vrx "
    "(Active 4D Folder, Licenses); System folder answers XDG folders, and \"\" for Windows "
    "folders. File and Folder take the same folders by 4D's fk ... folder constants and by "
    "the names /PACKAGE, /PROJECT, /SOURCES, /RESOURCES, /DATA and /LOGS, and give their full "
    "path as .path; 4D's file constants name files of the 4D application, which are refused.",
    "Process state knows Executing (0), Delayed (1), Does not exist (-100) and Aborted (-1, a "
    "process that has ended); processes never wait for user events here.",
    "LOG and Log are 4D's logarithm; the runner's own printout is ECHO.",
    "JSON Validate follows JSON Schema draft 4 (with const, contains and numeric "
    "exclusiveMinimum/exclusiveMaximum of later drafts, and only local \"#...\" $refs); "
    "\"format\" is not checked. Its error codes number the keywords in alphabetical order "
    "($ref 1 ... uniqueItems 25, then const 26, contains 27) and its messages are vrx's own.",
    "There are no components: ON ERR CALL(...; ek errors from components) is kept for Method "
    "called on error but never called. throw with an error object without message gives "
    "\"Error code N: (signature)\" (there are no XLIFF files to look it up in). Inside Try the "
    "error method installed before it is set aside: Method called on error answers \"\" there.",
};

}  // namespace

std::string UnavailableMessage(std::string_view name) {
  std::string_view english = name;
  // A command written in another language carries its English name: "Longueur (Length)".
  if (size_t open = name.rfind(" ("); open != std::string_view::npos && name.ends_with(')'))
    english = name.substr(open + 2, name.size() - open - 3);
  auto it = NumbersByName().find(Lower(english));
  if (it == NumbersByName().end()) return {};
  std::string_view need = NeedOf(english);
  return std::string(name) + " (4D command " + std::to_string(it->second) + ") is not available in vrx run" +
         (need.empty() ? "" : ": it needs " + std::string(need));
}

std::string LanguageReference() {
  std::map<std::string, const BuiltinInfo*> implemented;  // by lower-cased name
  std::map<int32_t, bool> has;
  for (const BuiltinInfo& b : Builtins()) {
    if (b.name.empty() || b.name[0] == '(') continue;
    implemented.emplace(Lower(b.name), &b);
    if (b.number > 0) has[b.number] = true;
  }
  std::string out = "vrx run: the 4D language\n\nImplemented (" + std::to_string(implemented.size()) +
                    " commands and functions; 4D's number in brackets, none for vrx's own):\n";
  for (const auto& [key, b] : implemented)
    out += "  " + std::string(b->name) + (b->number > 0 ? " [" + std::to_string(b->number) + "]" : "") + "\n";
  std::map<std::string_view, std::vector<std::string>> refused;
  size_t count = 0;
  for (const auto& [name, number] : CommandNumbers()) {
    if (has.count(number) || implemented.count(Lower(name))) continue;
    std::string_view need = NeedOf(name);
    refused[need].push_back(
        std::string(name) + " [" + std::to_string(number) + "]");
    ++count;
  }
  out += "\nRefused (" + std::to_string(count) +
         " commands of 4D; calling one is a run-time error naming the method, the line and the "
         "command, and vrx run --check lists them):\n";
  for (const auto& [need, names] : refused) {
    out += (need.empty() ? std::string("  not implemented in vrx run") : "  needs " + std::string(need)) + " (" +
           std::to_string(names.size()) + "):\n   ";
    size_t col = 3;
    for (const std::string& n : names) {
      if (col + n.size() + 2 > 100) {
        out += "\n   ";
        col = 3;
      }
      out += " " + n + ",";
      col += n.size() + 2;
    }
    out.back() = '\n';
  }
  out += "\nWhere vrx run departs from 4D's documentation:\n";
  for (std::string_view d : kDepartures) out += "  - " + std::string(d) + "\n";
  return out;
}

}  // namespace runner
