// Whole documents (DOCUMENT TO BLOB, BLOB TO DOCUMENT), paths and folders; documents
// opened by reference (a time value, as 4D gives it): Create document,
// Open document, Append document, CLOSE DOCUMENT, SEND PACKET, RECEIVE PACKET, the
// document position; and folders: DOCUMENT LIST, FOLDER LIST, DELETE FOLDER. Commands
// set OK (1 or 0) and the opening ones Document, as in 4D. Texts in documents are UTF-8
// (4D's default character set); BLOBs are written and read as they are.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cctype>
#include <cstring>
#include <filesystem>

#include "platform/services.h"
#include "runner/interp.h"

namespace runner {

std::string SystemPath(const std::string& path) { return path; }

namespace {

bool ReadDocument(Frame& f, const std::string& path, std::string* out) {
  std::FILE* file = std::fopen(SystemPath(path).c_str(), "rb");
  if (!file) return Fail(f, "cannot open the document \"" + path + "\": " + std::strerror(errno));
  std::string data;
  char buf[65536];
  size_t n;
  bool tooBig = false;
  while ((n = std::fread(buf, 1, sizeof buf, file)) > 0) {
    if (data.size() + n > f.rt->maxBytes) {
      tooBig = true;
      break;
    }
    data.append(buf, n);
  }
  bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (tooBig) return Fail(f, "the document \"" + path + "\" is too large for a BLOB");
  if (failed) return Fail(f, "cannot read the document \"" + path + "\"");
  *out = std::move(data);
  return true;
}

bool WriteDocument(Frame& f, const std::string& path, const std::string& data) {
  std::FILE* file = std::fopen(SystemPath(path).c_str(), "wb");
  if (!file) return Fail(f, "cannot create the document \"" + path + "\": " + std::strerror(errno));
  bool ok = std::fwrite(data.data(), 1, data.size(), file) == data.size();
  ok = std::fclose(file) == 0 && ok;
  if (!ok) return Fail(f, "cannot write the document \"" + path + "\"");
  return true;
}

std::string TemporaryFolder() {
  const char* t = std::getenv("TMPDIR");
  std::string dir = t && *t ? t : "/tmp";
  if (dir.back() != '/') dir += '/';
  return dir;
}

// Where 4D's own settings would live for this user: ~/.config/vrx/.
std::string SettingsFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  std::string dir = config && *config ? config : std::string(home && *home ? home : "/tmp") + "/.config";
  return dir + "/vrx/";
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  std::string dir = home && *home ? home : "/";
  if (dir.back() != '/') dir += '/';
  return dir;
}

}  // namespace

std::string DatabaseFolder(Frame& f) {
  std::string db = f.rt->databaseFolder;
  if (db.empty()) {
    std::error_code ec;
    db = std::filesystem::current_path(ec).string();
    if (db.empty() || db.back() != '/') db += '/';
  }
  return db;
}

bool FourDFolder(Frame& f, int32_t which, std::string* out) {
  const std::string db = DatabaseFolder(f);
  switch (which) {
    case 0: *out = SettingsFolder(); return true;              // Active 4D Folder
    case 1: *out = SettingsFolder() + "Licenses/"; return true;
    case 3:                                                    // 4D Client database folder
    case 4:                                                    // Database folder
    case 5: *out = db; return true;                            // ... Unix syntax
    case 6: *out = db + "Resources/"; return true;
    case 7: *out = db + "Logs/"; return true;
    case 8: *out = db + "WebFolder/"; return true;
    case 9: *out = db + "Data/"; return true;
    case 10: *out = db + "MobileApps/"; return true;
    default: return false;
  }
}

bool SystemFolderPath(int32_t type, std::string* out) {
  const std::string home = HomeFolder();
  switch (type) {
    case 0: *out = "/etc/"; return true;                          // System
    case 1: *out = "/usr/share/fonts/"; return true;             // Fonts
    case 2: *out = "/etc/xdg/"; return true;                     // User preferences_all
    case 3: {                                                     // User preferences_user
      const char* config = std::getenv("XDG_CONFIG_HOME");
      *out = config && *config ? std::string(config) + "/" : home + ".config/";
      return true;
    }
    case 4: *out = "/etc/xdg/autostart/"; return true;           // Startup Win_all
    case 5: *out = home + ".config/autostart/"; return true;     // Startup Win_user
    case 15: *out = home + "Desktop/"; return true;
    case 16: *out = "/usr/bin/"; return true;                    // Applications
    case 17: *out = home + "Documents/"; return true;
    case 18: *out = home; return true;                           // Home folder
    case 8: case 9: case 12: case 13: case 14: out->clear(); return true;  // Windows only
    default: return false;
  }
}

namespace {

// Get 4D folder({folder {; options}} {; *}): the folders of the project being run, and of
// this user's vrx settings for 4D's own ones. Folders are not created, as in 4D.
bool Get4DFolder(Frame& f, const Args& a, Value* out) {
  int32_t which = 0;
  if (a.size() > 0 && !a.star(0) && !EvalLong(f, a[0], &which, "Get 4D folder: the folder")) return false;
  std::string path;
  if (!FourDFolder(f, which, &path)) return Fail(f, "Get 4D folder: no folder of type " + std::to_string(which));
  *out = Value::Text(std::move(path));
  return true;
}

// System folder({type}): this system's folders; Windows-only ones are "" as on macOS.
bool SystemFolderFn(Frame& f, const Args& a, Value* out) {
  int32_t type = 0;
  if (a.size() > 0 && !EvalLong(f, a[0], &type, "System folder: the type")) return false;
  std::string path;
  if (!SystemFolderPath(type, &path)) return Fail(f, "System folder: no folder of type " + std::to_string(type));
  *out = Value::Text(std::move(path));
  return true;
}

bool DocumentToBlob(Frame& f, const Args& a, Value*) {
  std::string path, data;
  if (!EvalText(f, a[0], &path, "DOCUMENT TO BLOB: the path") || !ReadDocument(f, path, &data))
    return false;
  Var* var;
  if (!NeedBlobVar(f, a[1], &var, "DOCUMENT TO BLOB")) return false;
  var->v.strMut() = std::move(data);
  return true;
}

bool BlobToDocument(Frame& f, const Args& a, Value*) {
  std::string path;
  Value blob;
  if (!EvalText(f, a[0], &path, "BLOB TO DOCUMENT: the path") || !Eval(f, a[1], &blob)) return false;
  if (blob.type != Type::Blob && blob.type != Type::Picture)
    return Fail(f, "BLOB TO DOCUMENT: the second parameter must be a BLOB");
  return WriteDocument(f, path, blob.str());
}

bool TemporaryFolderFn(Frame&, const Args&, Value* out) {
  *out = Value::Text(TemporaryFolder());
  return true;
}

bool TestPathName(Frame& f, const Args& a, Value* out) {
  std::string path;
  if (!EvalText(f, a[0], &path, "Test path name: the path")) return false;
  struct stat st;
  if (::stat(SystemPath(path).c_str(), &st) != 0) *out = Value::Long(-43);
  else *out = Value::Long(S_ISDIR(st.st_mode) ? 0 : 1);
  return true;
}

bool DeleteDocument(Frame& f, const Args& a, Value*) {
  std::string path;
  if (!EvalText(f, a[0], &path, "DELETE DOCUMENT: the path")) return false;
  if (::unlink(SystemPath(path).c_str()) != 0)
    return Fail(f, "cannot delete the document \"" + path + "\": " + std::strerror(errno));
  return true;
}

bool GetDocumentSize(Frame& f, const Args& a, Value* out) {
  std::string path;
  if (!EvalText(f, a[0], &path, "Get document size: the path")) return false;
  struct stat st;
  if (::stat(SystemPath(path).c_str(), &st) != 0 || S_ISDIR(st.st_mode))
    return Fail(f, "no document \"" + path + "\"");
  *out = st.st_size > INT32_MAX ? Value::Real(double(st.st_size)) : Value::Long(int32_t(st.st_size));
  return true;
}

// CREATE FOLDER(path {; *}): with *, the folders above it that are missing too.
bool CreateFolder(Frame& f, const Args& a, Value*) {
  std::string path;
  if (!EvalText(f, a[0], &path, "CREATE FOLDER: the path")) return false;
  std::string sys = SystemPath(path);
  struct stat st;
  if (::stat(sys.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return true;
  if (a.size() > 1 && a.star(1)) {
    std::error_code ec;
    std::filesystem::create_directories(sys, ec);
    if (ec) return Fail(f, "cannot create the folder \"" + path + "\": " + ec.message());
    return true;
  }
  if (::mkdir(sys.c_str(), 0777) != 0)
    return Fail(f, "cannot create the folder \"" + path + "\": " + std::strerror(errno));
  return true;
}


namespace fs = std::filesystem;

constexpr int32_t kReadAndWrite = 0, kWriteMode = 1, kReadMode = 2, kGetPathname = 3;
constexpr int32_t kRecursive = 1, kAbsolutePath = 2, kIgnoreInvisible = 8;
constexpr int32_t kDeleteWithContents = 1;

void SetOk(Frame& f, bool ok) { SetSystemVar(f, "ok", Value::Long(ok ? 1 : 0)); }

// The absolute form of a path, as the Document variable holds it.
std::string FullPath(const std::string& path) {
  std::error_code ec;
  fs::path full = fs::absolute(fs::path(SystemPath(path)), ec);
  return ec ? path : full.lexically_normal().string();
}

// A failure of the system on `path`: OK is 0 and the error is -43 when there is no such
// document or folder, -36 otherwise.
bool SystemFailure(Frame& f, const std::string& what, const std::string& path, int err) {
  SetOk(f, false);
  return FailCode(f, err == ENOENT || err == ENOTDIR ? kErrorNoFile : kErrorIo,
                  what + " \"" + path + "\": " + std::strerror(err));
}

// Opens `path` in a mode of fopen and hands out its reference.
bool OpenAs(Frame& f, const Args& a, const std::string& cmd, const char* mode, bool atEnd, Value* out) {
  std::string path;
  if (!EvalText(f, a[0], &path, cmd + ": the path")) return false;
  if (path.empty()) {
    SetOk(f, false);
    return Fail(f, cmd + ": a path is needed (vrx run shows no file dialog)");
  }
  std::FILE* file = std::fopen(SystemPath(path).c_str(), mode);
  if (!file) return SystemFailure(f, cmd + ": cannot open", path, errno);
  if (atEnd) std::fseek(file, 0, SEEK_END);
  int32_t ref = f.rt->nextDocument++;
  f.rt->documents[ref] = file;
  SetSystemVar(f, "document", Value::Text(FullPath(path)));
  SetOk(f, true);
  *out = Value::Time(ref);
  return true;
}

// Create document(path {; type}): a new, empty document (an old one is replaced).
bool CreateDocument(Frame& f, const Args& a, Value* out) {
  return OpenAs(f, a, "Create document", "w+b", false, out);
}

// Open document(path {; type {; mode}})
bool OpenDocument(Frame& f, const Args& a, Value* out) {
  int32_t mode = kReadAndWrite;
  if (a.size() > 2 && !EvalLong(f, a[2], &mode, "Open document: the mode")) return false;
  if (mode == kGetPathname) {
    std::string path;
    if (!EvalText(f, a[0], &path, "Open document: the path")) return false;
    struct stat st;
    if (::stat(SystemPath(path).c_str(), &st) != 0) return SystemFailure(f, "Open document: no document", path, errno);
    SetSystemVar(f, "document", Value::Text(FullPath(path)));
    SetOk(f, true);
    *out = Value::Time(0);
    return true;
  }
  const char* how = mode == kReadMode ? "rb" : "r+b";
  if (mode != kReadMode && mode != kWriteMode && mode != kReadAndWrite)
    return Fail(f, "Open document: unknown mode " + std::to_string(mode));
  return OpenAs(f, a, "Open document", how, false, out);
}

// Append document(path {; type}): open for writing after the last byte.
bool AppendDocument(Frame& f, const Args& a, Value* out) {
  return OpenAs(f, a, "Append document", "r+b", true, out);
}

bool DocumentFile(Frame& f, int32_t arg, const std::string& cmd, std::FILE** out, int32_t* refOut = nullptr) {
  Value ref;
  if (!Eval(f, arg, &ref)) return false;
  if (ref.type != Type::Time && !ref.numeric())
    return Fail(f, cmd + ": the document reference must be a time, not " + Article(ref.type));
  int32_t number = ref.type == Type::Time ? ref.l : RealToLong(ref.Number());
  auto it = f.rt->documents.find(number);
  if (it == f.rt->documents.end())
    return Fail(f, cmd + ": no open document has the reference " + std::to_string(number));
  *out = it->second;
  if (refOut) *refOut = number;
  return true;
}

bool CloseDocument(Frame& f, const Args& a, Value*) {
  std::FILE* file;
  int32_t ref;
  if (!DocumentFile(f, a[0], "CLOSE DOCUMENT", &file, &ref)) return false;
  f.rt->documents.erase(ref);
  if (std::fclose(file) != 0) return SystemFailure(f, "CLOSE DOCUMENT: cannot write", "", errno);
  return true;
}

// SEND PACKET(docRef; packet): a text (written in UTF-8) or a BLOB.
bool SendPacket(Frame& f, const Args& a, Value*) {
  if (a.size() < 2) return Fail(f, "SEND PACKET: vrx run writes to documents only: pass the document reference");
  std::FILE* file;
  Value packet;
  if (!DocumentFile(f, a[0], "SEND PACKET", &file) || !Eval(f, a[1], &packet)) return false;
  std::string bytes;
  if (packet.type == Type::Text) bytes = packet.str();
  else if (packet.type == Type::Blob) bytes = packet.str();
  else return Fail(f, "SEND PACKET: the packet must be a text or a BLOB, not " + Article(packet.type));
  std::fseek(file, 0, SEEK_CUR);  // a write may follow a read
  if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
    return SystemFailure(f, "SEND PACKET: cannot write", "", errno);
  SetOk(f, true);
  return true;
}

// RECEIVE PACKET(docRef; variable; stop text | byte count): up to the stop text (which
// is read past but not kept) or that many bytes. The last piece of a document, without
// the stop text, comes with OK 1; OK is 0 once nothing is left to read.
bool ReceivePacket(Frame& f, const Args& a, Value*) {
  const std::string cmd = "RECEIVE PACKET";
  if (a.size() < 3) return Fail(f, cmd + ": vrx run reads documents only: pass the document reference");
  std::FILE* file;
  Value until;
  if (!DocumentFile(f, a[0], cmd, &file) || !Eval(f, a[2], &until)) return false;
  Var* var = FindVar(f, a[1]);
  if (!var) return f.node(a[1]).op == Op::Deref ? false : Fail(f, cmd + ": the packet must go into a variable");
  bool blob = var->v.type == Type::Blob;
  if (var->v.type != Type::Undefined && var->v.type != Type::Text && !blob)
    return Fail(f, cmd + ": " + VarLabel(f, a[1]) + " is " + Article(var->v.type) + ", not a text or a BLOB");
  std::fseek(file, 0, SEEK_CUR);  // a read may follow a write
  std::string got;
  bool complete = true;
  if (until.type == Type::Text) {
    std::string stop = until.str();
    if (stop.empty()) return Fail(f, cmd + ": the stop text is empty");
    for (;;) {
      int c = std::fgetc(file);
      if (c == EOF) {
        complete = !got.empty();
        break;
      }
      got.push_back(char(c));
      if (got.size() >= stop.size() && got.compare(got.size() - stop.size(), stop.size(), stop) == 0) {
        got.resize(got.size() - stop.size());
        break;
      }
      if (got.size() > f.rt->maxBytes) return Fail(f, cmd + ": the packet is too large");
    }
  } else if (until.numeric()) {
    int32_t n = RealToLong(until.Number());
    if (n < 0 || size_t(n) > f.rt->maxBytes) return Fail(f, cmd + ": bad byte count " + std::to_string(n));
    got.resize(size_t(n));
    got.resize(std::fread(got.data(), 1, got.size(), file));
    complete = !got.empty() || n == 0;
  } else {
    return Fail(f, cmd + ": the third parameter is a stop text or a byte count, not " + Article(until.type));
  }
  if (std::ferror(file)) return SystemFailure(f, cmd + ": cannot read", "", EIO);
  Value v = blob ? Value::Blob(std::move(got)) : Value::Text(std::move(got));
  if (!Assign(f, a[1], std::move(v))) return false;
  SetOk(f, complete);
  return true;
}

bool GetDocumentPosition(Frame& f, const Args& a, Value* out) {
  std::FILE* file;
  if (!DocumentFile(f, a[0], "Get document position", &file)) return false;
  *out = Value::Real(double(std::ftell(file)));
  return true;
}

// SET DOCUMENT POSITION(docRef; offset {; anchor}): from the start (1, or no anchor),
// the end (2) or the current position (3).
bool SetDocumentPosition(Frame& f, const Args& a, Value*) {
  const std::string cmd = "SET DOCUMENT POSITION";
  std::FILE* file;
  double offset;
  int32_t anchor = 1;
  if (!DocumentFile(f, a[0], cmd, &file) || !EvalNumber(f, a[1], &offset, cmd + ": the offset")) return false;
  if (a.size() > 2 && !EvalLong(f, a[2], &anchor, cmd + ": the anchor")) return false;
  int whence = anchor == 2 ? SEEK_END : anchor == 3 ? SEEK_CUR : SEEK_SET;
  if (anchor < 1 || anchor > 3) return Fail(f, cmd + ": the anchor must be 1, 2 or 3");
  if (!(std::fabs(offset) < 0x1p62)) return Fail(f, cmd + ": the offset is out of range");
  if (std::fseek(file, long(offset), whence) != 0) return SystemFailure(f, cmd + ": cannot move", "", errno);
  return true;
}

// The names in a folder (documents or folders), sorted; recursive lists give paths
// below the folder.
bool ListFolder(Frame& f, const Args& a, bool folders, const std::string& cmd) {
  std::string path;
  int32_t options = 0;
  if (!EvalText(f, a[0], &path, cmd + ": the folder")) return false;
  if (a.size() > 2 && !EvalLong(f, a[2], &options, cmd + ": the options")) return false;
  fs::path root(SystemPath(path));
  std::error_code ec;
  if (!fs::is_directory(root, ec)) return SystemFailure(f, cmd + ": no folder", path, ENOENT);
  std::vector<std::string> names;
  auto add = [&](const fs::directory_entry& e) {
    std::error_code broken;  // a dangling link is listed as a document
    bool dir = e.is_directory(broken);
    if (dir != folders) return;
    std::string name = e.path().filename().string();
    if ((options & kIgnoreInvisible) && !name.empty() && name[0] == '.') return;
    std::string shown = (options & kAbsolutePath)  ? e.path().string()
                        : (options & kRecursive)   ? e.path().lexically_relative(root).string()
                                                   : name;
    names.push_back(shown);
  };
  if (!folders && (options & kRecursive)) {
    for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) add(*it);
  } else {
    for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) add(*it);
  }
  if (ec) return SystemFailure(f, cmd + ": cannot read", path, ec.value());
  if (names.size() > f.rt->maxArray) return Fail(f, cmd + ": too many names");
  std::sort(names.begin(), names.end());
  Value arr = Value::Array(Type::Text, names.size());
  for (size_t i = 0; i < names.size(); ++i) arr.itemsMut()[i + 1] = Value::Text(std::move(names[i]));
  if (Var* var = FindVar(f, a[1]); var && var->v.type == Type::Array && var->v.elem != Type::Text)
    return Fail(f, cmd + ": " + VarLabel(f, a[1]) + " is an array of another type than text");
  if (!AssignWhole(f, a[1], std::move(arr))) return false;
  SetOk(f, true);
  return true;
}
bool DocumentList(Frame& f, const Args& a, Value*) { return ListFolder(f, a, false, "DOCUMENT LIST"); }
bool FolderList(Frame& f, const Args& a, Value*) { return ListFolder(f, a, true, "FOLDER LIST"); }

// DELETE FOLDER(path {; option}): an empty folder, or with option 1 everything in it.
bool DeleteFolder(Frame& f, const Args& a, Value*) {
  std::string path;
  int32_t option = 0;
  if (!EvalText(f, a[0], &path, "DELETE FOLDER: the path")) return false;
  if (a.size() > 1 && !EvalLong(f, a[1], &option, "DELETE FOLDER: the option")) return false;
  fs::path p(SystemPath(path));
  std::error_code ec;
  if (!fs::is_directory(fs::symlink_status(p, ec)))
    return SystemFailure(f, "DELETE FOLDER: no folder", path, ENOENT);
  if (option == kDeleteWithContents) fs::remove_all(p, ec);
  else fs::remove(p, ec);
  if (ec) return SystemFailure(f, "DELETE FOLDER: cannot delete", path, ec.value());
  SetOk(f, true);
  return true;
}

// COPY DOCUMENT(source; destination {; new name} {; *}): a document or a folder; a
// destination ending in "/" is a folder to copy into. An existing destination is error
// -48 unless * says to replace it.
bool CopyDocument(Frame& f, const Args& a, Value*) {
  const std::string cmd = "COPY DOCUMENT";
  std::string source, dest, newName;
  size_t n = a.size();
  bool overwrite = a.star(n - 1);
  if (overwrite) --n;
  if (!EvalText(f, a[0], &source, cmd + ": the source") || !EvalText(f, a[1], &dest, cmd + ": the destination"))
    return false;
  if (n > 2 && !EvalText(f, a[2], &newName, cmd + ": the new name")) return false;
  fs::path from(SystemPath(source));
  if (!source.empty() && source.back() == '/') from = from.parent_path();
  fs::path to(SystemPath(dest));
  if (!dest.empty() && dest.back() == '/') to /= newName.empty() ? from.filename() : fs::path(newName);
  else if (!newName.empty()) to = to.parent_path() / newName;
  std::error_code ec;
  if (!fs::exists(from, ec)) return SystemFailure(f, cmd + ": no document", source, ENOENT);
  if (fs::exists(to, ec)) {
    if (!overwrite) {
      SetOk(f, false);
      return FailCode(f, kErrorDuplicate, cmd + ": \"" + to.string() + "\" already exists");
    }
    fs::remove_all(to, ec);
  }
  if (fs::is_directory(from, ec)) fs::copy(from, to, fs::copy_options::recursive, ec);
  else fs::copy_file(from, to, ec);
  if (ec) return SystemFailure(f, cmd + ": cannot copy to", to.string(), ec.value());
  SetOk(f, true);
  return true;
}

// MOVE DOCUMENT(source; destination): renames or moves a document; an existing
// destination is error -48.
bool MoveDocument(Frame& f, const Args& a, Value*) {
  const std::string cmd = "MOVE DOCUMENT";
  std::string source, dest;
  if (!EvalText(f, a[0], &source, cmd + ": the source") || !EvalText(f, a[1], &dest, cmd + ": the destination"))
    return false;
  fs::path from(SystemPath(source)), to(SystemPath(dest));
  std::error_code ec;
  if (!fs::exists(from, ec)) return SystemFailure(f, cmd + ": no document", source, ENOENT);
  if (fs::exists(to, ec)) {
    SetOk(f, false);
    return FailCode(f, kErrorDuplicate, cmd + ": \"" + dest + "\" already exists");
  }
  fs::rename(from, to, ec);
  if (ec.value() == EXDEV) {  // another file system: copy, then remove
    ec.clear();
    fs::copy(from, to, fs::copy_options::recursive, ec);
    if (!ec) fs::remove_all(from, ec);
  }
  if (ec) return SystemFailure(f, cmd + ": cannot move to", dest, ec.value());
  SetOk(f, true);
  return true;
}

// Path to object(path {; path type}): {parentFolder; name; extension; isFolder}. Paths are
// POSIX here, the system's own, so both path types read the same.
bool PathToObject(Frame& f, const Args& a, Value* out) {
  std::string path;
  if (!EvalText(f, a[0], &path, "Path to object: the path")) return false;
  bool folder = !path.empty() && path.back() == '/';
  std::string body = folder ? path.substr(0, path.size() - 1) : path;
  size_t slash = body.rfind('/');
  std::string parent = slash == std::string::npos ? "" : body.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? body : body.substr(slash + 1);
  std::string extension;
  if (size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0) {
    extension = name.substr(dot);
    name.resize(dot);
  }
  *out = Value::NewObject();
  out->object()->Set("parentFolder", Value::Text(parent));
  out->object()->Set("name", Value::Text(name));
  out->object()->Set("extension", Value::Text(extension));
  out->object()->Set("isFolder", Value::Bool(folder));
  return true;
}

// Object to path(object {; path type}): the path Path to object took apart.
bool ObjectToPath(Frame& f, const Args& a, Value* out) {
  Value o;
  if (!Eval(f, a[0], &o)) return false;
  if (!o.object()) return Fail(f, "Object to path: the parameter must be an object, not " + Article(o.type));
  auto text = [&](const char* key) {
    const Value* v = o.object()->Find(key);
    return v && v->type == Type::Text ? v->str() : std::string();
  };
  const Value* isFolder = o.object()->Find("isFolder");
  std::string parent = text("parentFolder");
  if (!parent.empty() && parent.back() != '/') parent += '/';
  std::string path = parent + text("name") + text("extension");
  if (isFolder && isFolder->type == Type::Boolean && isFolder->b) path += '/';
  *out = Value::Text(path);
  return true;
}

// Convert path system to POSIX(path {; *}) and back: one form here. * escapes the
// characters a file URL may not hold, and the way back unescapes them.
bool ConvertPath(Frame& f, const Args& a, Value* out, bool toPosix) {
  std::string path;
  const char* cmd = toPosix ? "Convert path system to POSIX: the path" : "Convert path POSIX to system: the path";
  if (!EvalText(f, a[0], &path, cmd)) return false;
  bool escaped = a.size() > 1 && a.star(1);
  std::string result;
  if (!escaped) {
    result = path;
  } else if (toPosix) {
    static const char* hex = "0123456789ABCDEF";
    for (unsigned char c : path) {
      if (std::isalnum(c) || std::strchr("/-._~", c)) result += char(c);
      else result += {'%', hex[c >> 4], hex[c & 15]};
    }
  } else {
    for (size_t i = 0; i < path.size(); ++i) {
      if (path[i] == '%' && i + 2 < path.size() && std::isxdigit(uint8_t(path[i + 1])) && std::isxdigit(uint8_t(path[i + 2]))) {
        result += char(std::stoi(path.substr(i + 1, 2), nullptr, 16));
        i += 2;
      } else {
        result += path[i];
      }
    }
  }
  *out = Value::Text(std::move(result));
  return true;
}
bool PathToPosix(Frame& f, const Args& a, Value* out) { return ConvertPath(f, a, out, true); }
bool PathToSystem(Frame& f, const Args& a, Value* out) { return ConvertPath(f, a, out, false); }

constexpr BuiltinInfo kDocumentBuiltins[] = {
    {"COPY DOCUMENT", 541, 2, 4, false, "eeee", CopyDocument, true},
    {"MOVE DOCUMENT", 540, 2, 2, false, "ee", MoveDocument, true},
    {"Path to object", 1547, 1, 2, true, "ee", PathToObject, false},
    {"Object to path", 1548, 1, 2, true, "ee", ObjectToPath, false},
    {"Convert path system to POSIX", 1106, 1, 2, true, "ee", PathToPosix, false},
    {"Convert path POSIX to system", 1107, 1, 2, true, "ee", PathToSystem, false},
    {"DOCUMENT TO BLOB", 525, 2, 2, false, "ev", DocumentToBlob, true},
    {"BLOB TO DOCUMENT", 526, 2, 2, false, "ee", BlobToDocument, true},
    {"Temporary folder", 486, 0, 0, true, "", TemporaryFolderFn, true},
    {"Get 4D folder", 485, 0, 3, true, "eee", Get4DFolder, true},
    {"System folder", 487, 0, 1, true, "e", SystemFolderFn, true},
    {"Test path name", 476, 1, 1, true, "e", TestPathName, true},
    {"DELETE DOCUMENT", 159, 1, 1, false, "e", DeleteDocument, true},
    {"Get document size", 479, 1, 1, true, "e", GetDocumentSize, true},
    {"CREATE FOLDER", 475, 1, 2, false, "ee", CreateFolder, true},
    {"Create document", 266, 1, 2, true, "ee", CreateDocument, true},
    {"Open document", 264, 1, 3, true, "eee", OpenDocument, true},
    {"Append document", 265, 1, 2, true, "ee", AppendDocument, true},
    {"CLOSE DOCUMENT", 267, 1, 1, false, "e", CloseDocument, true},
    {"SEND PACKET", 103, 1, 2, false, "ee", SendPacket, true},
    {"RECEIVE PACKET", 104, 2, 3, false, "eve", ReceivePacket, true},
    {"Get document position", 481, 1, 1, true, "e", GetDocumentPosition, true},
    {"SET DOCUMENT POSITION", 482, 2, 3, false, "eee", SetDocumentPosition, true},
    {"DOCUMENT LIST", 474, 2, 3, false, "eve", DocumentList, true},
    {"FOLDER LIST", 473, 2, 2, false, "ev", FolderList, true},
    {"DELETE FOLDER", 693, 1, 2, false, "ee", DeleteFolder, true},
};

}  // namespace

std::span<const BuiltinInfo> DocumentBuiltins() { return kDocumentBuiltins; }

}  // namespace runner
