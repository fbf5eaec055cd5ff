// zlib and gzip compression of files and BLOBs as commands.
#include "commands/file_path.h"
#include "commands/handlers.h"
#include "compress/compression.h"
#include "platform/memory.h"

namespace vrx {

void CompressFileCommand(const Call& c) {
  c.ResultLong(CompressFile(TextParamToPath(c.Text(1)), TextParamToPath(c.Text(2)), c.Long(3)));
}

void ExpandFileCommand(const Call& c) {
  c.ResultLong(ExpandFile(TextParamToPath(c.Text(1)), TextParamToPath(c.Text(2))));
}

void CompressBlobCommand(const Call& c) {
  Handle h = c.BlobHandle(1);
  c.ResultLong(h ? CompressBlob(h, c.Long(2)) : platform::kNilHandleErr);
}

void ExpandBlobCommand(const Call& c) {
  Handle h = c.BlobHandle(1);
  c.ResultLong(h ? ExpandBlob(h) : platform::kNilHandleErr);
}

}  // namespace vrx
