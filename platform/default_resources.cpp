// The resources supplied with the plug-in: the character-set tables between Mac Roman and
// ISO-8859-1 and the string lists that name them by table number.
#include "platform/default_resources.h"

#include <array>
#include <cstdint>
#include <string>

#include "platform/services.h"

namespace platform {
namespace {

// Mac Roman -> ISO-8859-1 for bytes 0x80..0xFF (bytes below 0x80 are the same in both).
// Every character both sets contain maps to itself. The characters one set lacks are
// paired as below: the HTML entity table fixes eight pairs (Y and y acute, eth, thorn,
// the soft hyphen, the currency sign); the Windows-1252 meanings of the C1 controls and
// equal codes guide the rest. Mac Roman 0xDB was the currency sign before
// Mac OS 8.5 and the euro sign since; it pairs with ISO-8859-1 0xA4 either way.
//
//   Mac   Mac Roman          ISO   ISO-8859-1
//   0xA0  dagger             0xDD  Y acute
//   0xA5  bullet             0x95  C1 control (cp1252: bullet)
//   0xAA  trade mark         0x99  C1 control (cp1252: trade mark)
//   0xAD  not equal          0x80  C1 control (cp1252: euro sign)
//   0xB0  infinity           0x81  C1 control
//   0xB2  less or equal      0xB2  superscript 2
//   0xB3  greater or equal   0xB3  superscript 3
//   0xB6  partial diff.      0x86  C1 control (cp1252: dagger)
//   0xB7  summation          0x87  C1 control (cp1252: double dagger)
//   0xB8  product            0x8A  C1 control (cp1252: S with caron)
//   0xB9  pi                 0xB9  superscript 1
//   0xBA  integral           0x8B  C1 control (cp1252: left angle quote)
//   0xBD  Omega              0xBD  one half
//   0xC3  square root        0x8D  C1 control
//   0xC4  f with hook        0x83  C1 control (cp1252: f with hook)
//   0xC5  almost equal       0x8E  C1 control (cp1252: Z with caron)
//   0xC6  increment          0x8F  C1 control
//   0xC9  ellipsis           0x85  C1 control (cp1252: ellipsis)
//   0xCE  OE ligature        0x8C  C1 control (cp1252: OE ligature)
//   0xCF  oe ligature        0x9C  C1 control (cp1252: oe ligature)
//   0xD0  en dash            0xAD  soft hyphen
//   0xD1  em dash            0x97  C1 control (cp1252: em dash)
//   0xD2  left dbl quote     0x93  C1 control (cp1252: left dbl quote)
//   0xD3  right dbl quote    0x94  C1 control (cp1252: right dbl quote)
//   0xD4  left quote         0x91  C1 control (cp1252: left quote)
//   0xD5  right quote        0x92  C1 control (cp1252: right quote)
//   0xD7  lozenge            0xD7  multiplication
//   0xD9  Y diaeresis        0x9F  C1 control (cp1252: Y diaeresis)
//   0xDA  fraction slash     0x90  C1 control
//   0xDB  euro / currency    0xA4  currency sign
//   0xDC  left angle quote   0xD0  ETH
//   0xDD  right angle quote  0xF0  eth
//   0xDE  fi ligature        0xDE  THORN
//   0xDF  fl ligature        0xFE  thorn
//   0xE0  double dagger      0xFD  y acute
//   0xE2  low quote          0x82  C1 control (cp1252: low quote)
//   0xE3  low dbl quote      0x84  C1 control (cp1252: low dbl quote)
//   0xE4  per mille          0x89  C1 control (cp1252: per mille)
//   0xF0  Apple logo         0x96  C1 control (cp1252: en dash)
//   0xF5  dotless i          0x9A  C1 control (cp1252: s with caron)
//   0xF6  circumflex         0x88  C1 control (cp1252: circumflex)
//   0xF7  small tilde        0x98  C1 control (cp1252: small tilde)
//   0xF9  breve              0x9B  C1 control (cp1252: right angle quote)
//   0xFA  dot above          0x9D  C1 control
//   0xFB  ring above         0x9E  C1 control (cp1252: z with caron)
//   0xFD  double acute       0xA6  broken bar
//   0xFE  ogonek             0xBC  one quarter
//   0xFF  caron              0xBE  three quarters
constexpr uint8_t kMacToIsoHigh[128] = {
    0xC4, 0xC5, 0xC7, 0xC9, 0xD1, 0xD6, 0xDC, 0xE1,  // 0x80
    0xE0, 0xE2, 0xE4, 0xE3, 0xE5, 0xE7, 0xE9, 0xE8,  // 0x88
    0xEA, 0xEB, 0xED, 0xEC, 0xEE, 0xEF, 0xF1, 0xF3,  // 0x90
    0xF2, 0xF4, 0xF6, 0xF5, 0xFA, 0xF9, 0xFB, 0xFC,  // 0x98
    0xDD, 0xB0, 0xA2, 0xA3, 0xA7, 0x95, 0xB6, 0xDF,  // 0xA0
    0xAE, 0xA9, 0x99, 0xB4, 0xA8, 0x80, 0xC6, 0xD8,  // 0xA8
    0x81, 0xB1, 0xB2, 0xB3, 0xA5, 0xB5, 0x86, 0x87,  // 0xB0
    0x8A, 0xB9, 0x8B, 0xAA, 0xBA, 0xBD, 0xE6, 0xF8,  // 0xB8
    0xBF, 0xA1, 0xAC, 0x8D, 0x83, 0x8E, 0x8F, 0xAB,  // 0xC0
    0xBB, 0x85, 0xA0, 0xC0, 0xC3, 0xD5, 0x8C, 0x9C,  // 0xC8
    0xAD, 0x97, 0x93, 0x94, 0x91, 0x92, 0xF7, 0xD7,  // 0xD0
    0xFF, 0x9F, 0x90, 0xA4, 0xD0, 0xF0, 0xDE, 0xFE,  // 0xD8
    0xFD, 0xB7, 0x82, 0x84, 0x89, 0xC2, 0xCA, 0xC1,  // 0xE0
    0xCB, 0xC8, 0xCD, 0xCE, 0xCF, 0xCC, 0xD3, 0xD4,  // 0xE8
    0x96, 0xD2, 0xDA, 0xDB, 0xD9, 0x9A, 0x88, 0x98,  // 0xF0
    0xAF, 0x9B, 0x9D, 0x9E, 0xB8, 0xA6, 0xBC, 0xBE,  // 0xF8
};

constexpr std::array<uint8_t, 256> MacToIso() {
  std::array<uint8_t, 256> t{};
  for (int b = 0; b < 128; ++b) t[b] = uint8_t(b);
  for (int b = 0; b < 128; ++b) t[128 + b] = kMacToIsoHigh[b];
  return t;
}

constexpr std::array<uint8_t, 256> Inverse(const std::array<uint8_t, 256>& t) {
  std::array<uint8_t, 256> inv{};
  for (int b = 0; b < 256; ++b) inv[t[b]] = uint8_t(b);
  return inv;
}

constexpr bool IsBijective(const std::array<uint8_t, 256>& t) {
  bool seen[256] = {};
  for (uint8_t v : t) {
    if (seen[v]) return false;
    seen[v] = true;
  }
  return true;
}

constexpr std::array<uint8_t, 256> kMac2ISO = MacToIso();
constexpr std::array<uint8_t, 256> kISO2Mac = Inverse(kMac2ISO);
static_assert(IsBijective(kMac2ISO), "the two tables must be each other's inverse");
// Codes the HTML entity table relies on.
static_assert(kISO2Mac[0xDD] == 0xA0 && kISO2Mac[0xD0] == 0xDC && kISO2Mac[0xF0] == 0xDD &&
              kISO2Mac[0xDE] == 0xDE && kISO2Mac[0xFE] == 0xDF && kISO2Mac[0xFD] == 0xE0 &&
              kISO2Mac[0xAD] == 0xD0 && kISO2Mac[0xA4] == 0xDB);

}  // namespace

void InstallDefaultResources() {
  constexpr ResType kTable = MakeResType("VRXc");
  SetNamedResource(kTable, "ISO2Mac", kISO2Mac);
  SetNamedResource(kTable, "Mac2ISO", kMac2ISO);
  const std::string isoToMac[] = {"ISO2Mac"};
  const std::string macToIso[] = {"Mac2ISO"};
  SetStringList(15001, isoToMac);
  SetStringList(15002, macToIso);
}

}  // namespace platform
