#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "codecs/text_codecs.h"
#include "helpers.h"
#include "platform/services.h"

using codectest::OwnedText;

namespace {
const platform::ResType kVRXc = platform::MakeResType("VRXc");

std::vector<uint8_t> Table(int16_t list, int32_t number) {
  std::vector<uint8_t> t(256);
  if (!vrx::LoadCharTable(list, number, t.data())) return {};
  return t;
}

std::string Convert(std::string_view s, bool toIso, int32_t number) {
  OwnedText t(s);
  if (toIso)
    vrx::MacToISO(&t.t, number);
  else
    vrx::ISOToMac(&t.t, number);
  return t.Bytes();
}
}  // namespace

TEST(CharacterSets, DefaultTablesAreInversePairsThatKeepSharedCharacters) {
  std::vector<uint8_t> m2i = Table(vrx::kMacToIsoList, 1), i2m = Table(vrx::kIsoToMacList, 1);
  ASSERT_EQ(m2i.size(), 256u);
  ASSERT_EQ(i2m.size(), 256u);
  for (int b = 0; b < 256; ++b) {
    EXPECT_EQ(i2m[m2i[b]], b);
    EXPECT_EQ(m2i[i2m[b]], b);
  }
  // Python's mac_roman codec: every Mac Roman character that ISO-8859-1 also has maps to
  // its ISO-8859-1 code. The script prints "mac iso" for those, "mac -" for the others.
  bool ok = false;
  std::string out = codectest::RunPython(
      "out = []\n"
      "for b in range(256):\n"
      "    c = bytes([b]).decode('mac_roman')\n"
      "    try: out.append('%d %d' % (b, c.encode('latin-1')[0]))\n"
      "    except UnicodeEncodeError: out.append('%d -' % b)\n"
      "open(sys.argv[2], 'w').write('\\n'.join(out))\n",
      "", &ok);
  ASSERT_TRUE(ok);
  std::istringstream lines(out);
  int shared = 0, mac = 0;
  std::string iso;
  while (lines >> mac >> iso) {
    if (iso == "-") continue;
    EXPECT_EQ(m2i[mac], std::stoi(iso)) << "Mac Roman " << mac;
    ++shared;
  }
  EXPECT_EQ(shared, 208);
}

TEST(CharacterSets, EntityTableAgreesWithTheTablesAndPythonsEntityNames) {
  bool ok = false;
  std::string out = codectest::RunPython(
      "import html.entities\n"
      "open(sys.argv[2], 'w').write('\\n'.join('%s %d' % kv for kv in "
      "html.entities.name2codepoint.items()))\n",
      "", &ok);
  ASSERT_TRUE(ok);
  std::map<std::string, int> codepoint;
  std::istringstream lines(out);
  std::string name;
  int cp;
  while (lines >> name >> cp) codepoint[name] = cp;
  std::vector<uint8_t> i2m = Table(vrx::kIsoToMacList, 1);
  std::vector<uint8_t> seen(256);
  for (const vrx::HtmlEntity& e : vrx::kHtmlEntities) {
    std::string n(e.name.substr(1, e.name.size() - 2));
    ASSERT_TRUE(codepoint.count(n)) << n;
    if (!e.decodeOnly) {
      EXPECT_EQ(seen[e.mac]++, 0) << "two entities for one byte: " << n;
    }
    // Decoder-only stand-ins: broken bar as "|", times as "x"; the euro has no ISO code.
    if (n == "brvbar" || n == "times" || n == "euro") continue;
    ASSERT_LE(codepoint[n], 255) << n;
    EXPECT_EQ(e.mac, i2m[codepoint[n]]) << n;
  }
}

TEST(CharacterSets, TableNumbersAndStringLists) {
  struct Restore {
    ~Restore() { platform::ResetResources(); }
  } restore;
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(char(b));
  std::string iso = Convert(all, true, 1);
  EXPECT_EQ(Convert(all, true, 0), iso);
  EXPECT_EQ(Convert(all, true, -7), iso);
  EXPECT_EQ(Convert(iso, false, 1), all);
  EXPECT_EQ(Convert("", true, 1), "");
  EXPECT_EQ(Convert("\x8E", true, 1), "\xE9");
  // Entry 2 does not exist: its empty name means the default table.
  EXPECT_EQ(Convert(all, true, 2), iso);
  // A list naming an identity table and a table that does not exist.
  std::vector<uint8_t> identity(256);
  for (int b = 0; b < 256; ++b) identity[b] = uint8_t(b);
  platform::SetNamedResource(kVRXc, "Same", identity);
  const std::string names[] = {"Mac2ISO", "Same", "Nowhere"};
  platform::SetStringList(vrx::kMacToIsoList, names);
  EXPECT_EQ(Convert(all, true, 2), all);
  EXPECT_EQ(Convert(all, true, 3), all);  // no fallback to the default table
  // A resource too short to be a table is not used.
  platform::SetNamedResource(kVRXc, "Same", std::vector<uint8_t>(100, 'z'));
  EXPECT_EQ(Convert(all, true, 2), all);
  platform::RemoveStringList(vrx::kMacToIsoList);
  EXPECT_EQ(Convert(all, true, 1), iso);
  platform::RemoveNamedResource(kVRXc, "Mac2ISO");
  EXPECT_EQ(Convert(all, true, 1), all);
  platform::ResetResources();
  EXPECT_EQ(Convert(all, true, 1), iso);
}

TEST(CharacterSets, Rot13) {
  std::string s = "Hello, World \x8E\xFFz";
  for (char& c : s) c = char(vrx::Rot13Byte(uint8_t(c)));
  EXPECT_EQ(s, "Uryyb, Jbeyq \x8E\xFFm");
  for (int b = 0; b < 256; ++b) EXPECT_EQ(vrx::Rot13Byte(vrx::Rot13Byte(uint8_t(b))), b);
  // Every byte value in every place of a short text, which goes through words.
  for (int b = 0; b < 256; ++b) {
    uint8_t in[13], out[13];
    for (int i = 0; i < 13; ++i) in[i] = uint8_t(b + 19 * i);
    vrx::Rot13Bytes(in, 13, out);
    for (int i = 0; i < 13; ++i) ASSERT_EQ(out[i], vrx::Rot13Byte(in[i])) << b << " " << i;
  }
  // Every length around the block sizes, into another buffer and in place, with guard
  // bytes on either side that must stay as they are.
  for (size_t n = 0; n <= 50; ++n) {
    std::string in(n + 2, '#'), out(n + 2, '#');
    for (size_t i = 0; i < n; ++i) in[i + 1] = char("azAZmnMN09\xE9"[i % 11] + (i / 11) % 3);
    std::string expect = in;
    for (size_t i = 1; i <= n; ++i) expect[i] = char(vrx::Rot13Byte(uint8_t(in[i])));
    auto at = [](std::string& s) { return reinterpret_cast<uint8_t*>(s.data()) + 1; };
    vrx::Rot13Bytes(at(in), n, at(out));
    expect.front() = expect.back() = '#';
    EXPECT_EQ(out, expect) << n;
    vrx::Rot13Bytes(at(in), n, at(in));
    EXPECT_EQ(in, expect) << n;
  }
}
