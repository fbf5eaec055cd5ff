// A verifying client that opens an IPv6 address checks it against the IP addresses of
// the server's certificate, as it does an IPv4 one: openssl s_server on ::1.
#include <gtest/gtest.h>

#include "tests/net/ssl/ssl_support.h"

namespace {

using namespace ssltest;

struct Ipv6Certificates {
  fs::path dir;
  std::string ca, key, forIpv6, forIpv4;
  bool ok = false;
};

const Ipv6Certificates& Certs() {
  static Ipv6Certificates c = [] {
    Ipv6Certificates c;
    c.dir = fs::temp_directory_path() / ("vrx-tls6-" + std::to_string(getpid()));
    fs::create_directories(c.dir);
    auto at = [&](const char* name) { return (c.dir / name).string(); };
    c.ca = at("ca.crt"), c.key = at("server.key"), c.forIpv6 = at("v6.crt"), c.forIpv4 = at("v4.crt");
    const std::string ec = "-newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes ";
    const std::string sign = "openssl x509 -req -in server.csr -CA ca.crt -CAkey ca.key -CAcreateserial -days 2 ";
    std::string cmd = "cd '" + c.dir.string() + "' && "
        "openssl req -x509 " + ec + "-keyout ca.key -out ca.crt -days 2 -subj /CN=VRX-test-CA6 -batch && "
        "openssl req " + ec + "-keyout server.key -out server.csr -subj /CN=server -batch && "
        "printf 'subjectAltName=IP:::1\\n' > v6.ext && printf 'subjectAltName=IP:127.0.0.1\\n' > v4.ext && "
        + sign + "-extfile v6.ext -out v6.crt && " + sign + "-extfile v4.ext -out v4.crt";
    c.ok = std::system(("(" + cmd + ") >/dev/null 2>&1").c_str()) == 0;
    return c;
  }();
  return c;
}

// s_server on ::1 presenting `cert`; *port is 0 when it did not start.
Child ServeOnIpv6(const std::string& cert, uint16_t* port) {
  Child c = Spawn({"/usr/bin/openssl", "s_server", "-accept", "[::1]:0", "-naccept", "1", "-cert", cert, "-key",
                   Certs().key});
  *port = 0;
  for (int i = 0; i < 20 && *port == 0; ++i) {
    std::string line = ReadLine(c.out);
    if (line.empty()) break;
    if (line.rfind("ACCEPT ", 0) == 0) *port = uint16_t(std::atoi(line.substr(line.rfind(':') + 1).c_str()));
  }
  return c;
}

TEST(Ipv6Verify, TheAddressIsCheckedAgainstTheCertificate) {
  ASSERT_TRUE(Certs().ok) << "the openssl command could not make test certificates";
  struct Row {
    const std::string* cert;
    const char* host;
    int32_t state;
  } rows[] = {
      {&Certs().forIpv6, "::1", 8},
      {&Certs().forIpv6, "[::1]", 8},
      {&Certs().forIpv4, "::1", 20},  // a certificate for another address is refused
  };
  Host h;
  Value ca = Value::Text(Certs().ca);
  ASSERT_EQ(CallLong(h, "VRX_SetTrustedCertificates", {&ca}), 0);
  for (const Row& r : rows) {
    uint16_t port = 0;
    Child server = ServeOnIpv6(*r.cert, &port);
    if (port == 0) {
      server.Stop();
      GTEST_SKIP() << "openssl s_server cannot listen on ::1 here";
    }
    int32_t ref = SslOpen(h, r.host, port, 1024 + 4096);
    ASSERT_GT(ref, 0) << r.host;
    EXPECT_EQ(AwaitState(h, ref, 8), r.state) << r.host;
    if (r.state == 20) {
      auto [code, text] = SslError(h, ref);
      EXPECT_NE(text.find("IP address mismatch"), std::string::npos) << text;
    }
    EXPECT_EQ(Release(h, ref), 0);
    server.Stop();
  }
  std::error_code ec;
  fs::remove_all(Certs().dir, ec);
}

}  // namespace
