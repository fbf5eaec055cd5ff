#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {
struct Output {
  int status;
  std::string out;
};
Output Vrx(const std::string& args) {
  std::string cmd = std::string(VRX_CLI_PATH) + " " + args + " 2>&1";
  FILE* p = popen(cmd.c_str(), "r");
  Output o{-1, {}};
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) o.out.append(buf, n);
  int st = pclose(p);
  o.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return o;
}
bool Has(const Output& o, const std::string& s) { return o.out.find(s) != std::string::npos; }
}  // namespace

TEST(Cli, CallPrintsOneJsonObject) {
  Output o = Vrx("call VRX_GetStreamRef long:0");
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out,
            "{\"selector\":52,\"command\":\"VRX_GetStreamRef\",\"result\":{\"written\":true,\"kind\":\"long\","
            "\"value\":0},\"params\":[{\"kind\":\"long\",\"value\":0}]}\n");
  o = Vrx("call VRX_GetLocalAddress long:0 long:0 long:0 long:0");
  EXPECT_TRUE(Has(o, "{\"kind\":\"long\",\"value\":5},{\"kind\":\"long\",\"value\":-1},{\"kind\":\"long\",\"value\":39854082}"))
      << o.out;
  for (const char* sel : {"65", "93", "112", "113", "115"})
    EXPECT_TRUE(Has(Vrx(std::string("call ") + sel), "\"written\":false")) << sel;
  EXPECT_TRUE(Has(Vrx("call VRX_Reserved25"), "\"value\":-1"));
  EXPECT_TRUE(Has(Vrx("call VRX_Reserved78"), "\"value\":-1"));
  o = Vrx("call VRX_DetachBlob blob:abc long:1");
  EXPECT_TRUE(Has(o, "\"params\":[{\"kind\":\"blob\",\"hex\":\"\"}")) << o.out;
  EXPECT_FALSE(Has(o, "\"value\":0},\"params\"")) << o.out;
  EXPECT_TRUE(Has(Vrx("call VRX_DetachBlob blob%616263 long:0"), "{\"kind\":\"blob\",\"hex\":\"616263\"}"));
  EXPECT_TRUE(Has(Vrx("call VRX_GetStreamStates longs: longs:"), "\"value\":-1"));
  EXPECT_TRUE(Has(Vrx("call 64 longs:1,2 longs:5,6"), "\"values\":[5,6]"));
}

TEST(Cli, RawAndFiles) {
  EXPECT_EQ(Vrx("call 52 long:0 --raw").out, "0\n");
  std::string path = testing::TempDir() + "/vrx_cli_blob";
  FILE* f = std::fopen(path.c_str(), "wb");
  std::fputs("xyz", f);
  std::fclose(f);
  EXPECT_TRUE(Has(Vrx("call VRX_DetachBlob blob@" + path + " long:0"), "\"hex\":\"78797a\""));
}

TEST(Cli, BadInputIsAnErrorNotACrash) {
  for (const char* args : {"call VRX_NoSuchCommand", "call", "call VRX_GetStreamRef long:x",
                           "call VRX_GetStreamRef text:abc", "call VRX_DetachBlob blob%6", "call VRX_DetachBlob blob@/nonexistent",
                           "call VRX_GetStreamRef long:99999999999", "call VRX_OpenStream string:a int:70000",
                           "call 52 bogus:1", "call -1", "frobnicate", "call VRX_DetachBlob blob@/tmp",
                           "call VRX_GetStreamStates longs:1, longs:0", "call VRX_GetStreamStates longs:1,,2 longs:0",
                           "call VRX_DateToSeconds date:2020-13-45", "call VRX_DateToSeconds date:2023-02-29"}) {
    Output o = Vrx(args);
    EXPECT_EQ(o.status, 2) << args << ": " << o.out;
    EXPECT_EQ(o.out.find('\n'), o.out.size() - 1) << "one line: " << o.out;
  }
}

TEST(Cli, CommandsListsEverySelector) {
  Output o = Vrx("commands");
  EXPECT_EQ(o.status, 0);
  EXPECT_TRUE(Has(o, " 52  VRX_GetStreamRef"));
  // Each command line says whether its work is built; gap lines say there is no command.
  for (const std::string& line : {std::string(" 52  VRX_GetStreamRef"), std::string("111  VRX_ExpandBlob")}) {
    size_t at = o.out.find(line);
    ASSERT_NE(at, std::string::npos) << line;
    std::string rest = o.out.substr(at, o.out.find('\n', at) - at);
    EXPECT_NE(rest.find(" built "), std::string::npos) << rest;
    EXPECT_EQ(rest.find("not built"), std::string::npos) << rest;
  }
  EXPECT_TRUE(Has(o, " 65  (no command)"));
  size_t lines = 0;
  for (char c : o.out) lines += c == '\n';
  EXPECT_EQ(lines, 114u);
  EXPECT_EQ(Vrx("--help").status, 0);
}

// A copy of vrx finds the plug-in where an install puts it relative to the program, and
// never reaches back into the build tree; VRX_PLUGIN overrides.
TEST(Cli, VersionAndThePlugInFoundFromTheProgramsPlace) {
  Output version = Vrx("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("vrx ", 0), 0u) << version.out;

  namespace fs = std::filesystem;
  fs::path root = fs::temp_directory_path() / ("vrx_cli_" + std::to_string(getpid()));
  fs::create_directories(root / "bin");
  fs::copy_file(VRX_CLI_PATH, root / "bin/vrx");
  auto run = [&](const std::string& env) {
    std::string cmd = env + " " + (root / "bin/vrx").string() + " call VRX_EncodeBase64 text:Man long:1 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
  };
  std::string missing = run("VRX_PLUGIN=");
  EXPECT_NE(missing.find("cannot load the plug-in: " + (root / "bin").string() + "/" +
                         VRX_PLUGIN_FROM_PROGRAM),
            std::string::npos)
      << missing;
  fs::path installed = root / "bin" / VRX_PLUGIN_FROM_PROGRAM;
  fs::create_directories(installed.parent_path());
  fs::copy_file(std::string(VRX_BINARY_DIR) + "/libvrx.so", installed);
  EXPECT_NE(run("VRX_PLUGIN=").find("\"hex\":\"54574675\""), std::string::npos);
  EXPECT_NE(run("VRX_PLUGIN=/nonexistent/libvrx.so").find("/nonexistent/libvrx.so"), std::string::npos);
  fs::remove_all(root);
}
