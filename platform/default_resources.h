// The resources supplied with the plug-in, installed at start and by ResetResources.
#pragma once

namespace platform {
void InstallDefaultResources();
}
