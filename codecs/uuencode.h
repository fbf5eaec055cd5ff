// Uuencoding: lines of a length character and groups of four characters, each group
// three bytes; lines end with CR, the host's convention.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace vrx {

// Lines of at most 45 bytes each, every one ending with CR.
std::string UuencodeLines(std::string_view bytes);
// Decodes lines ending with CR. False on a format error.
bool UudecodeLines(std::string_view text, std::string* out);

// File to file, with the "begin" and "end" lines around the data. 0 or an error: the
// system's error number when a file cannot be opened, read or finished, -1 when a
// line cannot be written. Paths are system paths.
int32_t UuencodeFile(const std::string& sourcePath, const std::string& targetPath,
                     std::string_view headerName);
// Finds the first line starting with "begin " and decodes the lines after it, whatever
// their line ends (CR, LF or CR LF), up to an "end" line or the end of the source.
// Lines that do not decode are skipped. 0 or the system's error number.
int32_t UudecodeFile(const std::string& sourcePath, const std::string& targetPath);

}  // namespace vrx
