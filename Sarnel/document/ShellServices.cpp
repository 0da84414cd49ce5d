#include "ShellServices.h"

namespace {

ShellServices* installed = nullptr;

}  // namespace

ShellServices* GetShellServices() { return installed; }

void SetShellServices(ShellServices* services) { installed = services; }
