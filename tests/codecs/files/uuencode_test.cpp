#include "codecs/uuencode.h"

#include "helpers.h"

using namespace fctest;

namespace {

struct UuTest : ::testing::Test {
  TempDir dir;
  host::Host h;
  std::string EncodeText(const std::string& s) {
    return Call(h, "VRX_UuencodeText", {host::Value::String(s)}).bytes;
  }
  std::string DecodeText(const std::string& s) {
    return Call(h, "VRX_UudecodeText", {host::Value::String(s)}).bytes;
  }
  int32_t EncodeFile(const std::string& src, const std::string& dst, const std::string& name) {
    return Call(h, "VRX_UuencodeFile",
                {host::Value::Text(src), host::Value::Text(dst), host::Value::Text(name)})
        .value;
  }
  int32_t DecodeFile(const std::string& src, const std::string& dst) {
    return Call(h, "VRX_UudecodeFile", {host::Value::Text(src), host::Value::Text(dst)}).value;
  }
};

std::string Lf(std::string s) {
  for (char& c : s)
    if (c == '\r') c = '\n';
  return s;
}

}  // namespace

TEST_F(UuTest, TextLines) {
  EXPECT_EQ(EncodeText("Cat"), "#0V%T\r");
  std::string full = EncodeText(std::string(45, 'a'));
  EXPECT_EQ(full.size(), 62u);
  EXPECT_EQ(full[0], 'M');
  std::string two = EncodeText(std::string(46, 'a'));
  EXPECT_EQ(two.substr(62), "!80``\r");
  EXPECT_EQ(EncodeText(std::string(180, 'x')).size(), 248u);
  EXPECT_EQ(EncodeText(std::string(181, 'x')), "");
  std::string zeros = EncodeText(std::string(3, '\0'));
  EXPECT_EQ(zeros, "#````\r");  // no spaces in a line

  // Same characters as Python's binascii with backquotes, line by line.
  std::mt19937 rng(1);
  std::string data = RandomBytes(rng, 180);
  WriteFile(dir / "d", data);
  std::string py = Shell(
      "python3 -c \"import binascii,sys; d=open(sys.argv[1],'rb').read(); "
      "sys.stdout.buffer.write(b''.join(binascii.b2a_uu(d[i:i+45], backtick=True) "
      "for i in range(0, len(d), 45)))\" " + dir / "d");
  EXPECT_EQ(Lf(EncodeText(data)), py);
}

TEST_F(UuTest, TextDecoding) {
  std::mt19937 rng(2);
  for (size_t n : {0, 1, 2, 3, 44, 45, 46, 90, 100, 180}) {
    std::string data = RandomBytes(rng, n);
    EXPECT_EQ(DecodeText(EncodeText(data)), data) << n;
  }
  EXPECT_EQ(DecodeText("#0V%T\r"), "Cat");
  EXPECT_EQ(DecodeText("#    \r"), std::string(3, '\0'));  // spaces read as zeros
  EXPECT_EQ(DecodeText("#````\r"), std::string(3, '\0'));
  EXPECT_EQ(DecodeText("#0V%T\r`\r"), "Cat");  // a backquote line is an empty line
  // A short last group counts as zeros; the line's count decides the length.
  EXPECT_EQ(DecodeText("%0V%T86\r"), "Cata`");
  // Format errors give an empty result.
  EXPECT_EQ(DecodeText("#0V%T\r\n"), "");     // CR LF
  EXPECT_EQ(DecodeText("#0V%T"), "");         // no line end
  EXPECT_EQ(DecodeText("#0v%T\r"), "");       // lower case is outside the alphabet
  EXPECT_EQ(DecodeText("]0V%T\r"), "");       // a count of 61
  EXPECT_EQ(DecodeText("%0V%T86\r#0V%T\r"), "");  // data after a cut line
  // Lines with counts that are not multiples of 3 keep their bytes together.
  std::string a = EncodeText("ab"), b = EncodeText("cde");
  EXPECT_EQ(DecodeText(a + b), "abcde");
  // A count that owes far more than the input holds: bounded, cut at 255.
  std::string many;
  for (int i = 0; i < 100; ++i) many += "\\\r";
  EXPECT_EQ(DecodeText(many).size(), 255u);
  // Random lines from the alphabet, line ends and a few other bytes: bounded results.
  const std::string pool = "\r\r\n `!#M]^_0aZ\x7f\x90";
  for (int i = 0; i < 2000; ++i) {
    std::string text(rng() % 256, ' ');
    for (char& c : text) c = rng() % 3 ? char(32 + rng() % 64) : pool[rng() % pool.size()];
    std::string out;
    if (vrx::UudecodeLines(text, &out)) {
      EXPECT_LE(out.size(), text.size() * 30);
    }
  }
}

TEST_F(UuTest, FileForm) {
  std::mt19937 rng(3);
  std::string data = RandomBytes(rng, 100);
  WriteFile(dir / "src", data);
  ASSERT_EQ(EncodeFile(dir / "src", dir / "src.uu", "pic.gif"), 0);
  std::string text = ReadFile(dir / "src.uu");
  std::vector<std::string> lines;
  for (size_t at = 0, cr; (cr = text.find('\r', at)) != std::string::npos; at = cr + 1)
    lines.push_back(text.substr(at, cr - at));
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[1], "begin 700 pic.gif");
  EXPECT_EQ(lines[2][0], 'M');
  EXPECT_EQ(lines[3][0], 'M');
  EXPECT_EQ(lines[4][0], '*');
  EXPECT_EQ(lines[5], "`");
  EXPECT_EQ(lines[6], "end");
  EXPECT_EQ(text.back(), '\r');
  ASSERT_EQ(DecodeFile(dir / "src.uu", dir / "back"), 0);
  EXPECT_EQ(ReadFile(dir / "back"), data);
  // The target is replaced.
  WriteFile(dir / "back", std::string(5000, 'z'));
  ASSERT_EQ(DecodeFile(dir / "src.uu", dir / "back"), 0);
  EXPECT_EQ(ReadFile(dir / "back"), data);
}

// Both ways with sharutils and Python: their LF files decode here, ours decode there once
// the host's CR line ends are turned into LF.
TEST_F(UuTest, InteroperatesWithSharutilsAndPython) {
  std::mt19937 rng(4);
  for (size_t n : {0, 1, 44, 45, 46, 1000, 70000}) {
    std::string data = RandomBytes(rng, n);
    WriteFile(dir / "src", data);
    int status = -1;
    Shell("cd " + dir.path.string() + " && uuencode src name > gnu.uu", &status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(DecodeFile(dir / "gnu.uu", dir / "fromgnu"), 0);
    EXPECT_EQ(ReadFile(dir / "fromgnu"), data) << n;
    // CR LF line ends, and text around the block as in a mail.
    std::string crlf;
    for (char c : ReadFile(dir / "gnu.uu")) c == '\n' ? crlf += "\r\n" : crlf += c;
    WriteFile(dir / "mail.uu", "From: a\r\nSubject: to begin with\r\n\r\n" + crlf + "-- \r\nsig\r\n");
    ASSERT_EQ(DecodeFile(dir / "mail.uu", dir / "frommail"), 0);
    EXPECT_EQ(ReadFile(dir / "frommail"), data) << n;

    ASSERT_EQ(EncodeFile(dir / "src", dir / "ours.uu", "name"), 0);
    WriteFile(dir / "ours-lf.uu", Lf(ReadFile(dir / "ours.uu")));
    Shell("cd " + dir.path.string() + " && uudecode -o fromours ours-lf.uu", &status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(ReadFile(dir / "fromours"), data) << n;
  }
  // Python's lines with spaces for zeros.
  std::string data = std::string(50, '\0') + "tail";
  WriteFile(dir / "src", data);
  Shell("python3 -c \"import binascii,sys; d=open(sys.argv[1],'rb').read(); "
      "o=open(sys.argv[2],'wb'); o.write(b'begin 644 x\\n'); "
      "[o.write(binascii.b2a_uu(d[i:i+45])) for i in range(0,len(d),45)]; o.write(b' \\nend\\n')\" " +
      dir / "src " + dir / "py.uu");
  ASSERT_NE(ReadFile(dir / "py.uu").find("M   "), std::string::npos);
  ASSERT_EQ(DecodeFile(dir / "py.uu", dir / "frompy"), 0);
  EXPECT_EQ(ReadFile(dir / "frompy"), data);
}

TEST_F(UuTest, FileErrorsAndHostileInput) {
  WriteFile(dir / "src", "abc");
  // No source: nothing is made. No target folder: an error, even with no data lines.
  EXPECT_EQ(EncodeFile(dir / "missing", dir / "t1", "x"), 2);
  EXPECT_FALSE(Exists(dir / "t1"));
  EXPECT_EQ(EncodeFile(dir / "src", dir / "nofolder/t", "x"), 3);
  EXPECT_EQ(DecodeFile(dir / "missing", dir / "t2"), 2);
  EXPECT_EQ(DecodeFile(dir / "src", dir / "nofolder/t"), 3);
  EXPECT_EQ(EncodeFile(dir.path.string(), dir / "t3", "x"), 5);  // a folder
  // Paths of 255 bytes and more are no paths.
  EXPECT_NE(EncodeFile(dir / std::string(300, 'p'), dir / "t4", "x"), 0);
  // No "begin " line: an empty target and 0.
  WriteFile(dir / "plain", "no data here\nbegin\nbeginx 644 y\n");
  EXPECT_EQ(DecodeFile(dir / "plain", dir / "t5"), 0);
  EXPECT_TRUE(Exists(dir / "t5"));
  EXPECT_EQ(ReadFile(dir / "t5"), "");
  // Lines after "end" are not data.
  WriteFile(dir / "two", "begin 644 a\n#0V%T\n`\nend\n#0V%T\n");
  EXPECT_EQ(DecodeFile(dir / "two", dir / "t6"), 0);
  EXPECT_EQ(ReadFile(dir / "t6"), "Cat");
  // A target that takes no bytes: -1 for encoded lines, the system's code when decoding.
  EXPECT_EQ(EncodeFile(dir / "src", "/dev/full", "x"), -1);
  EXPECT_EQ(DecodeFile(dir / "two", "/dev/full"), 112);
  // The same when the target fills up in the middle of a long file.
  std::mt19937 big(6);
  WriteFile(dir / "big", RandomBytes(big, 200000));
  ASSERT_EQ(EncodeFile(dir / "big", dir / "big.uu", "b"), 0);
  EXPECT_EQ(EncodeFile(dir / "big", "/dev/full", "b"), -1);
  EXPECT_EQ(DecodeFile(dir / "big.uu", "/dev/full"), 112);
  // Garbage, huge lines and no line ends after the begin line: skipped, bounded.
  std::mt19937 rng(5);
  std::string junk = "begin 644 j\n" + RandomBytes(rng, 200000) + "\n" + std::string(100000, 'M') +
                     "\n#0V%T\n";
  WriteFile(dir / "junk", junk);
  EXPECT_EQ(DecodeFile(dir / "junk", dir / "t7"), 0);
  std::string got = ReadFile(dir / "t7");
  EXPECT_EQ(got.substr(got.size() - 3), "Cat");
}
