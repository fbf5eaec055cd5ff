#include <gtest/gtest.h>
#include <sys/wait.h>
#include <netinet/in.h>
#include <sys/socket.h>
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
  EXPECT_TRUE(Has(Vrx("call vrx_getstreamref long:0"), "\"command\":\"VRX_GetStreamRef\"")) << "names in any case";
  o = Vrx("call VRX_GetLocalAddress long:0 long:0 long:0 long:0");
  EXPECT_TRUE(Has(o, "{\"kind\":\"long\",\"value\":5},{\"kind\":\"long\",\"value\":-1},{\"kind\":\"long\",\"value\":39854082}"))
      << o.out;
  for (const char* sel : {"65", "93", "112", "113", "115"})
    EXPECT_TRUE(Has(Vrx(std::string("call ") + sel), "\"written\":false")) << sel;
  EXPECT_TRUE(Has(Vrx("call VRX_Reserved25"), "\"value\":-1"));
  EXPECT_TRUE(Has(Vrx("call VRX_Reserved78"), "\"value\":-1"));
  // a result that happens to equal the host's canary bytes (0xA5A5A5A5) is still a result
  EXPECT_TRUE(Has(Vrx("call VRX_NameToAddress string:165.165.165.165"), "\"value\":-1515870811"));
  o = Vrx("call VRX_DetachBlob blob:abc long:1");
  EXPECT_TRUE(Has(o, "\"params\":[{\"kind\":\"blob\",\"hex\":\"\",\"text\":\"\"}")) << o.out;
  EXPECT_FALSE(Has(o, "\"value\":0},\"params\"")) << o.out;
  EXPECT_TRUE(Has(Vrx("call VRX_DetachBlob blob%616263 long:0"), "{\"kind\":\"blob\",\"hex\":\"616263\",\"text\":\"abc\"}"));
  EXPECT_TRUE(Has(Vrx("call VRX_GetStreamStates longs: longs:"), "\"value\":-1"));
  EXPECT_TRUE(Has(Vrx("call 64 longs:1,2 longs:5,6"), "\"values\":[5,6]"));
}

// vrx call against ::1: a listener of this test on IPv6 alone is reached by its address.
TEST(Cli, CallReachesIpv6Loopback) {
  int fd = socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in6 sa{};
  sa.sin6_family = AF_INET6;
  sa.sin6_addr = in6addr_loopback;
  socklen_t len = sizeof sa;
  if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 || listen(fd, 4) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len) != 0) {
    if (fd >= 0) close(fd);
    GTEST_SKIP() << "this system has no IPv6 on loopback (::1)";
  }
  // A 4D integer: ports above 32767 are negative.
  std::string port = std::to_string(int16_t(ntohs(sa.sin6_port)));
  EXPECT_TRUE(Has(Vrx("call VRX_OpenStream string:::1 int:" + port + " long:0 long:0"), "\"value\":1}"));
  EXPECT_TRUE(Has(Vrx("call VRX_OpenStream string:[::1] int:" + port + " long:0 long:0"), "\"value\":1}"));
  EXPECT_TRUE(Has(Vrx("call VRX_NameToAddresses text:[::1] text:"), "\"value\":1},\"params\":[{\"kind\":\"text\",\"hex\":\"5b3a3a315d\",\"text\":\"[::1]\"},{\"kind\":\"text\",\"hex\":\"3a3a31\",\"text\":\"::1\"}]"));
  EXPECT_TRUE(Has(Vrx("call VRX_NameToAddress string:::1"), "\"value\":0}"));
  close(fd);
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
                           "call VRX_GetStreamRef text:abc", "call VRX_DetachBlob blob%6", "call VRX_DetachBlob blob%6z", "call VRX_DetachBlob blob@/nonexistent",
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
  // The legacy table, then a blank line, a heading and the extensions.
  EXPECT_EQ(lines, 114u + 2u + 7u);
  EXPECT_TRUE(Has(o, "\n\nExtensions (from selector 201 on; 115 to 200 have no command):\n201  VRX_StartTLS"));
  EXPECT_EQ(Vrx("--help").status, 0);
}

// A copy of vrx finds the plug-in where an install puts it relative to the program, and
// never reaches back into the build tree; VRX_PLUGIN overrides.
TEST(Cli, VersionAndThePlugInFoundFromTheProgramsPlace) {
  Output version = Vrx("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("vrx ", 0), 0u) << version.out;
  if (VRX_INSTALLED_PLUGIN[0] == '/') GTEST_SKIP() << "built for /usr: the plug-in's place is absolute";

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
                         VRX_INSTALLED_PLUGIN),
            std::string::npos)
      << missing;
  fs::path installed = root / "bin" / VRX_INSTALLED_PLUGIN;
  fs::create_directories(installed.parent_path());
  fs::copy_file(std::string(VRX_BINARY_DIR) + "/libvrx.so", installed);
  EXPECT_NE(run("VRX_PLUGIN=").find("\"hex\":\"54574675\""), std::string::npos);
  EXPECT_NE(run("VRX_PLUGIN=/nonexistent/libvrx.so").find("/nonexistent/libvrx.so"), std::string::npos);
  fs::remove_all(root);
}

TEST(Cli, CallShowsPrintableBytesAsText) {
  // Mac Roman 0x8E is e acute; a quote and a line end are escaped in the JSON string.
  Output o = Vrx("call VRX_DecodeBase64 text:jiIKeA==");
  EXPECT_TRUE(Has(o, "\"hex\":\"8e220a78\",\"text\":\"\xC3\xA9\\\"\\nx\"")) << o.out;
  // Control bytes: hex only.
  o = Vrx("call VRX_DecodeBase64 text:AAEC");
  EXPECT_TRUE(Has(o, "\"hex\":\"000102\"}")) << o.out;
  EXPECT_TRUE(Has(Vrx("call VRX_GetStreamState long:3 long:0"), "\"value\":-1,\"state\":\"no such stream\""));
}

// Every command and topic has its entry; the documents in doc/ are what the reference
// generates today.
TEST(Help, EveryCommandHasItsReference) {
  for (int sel = 1; sel <= 114; ++sel) {
    Output o = Vrx("help " + std::to_string(sel));
    EXPECT_EQ(o.status, 0) << sel << ": " << o.out;
    if (o.out.find("has no command") != std::string::npos) continue;
    EXPECT_TRUE(Has(o, "selector " + std::to_string(sel) + "\n")) << o.out;
    EXPECT_TRUE(Has(o, "Result (")) << o.out;
  }
  for (int sel : {201, 202, 203, 204, 205, 206, 207}) EXPECT_TRUE(Has(Vrx("help " + std::to_string(sel)), "selector " + std::to_string(sel) + "\n"));
  EXPECT_TRUE(Has(Vrx("help"), "Extensions. Commands this system adds beyond the legacy table"));
  Output o = Vrx("help receiveblob");
  EXPECT_TRUE(Has(o, "$7 timeout")) << o.out;
  EXPECT_TRUE(Has(o, "TICKS")) << o.out;
  EXPECT_TRUE(Has(o, "RELEASED")) << o.out;
  for (const char* topic :
       {"states", "options", "flags", "conversions", "errors", "timeouts", "differences"})
    EXPECT_EQ(Vrx(std::string("help ") + topic).status, 0) << topic;
  EXPECT_TRUE(Has(Vrx("help states"), "20  Broken        connection failed"));
  EXPECT_EQ(Vrx("help VRX_Frobnicate").status, 2);
  for (const char* sub : {"help", "commands", "call", "run"})
    EXPECT_EQ(Vrx(std::string(sub) + " --help").status, 0) << sub;
}

TEST(Help, DocumentsAreCurrent) {
  for (const char* form : {"markdown", "html"}) {
    std::string path = std::string(VRX_SOURCE_DIR) + "/doc/reference." + (form[0] == 'm' ? "md" : "html");
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_TRUE(f) << path;
    std::string committed;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) committed.append(buf, n);
    std::fclose(f);
    EXPECT_TRUE(committed == Vrx(std::string("help --") + form).out)
        << path << " is stale: run scripts/reference.sh";
  }
}
