// The examples, run as a user runs them. Those that need commands still to be built
// are skipped, saying which command is missing, until `vrx commands` lists it built.
// Peers are real: Python's http.server and http.client on the loopback address.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "abi/command_table.h"
#include "tests/runner/cli_helpers.h"

namespace {

const std::string kExamples = std::string(VRX_SOURCE_DIR) + "/examples";

// The first of `names` that the plug-in does not have yet, or "".
std::string MissingCommand(std::initializer_list<const char*> names) {
  for (const char* n : names) {
    const vrx::CommandInfo* c = vrx::CommandByName(n);
    if (!c || !c->built) return n;
  }
  return "";
}

#define REQUIRE_COMMANDS(...)                                                   \
  do {                                                                          \
    std::string missing = MissingCommand({__VA_ARGS__});                        \
    if (!missing.empty()) GTEST_SKIP() << missing << " is not built yet";       \
  } while (0)

bool Has(const std::string& out, const std::string& line) {
  return out.find(line + "\n") != std::string::npos;
}

// The first line of `out` that begins with `prefix`, or "".
std::string LineStarting(const std::string& out, const std::string& prefix) {
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);)
    if (line.rfind(prefix, 0) == 0) return line;
  return "";
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// A port free at the time of asking, on the loopback address.
int FreePort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  int port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
    port = ntohs(a.sin_port);
  close(fd);
  return port;
}

}  // namespace

TEST(Examples, AllParse) {
  // Every example loads: a syntax error in one would stop all of them.
  CliResult r = RunVrx({"run", kExamples, "--method", "web_content_type", "x.html"});
  EXPECT_EQ(r.status, 0) << r.err;
}

TEST(Examples, CodecRoundTripOnItsOwnText) {
  REQUIRE_COMMANDS("VRX_EncodeBase64", "VRX_DecodeBase64", "VRX_EncodeQuotedPrintable",
                   "VRX_DecodeQuotedPrintable", "VRX_EncodeURL", "VRX_DecodeURL",
                   "VRX_EncodeHTML", "VRX_DecodeHTML");
  CliResult r = RunVrx({"run", kExamples + "/codec_roundtrip.4dm"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "Built-in text: 193 characters")) << r.out;
  EXPECT_TRUE(Has(r.out, "Base64: 260 characters encoded, round trip exact; begins "
                         "R3Kfp2UgYXVzIEuabG4hIDEwMCUgPHN1cmU+ICYgInF1b3RlZCIgPSBmaW5l"))
      << r.out;
  EXPECT_NE(r.out.find("Quoted-printable: 208 characters encoded, round trip exact; begins "
                       "Gr=FC=DFe aus K=F6ln! 100% <sure> & \"quoted\" =3D fine?"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("URL: 247 characters encoded, round trip exact; begins Gr%FC%DFe+aus+K%F6ln"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("HTML: 233 characters encoded, round trip exact; begins "
                       "Gr&uuml;&szlig;e aus K&ouml;ln! 100% &lt;sure&gt; &amp;"),
            std::string::npos)
      << r.out;
}

TEST(Examples, CodecRoundTripOnAFileInPieces) {
  REQUIRE_COMMANDS("VRX_EncodeBase64", "VRX_DecodeBase64", "VRX_EncodeQuotedPrintable",
                   "VRX_DecodeQuotedPrintable", "VRX_EncodeURL", "VRX_DecodeURL",
                   "VRX_EncodeHTML", "VRX_DecodeHTML");
  TempDir dir;
  std::string text = "\xE2\x84\xA2 ";  // a trade mark sign first
  for (int i = 0; i < 300; ++i)
    text += "Ligne " + std::to_string(i) + ": déjà vu <b>&amp;</b> 50% = \"moitié\"\r\n";
  dir.Write("sample.txt", text);  // about 15000 characters: four pieces
  CliResult r = RunVrx({"run", kExamples + "/codec_roundtrip.4dm", dir.path + "/sample.txt"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("File " + dir.path + "/sample.txt: "), std::string::npos) << r.out;
  for (const char* codec : {"Base64", "Quoted-printable", "URL"})
    EXPECT_NE(r.out.find(std::string(codec) + ": "), std::string::npos);
  for (const char* codec : {"Base64: ", "Quoted-printable: ", "URL: "})
    EXPECT_NE(LineStarting(r.out, codec).find(" characters encoded, round trip exact"), std::string::npos)
        << r.out;
  // HTML has no entity for the trade mark sign: it becomes "(TM)", and the example
  // says where the round trip stops being exact.
  EXPECT_TRUE(EndsWith(LineStarting(r.out, "HTML: "), " characters encoded, round trip differs at character 1"))
      << r.out;
}

TEST(Examples, EchoServerAndClientInTwoProcesses) {
  REQUIRE_COMMANDS("VRX_OpenStream", "VRX_ListenStream", "VRX_CloseStream",
                   "VRX_ReleaseStream", "VRX_GetStreamState", "VRX_SendText",
                   "VRX_ReceiveText", "VRX_GetStreamAddresses");
  CliResult r = RunVrx({"run", kExamples + "/echo.4dm"});
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  for (const char* line : {"> hello", "< hello", "> VRX echo", "< VRX echo",
                           "> La dernière ligne", "< La dernière ligne", "> QUIT", "< BYE",
                           "echo server done"})
    EXPECT_TRUE(Has(r.out, line)) << line << "\n" << r.out;

  r = RunVrx({"run", kExamples + "/echo.4dm", "one two", "ça", ""});
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("> one two\n< one two\n> ça\n< ça\n> \n< \n> QUIT\n< BYE\n"), std::string::npos)
      << r.out;
}

TEST(Examples, EchoServerAnswersAPythonClient) {
  REQUIRE_COMMANDS("VRX_ListenStream", "VRX_CloseStream", "VRX_ReleaseStream",
                   "VRX_GetStreamState", "VRX_SendText", "VRX_ReceiveText",
                   "VRX_GetStreamAddresses");
  int port = FreePort();
  TempDir io, py;
  Spawned server = Spawn(VRX_CLI_PATH, {"run", kExamples + "/echo_server.4dm", std::to_string(port), "2"},
                         io.path, 60);
  py.Write("client.py",
           "import socket, sys, time\n"
           "port = int(sys.argv[1])\n"
           "for attempt in range(100):\n"
           "    try:\n"
           "        s = socket.create_connection(('127.0.0.1', port), timeout=10); break\n"
           "    except OSError:\n"
           "        time.sleep(0.1)\n"
           "f = s.makefile('rb')\n"
           "for line in [b'first', b'x' * 5000, b'last']:\n"
           "    s.sendall(line + b'\\r\\n')\n"
           "    assert f.readline() == line + b'\\r\\n', line[:20]\n"
           "s.sendall(b'QUIT\\r\\n')\n"
           "assert f.readline() == b'BYE\\r\\n'\n"
           "assert f.read() == b''\n"  // the server closes after QUIT
           "s2 = socket.create_connection(('127.0.0.1', port), timeout=10)\n"
           "s2.close()\n"  // a client that leaves without QUIT
           "print('ok')\n");
  TempDir pyIo;
  CliResult client = Wait(Spawn("python3", {py.path + "/client.py", std::to_string(port)}, pyIo.path, 60));
  EXPECT_EQ(client.out, "ok\n") << client.err;
  CliResult r = Wait(server);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "echo server on port " + std::to_string(port))) << r.out;
  EXPECT_TRUE(Has(r.out, "echo server done")) << r.out;
}

TEST(Examples, HttpGetOnItsOwnServer) {
  REQUIRE_COMMANDS("VRX_OpenStream", "VRX_ListenStream", "VRX_CloseStream",
                   "VRX_ReleaseStream", "VRX_GetStreamState", "VRX_SendText",
                   "VRX_ReceiveText", "VRX_GetStreamAddresses", "VRX_FormatDateHeader",
                   "VRX_DateToSeconds", "VRX_DecodeURL");
  CliResult r = RunVrx({"run", kExamples + "/http_get.4dm"});
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  // The page's folder is gone afterwards.
  std::string serving = LineStarting(r.out, "Serving ");
  ASSERT_NE(serving.find("/ on http://"), std::string::npos) << r.out;
  EXPECT_FALSE(std::filesystem::exists(serving.substr(8, serving.find("/ on http://") - 8))) << serving;
  EXPECT_TRUE(Has(r.out, "HTTP/1.0 200 OK")) << r.out;
  EXPECT_TRUE(Has(r.out, "Content-Type: text/html")) << r.out;
  EXPECT_TRUE(Has(r.out, "Content-Length: 82")) << r.out;
  EXPECT_TRUE(Has(r.out, "GET /index.html 200 OK")) << r.out;
  EXPECT_TRUE(Has(r.out, "Served 1 request(s)")) << r.out;
  // Date: Tue, 5 Mar 2002 14:07:09 GMT
  std::string date = LineStarting(r.out, "Date: ");
  EXPECT_TRUE(EndsWith(date, " GMT")) << r.out;
  EXPECT_TRUE(date.size() == 34 || date.size() == 35) << date;
  EXPECT_NE(std::string("MonTueWedThuFriSatSun").find(date.substr(6, 3)), std::string::npos) << date;
  if (MissingCommand({"VRX_SendFile"}).empty()) {
    EXPECT_TRUE(Has(r.out, "(82 bytes of body)")) << r.out;
  }
}

TEST(Examples, HttpGetFromPython) {
  REQUIRE_COMMANDS("VRX_OpenStream", "VRX_CloseStream", "VRX_ReleaseStream",
                   "VRX_GetStreamState", "VRX_SendText", "VRX_ReceiveText");
  TempDir site, io, pyIo;
  site.Write("page.txt", std::string(3000, 'p'));
  int port = FreePort();
  Spawned py = Spawn("python3", {"-m", "http.server", "--bind", "127.0.0.1", "--directory", site.path,
                                 std::to_string(port)},
                     pyIo.path, 60);
  // The server is ready when it accepts a connection; bounded wait.
  for (int i = 0; i < 100; ++i) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(uint16_t(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool up = connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    close(fd);
    if (up) break;
    usleep(100000);
  }
  std::string base = "http://127.0.0.1:" + std::to_string(port);
  // The classic method and its rewrite in today's language print the same.
  for (const char* example : {"/http_get.4dm", "/http_get_modern.4dm"}) {
    CliResult r = RunVrx({"run", kExamples + example, base + "/page.txt"});
    EXPECT_EQ(r.status, 0) << example << r.err;
    EXPECT_TRUE(Has(r.out, "HTTP/1.0 200 OK")) << example << r.out;
    EXPECT_TRUE(Has(r.out, "Content-Length: 3000")) << example << r.out;
    EXPECT_TRUE(Has(r.out, "(3000 bytes of body)")) << example << r.out;
    r = RunVrx({"run", kExamples + example, base + "/missing"});
    EXPECT_EQ(r.status, 0) << example << r.err;
    EXPECT_TRUE(Has(r.out, "HTTP/1.0 404 File not found")) << example << r.out;
  }
  kill(py.pid, SIGTERM);
  Wait(py);
}

TEST(Examples, WebServerAnswersPython) {
  REQUIRE_COMMANDS("VRX_ListenStream", "VRX_CloseStream", "VRX_ReleaseStream",
                   "VRX_GetStreamState", "VRX_SendText", "VRX_ReceiveText",
                   "VRX_GetStreamAddresses", "VRX_FormatDateHeader", "VRX_DateToSeconds",
                   "VRX_DecodeURL", "VRX_EncodeHTML", "VRX_SendFile", "VRX_WaitStreamState");
  TempDir site, io, py, pyIo;
  std::string page = "<html><body>" + std::string(20000, 'w') + "</body></html>";
  site.Write("index.html", page);
  site.Write("notes.txt", "plain text\n");
  int port = FreePort();
  Spawned server = Spawn(VRX_CLI_PATH, {"run", kExamples + "/web_server.4dm", site.path,
                                        std::to_string(port), "4"},
                         io.path, 60);
  py.Write("client.py",
           "import http.client, sys, time, email.utils\n"
           "port = int(sys.argv[1]); page = open(sys.argv[2], 'rb').read()\n"
           "def get(path):\n"
           "    for attempt in range(100):\n"
           "        try:\n"
           "            c = http.client.HTTPConnection('127.0.0.1', port, timeout=10)\n"
           "            c.request('GET', path); r = c.getresponse(); return r, r.read()\n"
           "        except ConnectionRefusedError:\n"
           "            time.sleep(0.1)\n"
           "r, body = get('/')\n"
           "assert r.status == 200 and body == page, (r.status, len(body))\n"
           "assert r.getheader('Content-Type') == 'text/html'\n"
           "assert abs(email.utils.parsedate_to_datetime(r.getheader('Date')).timestamp() - time.time()) < 120\n"
           "r, body = get('/notes.txt')\n"
           "assert r.status == 200 and body == b'plain text\\n' and r.getheader('Content-Type') == 'text/plain'\n"
           "r, body = get('/nothing%20here.html')\n"
           "assert r.status == 404 and b'/nothing here.html' in body, (r.status, body)\n"
           "r, body = get('/../' + sys.argv[2])\n"
           "assert r.status == 404, r.status\n"
           "print('ok')\n");
  CliResult client = Wait(Spawn("python3", {py.path + "/client.py", std::to_string(port), site.path + "/index.html"},
                                pyIo.path, 60));
  EXPECT_EQ(client.out, "ok\n") << client.err;
  CliResult r = Wait(server);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "GET /index.html 200 OK")) << r.out;
  EXPECT_TRUE(Has(r.out, "GET /nothing here.html 404 Not Found")) << r.out;
  EXPECT_TRUE(Has(r.out, "Served 4 request(s)")) << r.out;
}

// The web server listens on both families; the client reaches it by its IPv6 address
// in brackets and by its IPv4 one.
TEST(Examples, WebServerAndHttpGetOverIpv6AndIpv4) {
  int probe = socket(AF_INET6, SOCK_STREAM, 0);
  sockaddr_in6 loop6{};
  loop6.sin6_family = AF_INET6;
  loop6.sin6_addr = in6addr_loopback;
  bool v6 = probe >= 0 && bind(probe, reinterpret_cast<sockaddr*>(&loop6), sizeof loop6) == 0;
  if (probe >= 0) close(probe);
  if (!v6) GTEST_SKIP() << "this system has no IPv6 on loopback (::1)";
  TempDir site, io;
  site.Write("index.html", "<html>both families</html>\r\n");
  int port = FreePort();
  Spawned server = Spawn(VRX_CLI_PATH, {"run", kExamples + "/web_server.4dm", site.path, std::to_string(port), "2"},
                         io.path, 60);
  for (const std::string host : {"[::1]", "127.0.0.1"}) {
    CliResult r;
    // The server may still be starting: a refused connection is tried again, briefly.
    for (int i = 0; i < 50; ++i) {
      r = RunVrx({"run", kExamples + "/http_get.4dm", "http://" + host + ":" + std::to_string(port) + "/index.html"});
      if (r.status == 0) break;
      usleep(100000);
    }
    EXPECT_EQ(r.status, 0) << host << r.err;
    EXPECT_TRUE(Has(r.out, "HTTP/1.0 200 OK")) << host << r.out;
    EXPECT_TRUE(Has(r.out, "(28 bytes of body)")) << host << r.out;
  }
  CliResult r = Wait(server);
  EXPECT_TRUE(Has(r.out, "Served 2 request(s)")) << r.out;
}

namespace {

// Waits (up to 10 s) until a spawned program has written `word` on its output.
bool WaitForOutput(const Spawned& s, const std::string& word) {
  for (int i = 0; i < 100; ++i) {
    if (ReadAll(s.outFile).find(word) != std::string::npos) return true;
    usleep(100000);
  }
  return false;
}

}  // namespace

TEST(Examples, HttpJsonToAPythonServer) {
  REQUIRE_COMMANDS("VRX_OpenStream", "VRX_WaitStreamState", "VRX_SendText", "VRX_SendBlob",
                   "VRX_ReceiveText", "VRX_ReceiveBlob");
  TempDir py, pyIo;
  // Answers one POST: what it understood of the JSON it was sent, as UTF-8 JSON.
  py.Write("jsond.py",
           "import json, sys\n"
           "from http.server import BaseHTTPRequestHandler, HTTPServer\n"
           "class H(BaseHTTPRequestHandler):\n"
           "    def do_POST(self):\n"
           "        got = json.loads(self.rfile.read(int(self.headers['Content-Length'])).decode('utf-8'))\n"
           "        out = json.dumps({'hello': got['name'], 'count': len(got['items']), 'sum': sum(got['items']),\n"
           "                          'type': self.headers['Content-Type']}, ensure_ascii=False).encode('utf-8')\n"
           "        self.send_response(200)\n"
           "        self.send_header('Content-Type', 'application/json')\n"
           "        self.send_header('Content-Length', str(len(out)))\n"
           "        self.end_headers()\n"
           "        self.wfile.write(out)\n"
           "    def log_message(self, *a): pass\n"
           "s = HTTPServer(('127.0.0.1', int(sys.argv[1])), H)\n"
           "print('ready', flush=True)\n"
           "s.handle_request()\n");
  int port = FreePort();
  Spawned server = Spawn("/usr/bin/python3", {py.path + "/jsond.py", std::to_string(port)}, pyIo.path, 60);
  ASSERT_TRUE(WaitForOutput(server, "ready")) << ReadAll(server.errFile);
  CliResult r = RunVrx({"run", kExamples + "/http_json.4dm", "http://127.0.0.1:" + std::to_string(port) + "/api"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "HTTP/1.0 200 OK\nhello: VRX 日本語 😀\ncount: 3\nsum: 6\n"
                   "type: application/json; charset=utf-8\n");
  Wait(server);
}

TEST(Examples, MailSendToAiosmtpd) {
  REQUIRE_COMMANDS("VRX_OpenStream", "VRX_WaitStreamState", "VRX_SendText", "VRX_ReceiveText",
                   "VRX_EncodeBase64", "VRX_EncodeQuotedPrintable", "VRX_FormatDateHeader");
  TempDir py, io, mail;
  // Every byte value, and lines of the Base64 text that would begin with a dot.
  std::string attachment;
  for (int i = 0; i < 9000; ++i) attachment += char((i * 7 + i / 256) & 0xFF);
  mail.Write("data.bin", attachment);
  py.Write("smtpd.py",
           "import sys, time, os\n"
           "from aiosmtpd.controller import Controller\n"
           "port, out = int(sys.argv[1]), sys.argv[2]\n"
           "class Handler:\n"
           "    async def handle_DATA(self, server, session, envelope):\n"
           "        open(out + '.tmp', 'wb').write(envelope.content)\n"
           "        os.rename(out + '.tmp', out)\n"
           "        return '250 Message accepted'\n"
           "    async def handle_QUIT(self, server, session, envelope):\n"
           "        open(out + '.quit', 'w').close()\n"
           "        return '221 Bye'\n"
           "c = Controller(Handler(), hostname='127.0.0.1', port=port); c.start()\n"
           "print('ready', flush=True)\n"
           "for i in range(600):\n"
           "    if os.path.exists(out + '.quit'): break\n"
           "    time.sleep(0.1)\n"
           "time.sleep(0.2)\n"
           "c.stop()\n");
  py.Write("check.py",
           "import sys, email, email.policy\n"
           "m = email.message_from_bytes(open(sys.argv[1], 'rb').read(), policy=email.policy.default)\n"
           "text, attached = [p for p in m.iter_parts()]\n"
           "assert m['Subject'] == 'A message from VRX' and m['To'].addresses[0].addr_spec == 'you@example.com'\n"
           "assert text.get_content_charset() == 'iso-8859-1'\n"
           "body = text.get_content().replace('\\r\\n', '\\n')\n"
           "assert body.startswith('Grüße aus Köln!\\n\\nThis message was sent'), body[:40]\n"
           "assert '\\n.A line that begins with a dot.\\n' in body\n"
           "assert all(len(l) <= 76 for l in open(sys.argv[1], 'rb').read().split(b'\\r\\n'))\n"
           "assert attached.get_filename() == 'data.bin'\n"
           "assert attached.get_content() == open(sys.argv[2], 'rb').read()\n"
           "print('ok')\n");
  // The classic method and its rewrite in today's language send the same message.
  for (const char* example : {"/mail_send.4dm", "/mail_send_modern.4dm"}) {
    std::filesystem::remove(mail.path + "/mail.quit");
    TempDir serverIo;  // its own output, so that "ready" is this server's
    int port = FreePort();
    Spawned server = Spawn("/usr/bin/python3", {py.path + "/smtpd.py", std::to_string(port), mail.path + "/mail"},
                           serverIo.path, 90);
    ASSERT_TRUE(WaitForOutput(server, "ready")) << ReadAll(server.errFile);
    CliResult r = RunVrx({"run", kExamples + example, "127.0.0.1", std::to_string(port),
                          "me@example.com", "you@example.com", mail.path + "/data.bin"});
    EXPECT_EQ(r.status, 0) << example << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "Sent 9000 bytes attached as data.bin")) << example << r.out;
    EXPECT_TRUE(Has(r.out, "S: 221 Bye")) << example << r.out;
    Wait(server);
    TempDir checkIo;
    CliResult check = Wait(Spawn("/usr/bin/python3", {py.path + "/check.py", mail.path + "/mail", mail.path + "/data.bin"},
                                 checkIo.path, 30));
    EXPECT_EQ(check.out, "ok\n") << example << check.err;
  }
}

TEST(Examples, FtpGetFromPyftpdlib) {
  REQUIRE_COMMANDS("VRX_OpenStream", "VRX_WaitStreamState", "VRX_SendText", "VRX_ReceiveText",
                   "VRX_ReceiveBlob", "VRX_NewDigest", "VRX_UpdateDigestBlob", "VRX_FinishDigest");
  TempDir root, py, pyIo, out;
  std::string file;
  for (int i = 0; i < 200000; ++i) file += char((i * 131 + i / 97) & 0xFF);
  root.Write("data file.bin", file);
  py.Write("ftpd.py",
           "import sys\n"
           "from pyftpdlib.authorizers import DummyAuthorizer\n"
           "from pyftpdlib.handlers import FTPHandler\n"
           "from pyftpdlib.servers import FTPServer\n"
           "a = DummyAuthorizer(); a.add_user('vrx', 'se cret', sys.argv[2], perm='elr')\n"
           "FTPHandler.authorizer = a\n"
           "s = FTPServer(('127.0.0.1', int(sys.argv[1])), FTPHandler)\n"
           "print('ready', flush=True)\n"
           "s.serve_forever(timeout=1)\n");
  int port = FreePort();
  Spawned server = Spawn("/usr/bin/python3", {py.path + "/ftpd.py", std::to_string(port), root.path}, pyIo.path, 90);
  ASSERT_TRUE(WaitForOutput(server, "ready")) << ReadAll(server.errFile);
  CliResult r = RunVrx({"run", kExamples + "/ftp_get.4dm", "127.0.0.1", std::to_string(port), "vrx",
                        "se cret", "data file.bin", out.path + "/copy.bin"});
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_TRUE(Has(r.out, "C: PASS ****")) << r.out;  // the password is not shown
  EXPECT_NE(LineStarting(r.out, "Received 200000 bytes, MD5 ").size(), 0u) << r.out;
  EXPECT_TRUE(ReadAll(out.path + "/copy.bin") == file);
  // A file that is not there: the server's answer, exit 1.
  r = RunVrx({"run", kExamples + "/ftp_get.4dm", "127.0.0.1", std::to_string(port), "vrx", "se cret", "nothing"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("RETR nothing was answered 550"), std::string::npos) << r.err;
  kill(server.pid, SIGTERM);
  Wait(server);
}

TEST(Examples, TraceShowsEachCall) {
  REQUIRE_COMMANDS("VRX_EncodeBase64", "VRX_DecodeBase64");
  CliResult r = RunVrx({"run", "--trace", kExamples + "/codec_roundtrip.4dm"});
  ASSERT_EQ(r.status, 0) << r.err;
  // trace: process 1 codec_roundtrip:41  VRX_EncodeBase64("Gr\x9f..."; 1) -> "R3Kf..."  (2.1 us)
  std::string line = LineStarting(r.err, "trace: process 1 codec_roundtrip:");
  ASSERT_FALSE(line.empty()) << r.err;
  std::istringstream lines(r.err);
  bool encode = false;
  for (std::string l; std::getline(lines, l);) {
    if (l.find("VRX_EncodeBase64(\"") == std::string::npos) continue;
    encode = true;
    EXPECT_NE(l.find("; 1) -> \""), std::string::npos) << l;
    EXPECT_TRUE(EndsWith(l, " us)") || EndsWith(l, " ms)")) << l;
  }
  EXPECT_TRUE(encode) << r.err;
  EXPECT_EQ(r.out, RunVrx({"run", kExamples + "/codec_roundtrip.4dm"}).out);  // output unchanged
}

TEST(Examples, WebServerWantsItsFolder) {
  CliResult r = RunVrx({"run", kExamples + "/web_server.4dm"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("usage: vrx run examples/web_server.4dm FOLDER"), std::string::npos) << r.err;
}
