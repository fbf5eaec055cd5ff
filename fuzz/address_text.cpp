// Addresses given as text, of either family, in brackets or not: no input upsets the
// reading, and an address read gives a text that reads back to the same address and the
// same IPv4 number.
#include "fuzz_support.h"
#include "net/address.h"
#include "net/layer.h"

using namespace vrx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input input{data, size};
  const uint16_t port = input.U16();
  const std::string text(input.Rest());
  SocketAddress a;
  if (!ParseAddressLiteral(text, port, &a)) return 0;
  fuzz::Check(a.Family() == AF_INET || a.Family() == AF_INET6, "an address of another family", text);
  fuzz::Check(a.Port() == port, "the port was lost", text);
  const std::string shown = a.Text();
  SocketAddress again;
  fuzz::Check(ParseAddressLiteral(shown, port, &again), "the text given does not read back", shown);
  fuzz::Check(again.Text() == shown, "the text reads back differently", shown);
  fuzz::Check(again.Ipv4Number() == a.Ipv4Number(), "the IPv4 number changed", shown);
  fuzz::Check(again.IsIpv4() == a.IsIpv4(), "the family changed", shown);
  fuzz::Check(a.IsIpv4() || a.Ipv4Number() == 0, "an IPv6 address with a number", shown);
  fuzz::Check(ParseAddressLiteral("[" + shown + "]", port, &again) && again.Text() == shown,
              "the address in brackets reads differently", shown);
  // The connect order keeps every address it can use, once.
  std::vector<SocketAddress> order = AttemptOrder({a, a}, LocalBinding{});
  fuzz::Check(order.size() <= 2, "addresses made up", shown);
  return 0;
}
