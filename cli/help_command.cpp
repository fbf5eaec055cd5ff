// `vrx help`: the command reference (abi/reference.def) in the terminal, and the same
// reference as one Markdown and one HTML document for doc/.
#include "cli/help_command.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runner/runner.h"

#include "abi/command_table.h"
#include "abi/reference.h"

namespace cli {
namespace {

using vrx::CommandHelp;
using vrx::CommandInfo;
using vrx::TopicHelp;

constexpr size_t kWidth = 80;

constexpr std::string_view kExtensionsNote =
    "Commands this system adds beyond the legacy table, from selector 201 on (selectors "
    "115 to 200 have no command)";

// A reference text is paragraphs separated by blank lines; a line starting with "- " is
// an item of a list.
struct Block {
  bool item = false;
  std::string text;
};

std::vector<Block> Blocks(std::string_view text) {
  std::vector<Block> blocks;
  bool open = false;  // the last block is a paragraph that goes on
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (line.empty()) {
      open = false;
    } else if (line.starts_with("- ")) {
      blocks.push_back({true, std::string(line.substr(2))});
      open = false;
    } else if (open) {
      blocks.back().text += ' ';
      blocks.back().text += line;
    } else {
      blocks.push_back({false, std::string(line)});
      open = true;
    }
  }
  return blocks;
}

// Words of text wrapped to the width; the first line follows `first`, the others start
// with `indent`.
std::string Wrap(std::string_view text, std::string first, std::string_view indent, size_t width = kWidth) {
  std::string out = std::move(first);
  size_t lineStart = 0;
  bool lineEmpty = true;
  while (!text.empty()) {
    size_t space = text.find(' ');
    std::string_view word = text.substr(0, space);
    text = space == std::string_view::npos ? std::string_view{} : text.substr(space + 1);
    if (word.empty()) continue;
    if (!lineEmpty && out.size() - lineStart + 1 + word.size() > width) {
      out += '\n';
      lineStart = out.size();
      out += indent;
      lineEmpty = true;
    }
    if (!lineEmpty) out += ' ';
    out += word;
    lineEmpty = false;
  }
  out += '\n';
  return out;
}

std::string TerminalText(std::string_view text, std::string_view indent) {
  std::string out;
  bool lastItem = false;
  for (const Block& b : Blocks(text)) {
    if (!out.empty() && !(b.item && lastItem)) out += '\n';
    if (b.item) out += Wrap(b.text, std::string(indent) + "- ", std::string(indent) + "  ");
    else out += Wrap(b.text, std::string(indent), indent);
    lastItem = b.item;
  }
  return out;
}

std::string_view FirstSentence(std::string_view text) {
  size_t end = text.find(". ");
  return end == std::string_view::npos ? text : text.substr(0, end + 1);
}

// Kinds as a 4D programmer declares them.
std::string_view KindWord(vrx::Kind k) {
  switch (k) {
    case vrx::Kind::Long: return "longint";
    case vrx::Kind::Integer: return "integer";
    case vrx::Kind::String: return "string";
    case vrx::Kind::Text: return "text";
    case vrx::Kind::Blob: return "BLOB";
    case vrx::Kind::LongArray: return "longint array";
    case vrx::Kind::Picture: return "picture";
    case vrx::Kind::Date: return "date";
    case vrx::Kind::Time: return "time";
    case vrx::Kind::Any: return "any";
    case vrx::Kind::None: break;
  }
  return "none";
}

std::string_view ResultWord(vrx::ResultKind k) {
  switch (k) {
    case vrx::ResultKind::Long: return "longint";
    case vrx::ResultKind::Text: return "text";
    case vrx::ResultKind::String: return "string";
    case vrx::ResultKind::Blob: return "BLOB";
    case vrx::ResultKind::Byte: return "byte";
    case vrx::ResultKind::None: break;
  }
  return "none";
}

std::string Signature(const CommandInfo& c, const CommandHelp& h) {
  std::string s(c.name);
  if (h.paramCount > 0) {
    s += '(';
    for (int i = 0; i < h.paramCount; ++i) {
      if (i) s += "; ";
      s += h.params[i].name;
    }
    s += ')';
  }
  if (c.result != vrx::ResultKind::None) s += " -> " + std::string(ResultWord(c.result));
  return s;
}

constexpr std::string_view kBusyNote =
    "While it runs, other 4D processes go on; VRX_ReleaseStream of this stream from "
    "another process returns -2.";
constexpr std::string_view kNotBuiltNote = "Not built: the command answers its failure value.";

// ---- Terminal ------------------------------------------------------------------------

std::string CommandInTerminal(const CommandInfo& c, const CommandHelp& h) {
  std::string out = Signature(c, h) + "\n";
  out += "selector " + std::to_string(c.selector) + "\n\n";
  out += TerminalText(h.purpose, "");
  if (h.paramCount > 0) {
    out += "\nParameters:\n";
    size_t nameWidth = 0, kindWidth = 0;
    std::vector<std::string> kinds;
    for (int i = 0; i < h.paramCount; ++i) {
      nameWidth = std::max(nameWidth, h.params[i].name.size());
      std::string k(KindWord(c.params[i].kind));
      if (c.params[i].dir != vrx::Dir::In) k += " " + std::string(vrx::DirName(c.params[i].dir));
      kindWidth = std::max(kindWidth, k.size());
      kinds.push_back(std::move(k));
    }
    for (int i = 0; i < h.paramCount; ++i) {
      std::string head = "  $" + std::to_string(i + 1) + " " + std::string(h.params[i].name);
      head.resize(5 + nameWidth + 2, ' ');
      head += kinds[size_t(i)];
      head.resize(5 + nameWidth + 2 + kindWidth + 2, ' ');
      out += Wrap(h.params[i].text, head, std::string(head.size(), ' '));
    }
  }
  out += "\nResult (" + std::string(ResultWord(c.result)) + "):\n";
  out += TerminalText(h.result, "  ");
  if (c.busy) out += "\n" + TerminalText(kBusyNote, "");
  if (!c.built) out += "\n" + TerminalText(kNotBuiltNote, "");
  return out;
}

std::string StatesInTerminal() {
  std::string out;
  for (const vrx::StateHelp& s : vrx::StreamStates()) {
    char head[64];
    std::snprintf(head, sizeof head, "  %2d  %-13s ", s.number, std::string(s.name).c_str());
    out += Wrap(std::string(s.label) + ". " + std::string(s.text), head, std::string(20, ' '));
  }
  return out;
}

std::string TopicInTerminal(const TopicHelp& t) {
  std::string out = std::string(t.title) + "\n\n";
  if (t.name == "states") out += StatesInTerminal() + "\n";
  out += TerminalText(t.text, "");
  return out;
}

std::string Index() {
  std::string out =
      "usage: vrx help NAME|SELECTOR|TOPIC   one command or topic\n"
      "       vrx help --markdown | --html   the whole reference as one document\n"
      "\nTopics:\n";
  for (const TopicHelp& t : vrx::HelpTopics()) {
    char line[128];
    std::snprintf(line, sizeof line, "  %-12s %s\n", std::string(t.name).c_str(), std::string(t.title).c_str());
    out += line;
  }
  auto list = [&out](std::span<const CommandInfo> rows) {
    for (const CommandInfo& c : rows) {
      const CommandHelp* h = vrx::HelpForSelector(c.selector);
      if (!h) continue;
      char head[64];
      std::snprintf(head, sizeof head, "  %3d  %-26s ", c.selector, std::string(c.name).c_str());
      out += Wrap(FirstSentence(h->purpose), head, std::string(std::strlen(head), ' '));
    }
  };
  out += "\nCommands:\n";
  list(vrx::CommandTable());
  out += "\nExtensions. " + std::string(kExtensionsNote) + ":\n";
  list(vrx::ExtensionTable());
  return out;
}

// ---- Markdown ------------------------------------------------------------------------

// Only what Markdown would read as markup: an entity or a tag, emphasis, code, a table
// cell's end.
std::string MarkdownEscaped(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    char ch = s[i];
    char next = i + 1 < s.size() ? s[i + 1] : ' ';
    bool startsWord = std::isalpha(uint8_t(next)) || next == '#' || next == '/' || next == '!' || next == '?';
    if (ch == '\\' || ch == '*' || ch == '|' || ch == '`' || ((ch == '&' || ch == '<') && startsWord)) out += '\\';
    out += ch;
  }
  return out;
}

std::string MarkdownText(std::string_view text) {
  std::string out;
  bool lastItem = false;
  for (const Block& b : Blocks(text)) {
    if (!out.empty() && !(b.item && lastItem)) out += '\n';
    out += (b.item ? "- " : "") + MarkdownEscaped(b.text) + "\n";
    lastItem = b.item;
  }
  return out;
}

std::string Anchor(std::string_view title) {
  std::string a;
  for (char ch : title) a += ch == ' ' ? '-' : char(std::tolower(uint8_t(ch)));
  return a;
}

std::string Markdown() {
  std::string out =
      "# VRX command reference\n\n"
      "Every command of the plug-in, the stream states and the options its commands take. "
      "Generated by `vrx help --markdown` from `abi/reference.def`; edit that file and run "
      "`scripts/reference.sh`, not this one. In the terminal: `vrx help NAME`.\n\n"
      "## Topics\n\n";
  for (const TopicHelp& t : vrx::HelpTopics())
    out += "- [" + std::string(t.title) + "](#" + Anchor(t.title) + ") (`vrx help " + std::string(t.name) + "`)\n";
  auto list = [&out](std::span<const CommandInfo> rows) {
    out += "| Selector | Command | Purpose |\n|---|---|---|\n";
    for (const CommandInfo& c : rows) {
      const CommandHelp* h = vrx::HelpForSelector(c.selector);
      if (!h) continue;
      out += "| " + std::to_string(c.selector) + " | [" + std::string(c.name) + "](#" + Anchor(c.name) + ") | " +
             MarkdownEscaped(FirstSentence(h->purpose)) + " |\n";
    }
  };
  out += "\n## Commands\n\n";
  list(vrx::CommandTable());
  out += "\n## Extensions\n\n" + std::string(kExtensionsNote) + ".\n\n";
  list(vrx::ExtensionTable());
  for (const TopicHelp& t : vrx::HelpTopics()) {
    out += "\n## " + std::string(t.title) + "\n\n";
    if (t.name == "states") {
      out += "| State | Name | Meaning |\n|---|---|---|\n";
      for (const vrx::StateHelp& s : vrx::StreamStates())
        out += "| " + std::to_string(s.number) + " | " + std::string(s.name) + " | " + MarkdownEscaped(s.label) +
               ". " + MarkdownEscaped(s.text) + " |\n";
      out += "\n";
    }
    out += MarkdownText(t.text);
  }
  for (const CommandInfo& c : vrx::AllCommands()) {
    const CommandHelp* h = vrx::HelpForSelector(c.selector);
    if (!h) continue;
    out += "\n### " + std::string(c.name) + "\n\n";
    out += "`" + Signature(c, *h) + "` (selector " + std::to_string(c.selector) + ")\n\n";
    out += MarkdownText(h->purpose);
    if (h->paramCount > 0) {
      out += "\n| | Parameter | Kind | Meaning |\n|---|---|---|---|\n";
      for (int i = 0; i < h->paramCount; ++i) {
        std::string kind(KindWord(c.params[i].kind));
        if (c.params[i].dir != vrx::Dir::In) kind += ", " + std::string(vrx::DirName(c.params[i].dir));
        out += "| $" + std::to_string(i + 1) + " | " + std::string(h->params[i].name) + " | " + kind + " | " +
               MarkdownEscaped(h->params[i].text) + " |\n";
      }
    }
    out += "\n**Result** (" + std::string(ResultWord(c.result)) + "): " + MarkdownEscaped(h->result) + "\n";
    if (c.busy) out += "\n" + MarkdownText(kBusyNote);
    if (!c.built) out += "\n" + MarkdownText(kNotBuiltNote);
  }
  return out;
}

// ---- HTML ----------------------------------------------------------------------------

std::string HtmlEscaped(std::string_view s) {
  std::string out;
  for (char ch : s) {
    switch (ch) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += ch;
    }
  }
  return out;
}

std::string HtmlText(std::string_view text) {
  std::string out;
  bool inList = false;
  for (const Block& b : Blocks(text)) {
    if (b.item && !inList) out += "<ul>\n";
    if (!b.item && inList) out += "</ul>\n";
    inList = b.item;
    out += (b.item ? "<li>" : "<p>") + HtmlEscaped(b.text) + (b.item ? "</li>\n" : "</p>\n");
  }
  if (inList) out += "</ul>\n";
  return out;
}

// scroll-margin-top: an entry reached through its link starts below the sticky search
// bar, not under it.
constexpr std::string_view kHtmlHead = R"html(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>VRX command reference</title>
<style>
body { font-family: sans-serif; max-width: 60em; margin: 1em auto; padding: 0 1em; line-height: 1.4; }
#search { position: sticky; top: 0; background: #fff; padding: 0.5em 0; border-bottom: 1px solid #ccc; }
#q { width: 100%; font-size: 1.1em; padding: 0.3em; box-sizing: border-box; }
code, .sig { font-family: monospace; }
.sig { background: #f4f4f4; padding: 0.3em; display: block; }
table { border-collapse: collapse; }
td, th { border: 1px solid #ccc; padding: 0.2em 0.5em; text-align: left; vertical-align: top; }
section { border-bottom: 1px solid #eee; scroll-margin-top: 4em; }
.hidden { display: none; }
</style>
</head>
<body>
<h1>VRX command reference</h1>
<p>Every command of the plug-in, the stream states and the options its commands take.
Generated by <code>vrx help --html</code> from <code>abi/reference.def</code>.
In the terminal: <code>vrx help NAME</code>.</p>
<div id="search"><input id="q" type="search" placeholder="Search commands and topics (e.g. ticks, SSL, delimiter)" autofocus>
<span id="count"></span></div>
)html";

// Shows only the entries whose text holds every word typed.
constexpr std::string_view kHtmlScript = R"html(<script>
(function () {
  var q = document.getElementById('q'), count = document.getElementById('count');
  var entries = Array.prototype.slice.call(document.querySelectorAll('section.entry'));
  var texts = entries.map(function (e) { return e.textContent.toLowerCase(); });
  function filter() {
    var words = q.value.toLowerCase().split(/\s+/).filter(function (w) { return w; });
    var shown = 0;
    entries.forEach(function (e, i) {
      var hit = words.every(function (w) { return texts[i].indexOf(w) >= 0; });
      e.classList.toggle('hidden', !hit);
      var link = document.querySelector('a[href="#' + e.id + '"]');
      if (link && link.parentNode.tagName === 'LI') link.parentNode.classList.toggle('hidden', !hit);
      if (hit) shown++;
    });
    count.textContent = words.length ? shown + ' of ' + entries.length : '';
  }
  q.addEventListener('input', filter);
})();
</script>
)html";

std::string Html() {
  std::string out(kHtmlHead);
  out += "<h2>Topics</h2>\n<ul>\n";
  for (const TopicHelp& t : vrx::HelpTopics())
    out += "<li><a href=\"#" + std::string(t.name) + "\">" + HtmlEscaped(t.title) + "</a></li>\n";
  auto list = [&out](std::span<const CommandInfo> rows) {
    out += "<ul>\n";
    for (const CommandInfo& c : rows) {
      const CommandHelp* h = vrx::HelpForSelector(c.selector);
      if (!h) continue;
      out += "<li><a href=\"#" + std::string(c.name) + "\">" + std::string(c.name) + "</a> (" +
             std::to_string(c.selector) + ") " + HtmlEscaped(FirstSentence(h->purpose)) + "</li>\n";
    }
    out += "</ul>\n";
  };
  out += "</ul>\n<h2>Commands</h2>\n";
  list(vrx::CommandTable());
  out += "<h2>Extensions</h2>\n<p>" + HtmlEscaped(kExtensionsNote) + ".</p>\n";
  list(vrx::ExtensionTable());
  for (const TopicHelp& t : vrx::HelpTopics()) {
    out += "<section class=\"entry\" id=\"" + std::string(t.name) + "\">\n<h2>" + HtmlEscaped(t.title) + "</h2>\n";
    if (t.name == "states") {
      out += "<table>\n<tr><th>State</th><th>Name</th><th>Meaning</th></tr>\n";
      for (const vrx::StateHelp& s : vrx::StreamStates())
        out += "<tr><td>" + std::to_string(s.number) + "</td><td>" + std::string(s.name) + "</td><td>" +
               HtmlEscaped(s.label) + ". " + HtmlEscaped(s.text) + "</td></tr>\n";
      out += "</table>\n";
    }
    out += HtmlText(t.text) + "</section>\n";
  }
  for (const CommandInfo& c : vrx::AllCommands()) {
    const CommandHelp* h = vrx::HelpForSelector(c.selector);
    if (!h) continue;
    out += "<section class=\"entry\" id=\"" + std::string(c.name) + "\">\n<h3>" + std::string(c.name) + "</h3>\n";
    out += "<code class=\"sig\">" + HtmlEscaped(Signature(c, *h)) + "</code> selector " + std::to_string(c.selector) + "\n";
    out += HtmlText(h->purpose);
    if (h->paramCount > 0) {
      out += "<table>\n<tr><th></th><th>Parameter</th><th>Kind</th><th>Meaning</th></tr>\n";
      for (int i = 0; i < h->paramCount; ++i) {
        std::string kind(KindWord(c.params[i].kind));
        if (c.params[i].dir != vrx::Dir::In) kind += ", " + std::string(vrx::DirName(c.params[i].dir));
        out += "<tr><td>$" + std::to_string(i + 1) + "</td><td>" + std::string(h->params[i].name) + "</td><td>" +
               kind + "</td><td>" + HtmlEscaped(h->params[i].text) + "</td></tr>\n";
      }
      out += "</table>\n";
    }
    out += "<p><b>Result</b> (" + std::string(ResultWord(c.result)) + "): " + HtmlEscaped(h->result) + "</p>\n";
    if (c.busy) out += HtmlText(kBusyNote);
    if (!c.built) out += HtmlText(kNotBuiltNote);
    out += "</section>\n";
  }
  out += kHtmlScript;
  out += "</body>\n</html>\n";
  return out;
}

const CommandInfo* FindCommand(std::string_view what) {
  int32_t selector;
  auto [ptr, ec] = std::from_chars(what.data(), what.data() + what.size(), selector);
  if (ec == std::errc() && ptr == what.data() + what.size()) return vrx::CommandBySelector(selector);
  if (const CommandInfo* c = vrx::CommandByName(what)) return c;
  return vrx::CommandByName("VRX_" + std::string(what));  // "ReceiveBlob" will do
}

int Print(const std::string& s) {
  std::fwrite(s.data(), 1, s.size(), stdout);
  return 0;
}

}  // namespace

const char* const kHelpUsage =
    "usage: vrx help [NAME|SELECTOR|TOPIC]\n"
    "       vrx help --markdown | --html\n"
    "\n"
    "Without an argument, lists the commands and topics. With a command's name (with or\n"
    "without VRX_) or selector, tells what it does, each parameter's meaning and units, and\n"
    "its result codes. Topics: states, options, flags, conversions, errors, timeouts,\n"
    "differences (where VRX departs from the legacy plug-in); language (the 4D commands vrx\n"
    "run implements, those it refuses, and where it departs from 4D's documentation).\n"
    "--markdown and --html write the whole reference as one document (doc/reference.*).\n";

int HelpCommand(const std::vector<std::string>& args) {
  if (args.empty()) return Print(Index());
  if (args.size() > 1) {
    std::fputs(kHelpUsage, stderr);
    return 2;
  }
  const std::string& what = args[0];
  if (what == "--help" || what == "-h") return Print(kHelpUsage);
  if (what == "--markdown") return Print(Markdown());
  if (what == "--html") return Print(Html());
  // The 4D language of vrx run, generated from its built-in table.
  if (what == "language") return Print(runner::LanguageReference());
  if (const TopicHelp* t = vrx::HelpTopic(what)) return Print(TopicInTerminal(*t));
  if (const CommandInfo* c = FindCommand(what)) {
    if (const CommandHelp* h = vrx::HelpForSelector(c->selector)) return Print(CommandInTerminal(*c, *h));
    return Print("selector " + std::to_string(c->selector) + " has no command: it leaves the result as it was.\n");
  }
  std::fprintf(stderr, "vrx help: no command or topic '%s' (vrx help lists them)\n", what.c_str());
  return 2;
}

}  // namespace cli
