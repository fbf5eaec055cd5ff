// The file encodings as commands: BinHex, MacBinary and uuencoding of files and lines.
#include "commands/handlers.h"
#include "codecs/binhex.h"
#include "codecs/macbinary.h"
#include "codecs/uuencode.h"
#include "commands/call.h"
#include "commands/file_path.h"

namespace vrx {

void EncodeBinHexCommand(const Call& c) {
  c.ResultLong(EncodeBinHex(c.StringBytes(1), c.StringBytes(2)));
}

void DecodeBinHexCommand(const Call& c) {
  c.SetString(3, {});
  c.ResultLong(DecodeBinHex(c.StringBytes(1), c.StringBytes(2)));
}


void EncodeMacBinaryCommand(const Call& c) {
  c.ResultLong(EncodeMacBinary(c.StringBytes(1), c.StringBytes(2)));
}

void DecodeMacBinaryCommand(const Call& c) {
  c.SetString(3, {});
  c.ResultLong(DecodeMacBinary(c.StringBytes(1), c.StringBytes(2)));
}


void UuencodeTextCommand(const Call& c) {
  std::string_view bytes = c.StringBytes(1);
  c.ResultString(bytes.size() > 180 ? std::string() : UuencodeLines(bytes));
}

void UudecodeTextCommand(const Call& c) {
  std::string out;
  if (!UudecodeLines(c.StringBytes(1), &out)) out.clear();
  c.ResultString(out);
}

void UuencodeFileCommand(const Call& c) {
  uint8_t name[256];
  TextParamToString(c.Text(3), name);
  std::string_view header(reinterpret_cast<const char*>(name + 1), name[0]);
  header = header.substr(0, header.find('\0'));
  c.ResultLong(UuencodeFile(TextParamToPath(c.Text(1)), TextParamToPath(c.Text(2)), header));
}

void UudecodeFileCommand(const Call& c) {
  c.ResultLong(UudecodeFile(TextParamToPath(c.Text(1)), TextParamToPath(c.Text(2))));
}

}  // namespace vrx
