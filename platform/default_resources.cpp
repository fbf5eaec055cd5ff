#include "platform/default_resources.h"

#include "platform/services.h"

namespace platform {
void InstallDefaultResources() {}
}  // namespace platform
