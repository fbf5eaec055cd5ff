// BLOB and file commands that need no connection.
#pragma once
#include "frame/call.h"

namespace vrx {
void FileToBlobCommand(const Call& c);   // 68
void FileToBlob2Command(const Call& c);  // 94
void BlobToFileAtCommand(const Call& c); // 95
void ReplaceInBlobCommand(const Call& c);  // 96, 98
void FindInBlobCommand(const Call& c);     // 97
}  // namespace vrx
