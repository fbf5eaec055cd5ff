// 4D.File and 4D.Folder objects: File(path) and Folder(path) name a file or folder by
// its POSIX path (which is also the platform's here) whether it exists or not; their
// computed properties look at the disk each time they are read. Texts are written and
// read as UTF-8 by default, with a byte order mark unless the character set says
// "-no-bom", as 4D writes them; TEXT TO DOCUMENT and Document to text do the same for
// document paths.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>

#include <sys/stat.h>

#include "runner/classes.h"

namespace runner {

namespace {

namespace fs = std::filesystem;

struct FileData : NativeData {
  std::string path;  // absolute, without a trailing "/" (but "/")
  explicit FileData(std::string p) : path(std::move(p)) {}
};

constexpr int32_t kPosixPath = 0, kPlatformPath = 1;
constexpr int32_t kRecursive = 2, kOverwrite = 4, kIgnoreInvisible = 8;
constexpr int32_t kDeleteWithContents = 1;
// Line breaks: Document unchanged, with native format, with CRLF, with CR, with LF.
enum Breaks : int32_t { kUnchanged = 0, kNative = 1, kCrlf = 2, kCr = 3, kLf = 4 };

const std::string& PathOf(const Value& self) {
  return static_cast<const FileData&>(*self.object()->native).path;
}

bool IsFolderObject(const Value& v) { return v.object() && v.object()->cls == &FolderClass(); }

// "a/./b/../c" made absolute (from the current folder) and without dots or a trailing "/".
std::string Normal(const std::string& path) {
  fs::path p = fs::path(path);
  std::error_code ec;
  if (p.is_relative()) p = fs::current_path(ec) / p;
  std::string s = p.lexically_normal().string();
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

Value MakeEntry(bool folder, const std::string& path) {
  return NewNativeObject(folder ? &FolderClass() : &FileClass(), std::make_shared<FileData>(Normal(path)));
}

bool Failed(Frame& f, const std::string& what, const std::string& path, const std::error_code& ec) {
  return FailCode(f, ec == std::errc::no_such_file_or_directory ? kErrorNoFile : kErrorIo,
                  what + " \"" + path + "\": " + ec.message());
}

// ---- properties

std::string Stem(const std::string& path) {
  std::string full = fs::path(path).filename().string();
  size_t dot = full.rfind('.');
  return dot == std::string::npos || dot == 0 ? full : full.substr(0, dot);
}

std::string Extension(const std::string& path) {
  std::string full = fs::path(path).filename().string();
  size_t dot = full.rfind('.');
  return dot == std::string::npos || dot == 0 ? "" : full.substr(dot);
}

bool GetExists(Frame&, const Value& self, Value* out) {
  std::error_code ec;
  fs::file_status st = fs::status(PathOf(self), ec);
  *out = Value::Bool(IsFolderObject(self) ? fs::is_directory(st) : fs::is_regular_file(st));
  return true;
}

bool GetPath(Frame&, const Value& self, Value* out) {
  const std::string& p = PathOf(self);
  *out = Value::Text(IsFolderObject(self) && p != "/" ? p + "/" : p);
  return true;
}

bool GetName(Frame&, const Value& self, Value* out) {
  *out = Value::Text(Stem(PathOf(self)));
  return true;
}

bool GetExtension(Frame&, const Value& self, Value* out) {
  *out = Value::Text(Extension(PathOf(self)));
  return true;
}

bool GetFullName(Frame&, const Value& self, Value* out) {
  *out = Value::Text(fs::path(PathOf(self)).filename().string());
  return true;
}

bool GetParent(Frame&, const Value& self, Value* out) {
  const std::string& p = PathOf(self);
  *out = p == "/" ? Value::Null() : MakeEntry(true, fs::path(p).parent_path().string());
  return true;
}

bool GetSize(Frame& f, const Value& self, Value* out) {
  std::error_code ec;
  uintmax_t size = fs::file_size(PathOf(self), ec);
  if (ec) return Failed(f, ".size: cannot read the size of", PathOf(self), ec);
  *out = Value::Real(double(size));
  return true;
}

// The last change, in local time: a date and a time of day.
bool ModifiedAt(Frame& f, const Value& self, std::tm* out) {
  struct stat st;
  if (::stat(PathOf(self).c_str(), &st) != 0)
    return FailCode(f, errno == ENOENT ? kErrorNoFile : kErrorIo, "cannot look at \"" + PathOf(self) + "\": " + std::strerror(errno));
  time_t t = st.st_mtime;
  return localtime_r(&t, out) != nullptr;
}

bool GetModificationDate(Frame& f, const Value& self, Value* out) {
  std::tm tm;
  if (!ModifiedAt(f, self, &tm)) return false;
  *out = Value::MakeDate(Date{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday});
  return true;
}

bool GetModificationTime(Frame& f, const Value& self, Value* out) {
  std::tm tm;
  if (!ModifiedAt(f, self, &tm)) return false;
  *out = Value::Time(tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec);
  return true;
}

// Invisible: a name beginning with a dot, as on macOS and Linux.
bool GetHidden(Frame&, const Value& self, Value* out) {
  std::string name = fs::path(PathOf(self)).filename().string();
  *out = Value::Bool(!name.empty() && name[0] == '.');
  return true;
}

bool GetIsAlias(Frame&, const Value& self, Value* out) {
  std::error_code ec;
  *out = Value::Bool(fs::is_symlink(PathOf(self), ec));
  return true;
}

bool GetIsFile(Frame&, const Value& self, Value* out) {
  *out = Value::Bool(!IsFolderObject(self));
  return true;
}

bool GetIsFolder(Frame&, const Value& self, Value* out) {
  *out = Value::Bool(IsFolderObject(self));
  return true;
}

// ---- reading and writing

bool ReadAll(Frame& f, const std::string& path, std::string* out) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return FailCode(f, errno == ENOENT ? kErrorNoFile : kErrorIo, "cannot open \"" + path + "\": " + std::strerror(errno));
  char buf[65536];
  size_t n;
  bool ok = true;
  while ((n = std::fread(buf, 1, sizeof buf, file)) > 0) {
    if (out->size() + n > f.rt->maxBytes) {
      ok = false;
      break;
    }
    out->append(buf, n);
  }
  bool error = std::ferror(file);
  std::fclose(file);
  if (!ok) return Fail(f, "\"" + path + "\" is too large to be read");
  if (error) return FailCode(f, kErrorIo, "cannot read \"" + path + "\"");
  return true;
}

bool WriteAll(Frame& f, const std::string& path, const std::string& data) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return FailCode(f, errno == ENOENT ? kErrorNoFile : kErrorIo, "cannot write \"" + path + "\": " + std::strerror(errno));
  bool ok = std::fwrite(data.data(), 1, data.size(), file) == data.size();
  ok = std::fclose(file) == 0 && ok;
  if (!ok) return FailCode(f, kErrorIo, "cannot write \"" + path + "\"");
  return true;
}

std::string ConvertBreaks(std::string_view text, int32_t mode) {
  if (mode == kUnchanged) return std::string(text);
  const char* eol = mode == kCrlf ? "\r\n" : mode == kCr ? "\r" : "\n";
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += eol;
    } else if (text[i] == '\n') {
      out += eol;
    } else {
      out += text[i];
    }
  }
  return out;
}

constexpr char kBom[] = "\xEF\xBB\xBF";

// The character set (iconv's name for 4D's name or number) and whether a byte order mark
// is written ("-no-bom" says not), and the line break mode, from the parameters at `at`.
bool TextOptions(Frame& f, std::span<const Value> args, size_t at, std::string* charset, bool* bom,
                 int32_t* breaks) {
  *charset = "UTF-8";
  *bom = true;
  *breaks = kNative;
  if (args.size() > at) {
    Value name = args[at];
    if (name.type == Type::Text && name.str().size() > 7 &&
        Lowercase(name.str().substr(name.str().size() - 7)) == "-no-bom") {
      *bom = false;
      name = Value::Text(name.str().substr(0, name.str().size() - 7));
    }
    *charset = IconvName(name);
    if (charset->empty()) return Fail(f, "the character set " + ToText(args[at]) + " is not one 4D knows");
  }
  if (args.size() > at + 1) *breaks = RealToLong(args[at + 1].Number());
  if (*breaks < kUnchanged || *breaks > kLf) return Fail(f, "the line break mode must be 0 to 4");
  return true;
}

bool Encode(Frame& f, std::string_view text, const std::string& charset, bool bom, std::string* out) {
  if (charset == "UTF-8") {
    *out = (bom ? std::string(kBom) : "") + std::string(text);
    return true;
  }
  // UTF-16 and UTF-32 of a stated byte order get their mark as UTF-8 does (iconv gives
  // the unordered forms one itself).
  bool mark = bom && charset.starts_with("UTF-") && (charset.ends_with("LE") || charset.ends_with("BE"));
  if (!Recode(mark ? "\xEF\xBB\xBF" + std::string(text) : std::string(text), "UTF-8", charset, "?", 1, out))
    return Fail(f, "the character set " + charset + " is not available on this system");
  return true;
}

bool Decode(Frame& f, std::string_view bytes, std::string charset, std::string* out) {
  // A byte order mark says which it is, whatever was asked.
  if (bytes.substr(0, 3) == kBom) charset = "UTF-8";
  bytes = TakeByteOrderMark(bytes, &charset);
  if (charset == "UTF-8") {
    *out = std::string(bytes);
    return true;
  }
  if (!Recode(bytes, charset, "UTF-8", "\xEF\xBF\xBD", UnitOf(charset), out))
    return Fail(f, "the character set " + charset + " is not available on this system");
  return true;
}

bool ReadText(Frame& f, const std::string& path, std::span<const Value> opts, Value* out) {
  std::string charset, bytes, text;
  bool bom;
  int32_t breaks;
  if (!TextOptions(f, opts, 0, &charset, &bom, &breaks) || !ReadAll(f, path, &bytes) ||
      !Decode(f, bytes, charset, &text))
    return false;
  *out = Value::Text(ConvertBreaks(text, breaks));
  return true;
}

bool WriteText(Frame& f, const std::string& path, const std::string& text, std::span<const Value> opts) {
  std::string charset, bytes;
  bool bom;
  int32_t breaks;
  return TextOptions(f, opts, 0, &charset, &bom, &breaks) &&
         Encode(f, ConvertBreaks(text, breaks), charset, bom, &bytes) && WriteAll(f, path, bytes);
}

// ---- functions

bool FileGetText(Frame& f, const Value& self, std::vector<Value>& args, Value* out) {
  return ReadText(f, PathOf(self), args, out);
}

bool FileSetText(Frame& f, const Value& self, std::vector<Value>& args, Value*) {
  if (args.empty()) return Fail(f, ".setText() needs the text to write");
  return WriteText(f, PathOf(self), ToText(args[0]), std::span<const Value>(args).subspan(1));
}

bool FileGetContent(Frame& f, const Value& self, std::vector<Value>&, Value* out) {
  std::string bytes;
  if (!ReadAll(f, PathOf(self), &bytes)) return false;
  *out = Value::Blob(std::move(bytes));
  return true;
}

bool FileSetContent(Frame& f, const Value& self, std::vector<Value>& args, Value*) {
  if (args.empty() || (args[0].type != Type::Blob && args[0].type != Type::Text))
    return Fail(f, ".setContent() takes a BLOB");
  return WriteAll(f, PathOf(self), args[0].str());
}

bool Create(Frame& f, const Value& self, std::vector<Value>&, Value* out) {
  const std::string& p = PathOf(self);
  std::error_code ec;
  bool folder = IsFolderObject(self);
  if (fs::exists(p, ec)) {
    *out = Value::Bool(false);
    return true;
  }
  fs::create_directories(folder ? fs::path(p) : fs::path(p).parent_path(), ec);
  if (ec) return Failed(f, ".create(): cannot create", p, ec);
  if (!folder && !WriteAll(f, p, "")) return false;
  *out = Value::Bool(true);
  return true;
}

bool Delete(Frame& f, const Value& self, std::vector<Value>& args, Value*) {
  const std::string& p = PathOf(self);
  std::error_code ec;
  if (!fs::exists(p, ec)) return true;
  if (IsFolderObject(self) && !args.empty() && RealToLong(args[0].Number()) == kDeleteWithContents)
    fs::remove_all(p, ec);
  else
    fs::remove(p, ec);
  if (ec) return Failed(f, ".delete(): cannot delete", p, ec);
  return true;
}

bool List(Frame& f, const Value& self, std::vector<Value>& args, Value* out, bool folders) {
  const std::string& p = PathOf(self);
  int32_t options = args.empty() ? 0 : RealToLong(args[0].Number());
  std::vector<std::string> found;
  std::error_code ec;
  auto take = [&](const fs::directory_entry& e) {
    std::error_code stat;
    std::string name = e.path().filename().string();
    if ((options & kIgnoreInvisible) && !name.empty() && name[0] == '.') return;
    if (folders ? e.is_directory(stat) : e.is_regular_file(stat)) found.push_back(e.path().string());
  };
  if (options & kRecursive) {
    for (fs::recursive_directory_iterator it(p, ec), end; !ec && it != end; it.increment(ec)) take(*it);
  } else {
    for (fs::directory_iterator it(p, ec), end; !ec && it != end; it.increment(ec)) take(*it);
  }
  if (ec) return Failed(f, folders ? ".folders(): cannot list" : ".files(): cannot list", p, ec);
  std::sort(found.begin(), found.end());
  if (found.size() > f.rt->maxArray) return Fail(f, "the folder \"" + p + "\" holds too many entries");
  Value c = Value::NewCollection();
  for (const std::string& e : found) c.collection()->items.push_back(MakeEntry(folders, e));
  *out = std::move(c);
  return true;
}

bool Files(Frame& f, const Value& self, std::vector<Value>& args, Value* out) { return List(f, self, args, out, false); }
bool Folders(Frame& f, const Value& self, std::vector<Value>& args, Value* out) { return List(f, self, args, out, true); }

// folder.file(path) and folder.folder(path): a path relative to the folder.
bool Child(Frame& f, const Value& self, std::vector<Value>& args, Value* out, bool folder) {
  if (args.size() != 1 || args[0].type != Type::Text) return Fail(f, "the path of the file or folder is expected");
  std::string rel = args[0].str();
  while (!rel.empty() && rel[0] == '/') rel.erase(0, 1);
  *out = MakeEntry(folder, (fs::path(PathOf(self)) / rel).string());
  return true;
}

bool FolderFile(Frame& f, const Value& self, std::vector<Value>& args, Value* out) { return Child(f, self, args, out, false); }
bool FolderFolder(Frame& f, const Value& self, std::vector<Value>& args, Value* out) { return Child(f, self, args, out, true); }

// copyTo(destinationFolder {; newName} {; fk overwrite}) and moveTo(destinationFolder {; newName})
bool Transfer(Frame& f, const Value& self, std::vector<Value>& args, Value* out, bool move) {
  if (args.empty() || !IsFolderObject(args[0])) return Fail(f, "the destination must be a Folder object");
  std::string name = fs::path(PathOf(self)).filename().string();
  int32_t options = 0;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i].type == Type::Text) name = args[i].str();
    else options = RealToLong(args[i].Number());
  }
  if (name.empty() || name.find('/') != std::string::npos) return Fail(f, "\"" + name + "\" is not a name for a file or folder");
  std::string to = (fs::path(PathOf(args[0])) / name).string();
  std::error_code ec;
  if (fs::exists(to, ec) && (move || !(options & kOverwrite)))
    return FailCode(f, kErrorIo, "\"" + to + "\" exists already");
  if (move) {
    fs::rename(PathOf(self), to, ec);
  } else {
    auto how = fs::copy_options::recursive | fs::copy_options::overwrite_existing;
    fs::copy(PathOf(self), to, how, ec);
  }
  if (ec) return Failed(f, move ? ".moveTo(): cannot move" : ".copyTo(): cannot copy", PathOf(self), ec);
  *out = MakeEntry(IsFolderObject(self), to);
  return true;
}

bool CopyTo(Frame& f, const Value& self, std::vector<Value>& args, Value* out) { return Transfer(f, self, args, out, false); }
bool MoveTo(Frame& f, const Value& self, std::vector<Value>& args, Value* out) { return Transfer(f, self, args, out, true); }

bool Rename(Frame& f, const Value& self, std::vector<Value>& args, Value* out) {
  if (args.size() != 1 || args[0].type != Type::Text) return Fail(f, ".rename() takes the new name");
  std::vector<Value> moved{MakeEntry(true, fs::path(PathOf(self)).parent_path().string()), args[0]};
  return Transfer(f, self, moved, out, true);
}

void AddCommon(ClassDef& d) {
  d.builtin = true;
  d.super = BuiltinClass("Object");
  d.members["exists"].nativeGet = GetExists;
  d.members["path"].nativeGet = GetPath;
  d.members["platformPath"].nativeGet = GetPath;
  d.members["name"].nativeGet = GetName;
  d.members["extension"].nativeGet = GetExtension;
  d.members["fullName"].nativeGet = GetFullName;
  d.members["parent"].nativeGet = GetParent;
  d.members["isFile"].nativeGet = GetIsFile;
  d.members["isFolder"].nativeGet = GetIsFolder;
  d.members["hidden"].nativeGet = GetHidden;
  d.members["isAlias"].nativeGet = GetIsAlias;
  d.members["modificationDate"].nativeGet = GetModificationDate;
  d.members["modificationTime"].nativeGet = GetModificationTime;
  d.members["create"].native = Create;
  d.members["delete"].native = Delete;
  d.members["copyTo"].native = CopyTo;
  d.members["moveTo"].native = MoveTo;
  d.members["rename"].native = Rename;
}

// ---- the commands

// The folders 4D names in paths ("/RESOURCES/x.txt"): those of the project being run, as
// Get 4D folder answers them. Empty when `path` starts with none of them.
std::string ExpandFilesystem(Frame& f, const std::string& path) {
  static constexpr std::pair<std::string_view, int32_t> kNames[] = {
      {"/PACKAGE", 4}, {"/RESOURCES", 6}, {"/LOGS", 7}, {"/DATA", 9}, {"/PROJECT", -1}, {"/SOURCES", -2}};
  for (auto [name, which] : kNames) {
    if (!path.starts_with(name) || (path.size() > name.size() && path[name.size()] != '/')) continue;
    std::string folder;
    if (which < 0) folder = DatabaseFolder(f) + (which == -1 ? "Project/" : "Project/Sources/");
    else if (!FourDFolder(f, which, &folder)) return {};
    return folder + path.substr(std::min(path.size(), name.size() + 1));
  }
  return {};
}

// Folder(constant): the folders of 4D's fk ... folder constants that this system has.
bool FolderOfConstant(Frame& f, int32_t which, std::string* out) {
  constexpr int32_t kSystemFolders = 100;  // fk system folder; fk desktop folder is 115...
  if (which >= kSystemFolders) return SystemFolderPath(which - kSystemFolders, out) && !out->empty();
  return which != 2 && which != 5 && FourDFolder(f, which, out);
}

// File(path {; fk posix path | fk platform path} {; *}), Folder(...) and Folder(constant
// {; *}): both path forms are POSIX here, and * (the host database) is this project.
bool MakeFromPath(Frame& f, const Args& a, Value* out, bool folder) {
  const char* cmd = folder ? "Folder" : "File";
  size_t n = a.size();
  if (n > 1 && a.star(n - 1)) --n;
  Value first;
  if (!Eval(f, a[0], &first)) return false;
  if (first.numeric()) {
    int32_t which = RealToLong(first.Number());
    std::string path;
    if (n > 1) return Fail(f, std::string(cmd) + ": a folder constant comes alone");
    if (!folder) return Fail(f, "File: the file constant " + std::to_string(which) + " names a file of the 4D application or its database, which vrx run does not have");
    if (!FolderOfConstant(f, which, &path)) return Fail(f, "Folder: this system has no folder for the constant " + std::to_string(which));
    *out = MakeEntry(true, path);
    return true;
  }
  if (first.type != Type::Text) return Fail(f, std::string(cmd) + ": the path must be a text, not " + Article(first.type));
  std::string path = first.takeStr();
  if (n > 1) {
    int32_t kind;
    if (!EvalLong(f, a[1], &kind, std::string(cmd) + ": the path type")) return false;
    if (kind != kPosixPath && kind != kPlatformPath) return Fail(f, std::string(cmd) + ": the path type must be fk posix path or fk platform path");
  }
  if (path.empty()) return Fail(f, std::string(cmd) + ": the path is empty");
  if (std::string full = ExpandFilesystem(f, path); !full.empty()) path = std::move(full);
  *out = MakeEntry(folder, path);
  return true;
}

bool FileCmd(Frame& f, const Args& a, Value* out) { return MakeFromPath(f, a, out, false); }
bool FolderCmd(Frame& f, const Args& a, Value* out) { return MakeFromPath(f, a, out, true); }

bool Evaluated(Frame& f, const Args& a, std::vector<Value>* out) {
  out->resize(a.size());
  for (size_t i = 0; i < a.size(); ++i)
    if (!Eval(f, a[i], &(*out)[i])) return false;
  return true;
}

// TEXT TO DOCUMENT(path; text {; charSet {; breakMode}})
bool TextToDocument(Frame& f, const Args& a, Value*) {
  std::vector<Value> v;
  if (!Evaluated(f, a, &v)) return false;
  return WriteText(f, ToText(v[0]), ToText(v[1]), std::span<const Value>(v).subspan(2));
}

// Document to text(path {; charSet {; breakMode}})
bool DocumentToText(Frame& f, const Args& a, Value* out) {
  std::vector<Value> v;
  if (!Evaluated(f, a, &v)) return false;
  return ReadText(f, ToText(v[0]), std::span<const Value>(v).subspan(1), out);
}

constexpr BuiltinInfo kFileBuiltins[] = {
    {"File", 1566, 1, 3, true, "eee", FileCmd, true},
    {"Folder", 1567, 1, 3, true, "eee", FolderCmd, true},
    {"TEXT TO DOCUMENT", 1237, 2, 4, false, "eeee", TextToDocument, true},
    {"Document to text", 1236, 1, 3, true, "eee", DocumentToText, true},
};

}  // namespace

const ClassDef& FileClass() {
  static const ClassDef c = [] {
    ClassDef d;
    d.name = "File";
    AddCommon(d);
    d.members["size"].nativeGet = GetSize;
    d.members["getText"].native = FileGetText;
    d.members["setText"].native = FileSetText;
    d.members["getContent"].native = FileGetContent;
    d.members["setContent"].native = FileSetContent;
    return d;
  }();
  return c;
}

const ClassDef& FolderClass() {
  static const ClassDef c = [] {
    ClassDef d;
    d.name = "Folder";
    AddCommon(d);
    d.members["files"].native = Files;
    d.members["folders"].native = Folders;
    d.members["file"].native = FolderFile;
    d.members["folder"].native = FolderFolder;
    return d;
  }();
  return c;
}

std::span<const BuiltinInfo> FileBuiltins() { return kFileBuiltins; }

}  // namespace runner
