// The conversion options applied to data that comes or goes in pieces (a transfer, a
// receive that stops part way): each conversion keeps back the unfinished end of what it
// was given (a Base64 group, an "=XX" escape, an entity, the CR of a CR LF) until the
// next piece completes it, so that the result is that of converting all of the data at
// once, however it was cut.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vrx {

class ConversionStream {
 public:
  // The options of ApplyTextConversions; 0 converts nothing.
  explicit ConversionStream(int32_t options);
  // Converts what can be converted of the data so far and appends it to `out`; the rest
  // is held for the next piece. False when memory ran short (what was held is kept,
  // `piece` is not taken).
  bool Feed(std::string_view piece, std::string& out);
  // The data is complete: converts what is held, as the end of the data.
  bool Finish(std::string& out);
  // Nothing is held: the data so far converts on its own.
  bool Idle() const;

 private:
  struct Stage {
    int32_t bit;
    std::string held;
  };
  bool Run(size_t first, std::string_view in, bool end, std::string& out);
  std::vector<Stage> stages_;
};

// The longest prefix of `raw` whose conversion leaves nothing held and converts to at
// most `room` bytes, converted into `out` (replacing it); its length. With `end` the
// whole of `raw` is the end of the data and counts as one such prefix. Converting the
// rest later, from a fresh start, continues the result exactly.
size_t ConvertWholeUnits(std::string_view raw, int32_t options, bool end, size_t room, std::string& out);

}  // namespace vrx
