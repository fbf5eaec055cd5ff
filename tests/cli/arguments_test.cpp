// The edges of `vrx call`'s argument conversions: the last value each kind holds is
// taken, the first one past it is refused with exit status 2.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "tests/support.h"

namespace {

int VrxStatus(const std::string& args) {
  int status = -1;
  vrxtest::Shell(std::string(VRX_CLI_PATH) + " call " + args + " > /dev/null 2>&1", &status);
  return status;
}

TEST(CliArguments, LimitsOfEachKind) {
  const std::string send = "VRX_SendText long:0 text:x ";
  EXPECT_EQ(VrxStatus(send + "int:32767 long:0"), 0);
  EXPECT_EQ(VrxStatus(send + "int:-32768 long:0"), 0);
  EXPECT_EQ(VrxStatus(send + "int:32768 long:0"), 2);
  EXPECT_EQ(VrxStatus(send + "int:-32769 long:0"), 2);

  const std::string receive = "VRX_ReceiveText long:0 text: int:0 long:0 long:0 ";
  EXPECT_EQ(VrxStatus(receive + "string:" + std::string(255, 'd') + " long:0"), 0);
  EXPECT_EQ(VrxStatus(receive + "string:" + std::string(256, 'd') + " long:0"), 2);
  EXPECT_EQ(VrxStatus(receive + "string%" + std::string(510, 'a') + " long:0"), 0);
  EXPECT_EQ(VrxStatus(receive + "string%" + std::string(512, 'a') + " long:0"), 2);

  EXPECT_EQ(VrxStatus("VRX_DetachBlob blob%6a6b long:0"), 0);
  EXPECT_EQ(VrxStatus("VRX_DetachBlob blob%6a6 long:0"), 2);
  EXPECT_EQ(VrxStatus("VRX_DetachBlob blob%6x long:0"), 2);
  EXPECT_EQ(VrxStatus("VRX_DetachBlob blob%-1 long:0"), 2);
}

TEST(CliArguments, CalendarDates) {
  for (const char* date : {"2024-02-29", "2023-02-28", "2000-02-29", "2023-12-31", "2023-04-30", "0000-00-00"})
    EXPECT_EQ(VrxStatus(std::string("VRX_DateToSeconds date:") + date + " time:0 long:0"), 0) << date;
  for (const char* date : {"2023-02-29", "1900-02-29", "2023-04-31", "2023-00-10", "2023-01-32", "2023-1-01"})
    EXPECT_EQ(VrxStatus(std::string("VRX_DateToSeconds date:") + date + " time:0 long:0"), 2) << date;
}

}  // namespace
