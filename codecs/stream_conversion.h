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
  // Feeds `piece` a byte at a time until nothing is held after one of them, then stops:
  // true when that happened (a beginning of the data so far converts alone, whatever
  // follows; or memory ran short). What is converted is dropped. A receive that takes
  // whatever has come waits for this, so that it never hands back only the first part
  // of a unit the network cut, nor converts anything twice while it waits.
  bool FeedUntilIdle(std::string_view piece);

 private:
  struct Stage {
    int32_t bit;
    std::string held;
    size_t uncut = 0;  // the beginning of `held` known to hold no place to cut
  };
  bool Run(size_t first, std::string_view in, bool end, std::string& out);
  std::vector<Stage> stages_;
};

// The longest prefix of `raw` whose conversion leaves nothing held and converts to at
// most `room` bytes, converted into `out` (replacing it); its length. With `end` the
// whole of `raw` is the end of the data and counts as one such prefix. Converting the
// rest later, from a fresh start, continues the result exactly.
size_t ConvertWholeUnits(std::string_view raw, int32_t options, bool end, size_t room, std::string& out);

// The length of the prefix of `raw` that converts, leaving nothing held, to exactly
// `length` bytes (the shortest, when bytes that convert to nothing follow); npos when
// the `length`th byte ends inside a unit (a Base64 group, an escape) or memory ran
// short. Converting the rest later, from a fresh start, continues the result exactly.
size_t PrefixConvertingTo(std::string_view raw, int32_t options, size_t length);

}  // namespace vrx
