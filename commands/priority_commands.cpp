// Process priority classes: the Windows classes stand for nice values of the process.
#include "commands/handlers.h"
#include <errno.h>
#include <sys/resource.h>


namespace vrx {

namespace {
struct PriorityClass {
  int32_t value;
  int nice;
};
constexpr PriorityClass kClasses[] = {
    {0x40, 19}, {0x4000, 10}, {0x20, 0}, {0x8000, -5}, {0x80, -10}, {0x100, -20}};
constexpr int32_t kErrorInvalidParameter = 87;
constexpr int32_t kErrorAccessDenied = 5;
}  // namespace

void SetPriorityClassCommand(const Call& c) {
  for (const PriorityClass& k : kClasses) {
    if (k.value != c.Long(1)) continue;
    if (setpriority(PRIO_PROCESS, 0, k.nice) != 0) return c.ResultLong(kErrorAccessDenied);
    return c.ResultLong(0);
  }
  c.ResultLong(kErrorInvalidParameter);
}

void GetPriorityClassCommand(const Call& c) {
  errno = 0;
  int nice = getpriority(PRIO_PROCESS, 0);
  if (nice == -1 && errno != 0) return c.ResultLong(0);
  // The class whose nice value is nearest.
  int32_t best = 0x20;
  int bestDistance = 100;
  for (const PriorityClass& k : kClasses) {
    int d = nice > k.nice ? nice - k.nice : k.nice - nice;
    if (d < bestDistance) best = k.value, bestDistance = d;
  }
  c.ResultLong(best);
}

}  // namespace vrx
