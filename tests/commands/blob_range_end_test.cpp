// The end of a blob range given as the blob's size, or beyond it, stops at the last byte:
// nothing past the blob reaches the file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/host.h"
#include "tests/support.h"

TEST(BlobRangeEnd, AnEndAtOrPastTheSizeStopsAtTheLastByte) {
  vrxtest::TempDir dir;
  host::Host h;
  host::Value blob = host::Value::Blob("0123456789"), p = host::Value::Text(dir / "out");
  for (int32_t last : {9, 10, 11, 1000}) {
    host::Value f = host::Value::Long(4), l = host::Value::Long(last), at = host::Value::Long(0);
    EXPECT_EQ(h.Call("VRX_BlobToFileAt", std::vector<host::Value*>{&blob, &p, &f, &l, &at}).value, 0);
    EXPECT_EQ(vrxtest::ReadFile(dir / "out"), "456789") << last;
  }
}
