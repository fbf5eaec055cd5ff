// The method lexer on any bytes: tokens in order, positions within the source, or an
// error that says where.
#include <vector>

#include "fuzz_support.h"
#include "runner/syntax.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view source(reinterpret_cast<const char*>(data), size);
  std::vector<runner::Token> tokens;
  runner::SyntaxError error;
  if (runner::Tokenize(source, &tokens, &error)) {
    fuzz::Check(!tokens.empty() && tokens.back().kind == runner::Tok::End, "tokens without an end");
    for (size_t i = 1; i < tokens.size(); ++i)
      fuzz::Check(tokens[i].line > tokens[i - 1].line ||
                      (tokens[i].line == tokens[i - 1].line && tokens[i].col >= tokens[i - 1].endCol),
                  "tokens out of order", source);
  } else {
    fuzz::Check(error.line >= 1 && !error.message.empty(), "an error without a place or a message", source);
  }
  return 0;
}
