#include "WindowState.h"

#include <cstring>
#include <memory>

namespace {
constexpr const char* Section = "Window State";
}  // namespace

void WindowState::Load() {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return;
  BYTE* data = nullptr;
  UINT bytes = 0;
  app->GetProfileBinary(Section, "MainPlacement", &data, &bytes);
  std::unique_ptr<BYTE[]> owned(data);
  if (data != nullptr && bytes == sizeof(placement))
    std::memcpy(&placement, data, sizeof(placement));
  else
    placement = WINDOWPLACEMENT{};
  lastMode = static_cast<int>(app->GetProfileInt(Section, "LastMode", lastMode));
}

void WindowState::Save() const {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return;
  WINDOWPLACEMENT copy = placement;
  app->WriteProfileBinary(Section, "MainPlacement", reinterpret_cast<BYTE*>(&copy), sizeof(copy));
  if (lastMode != -1) app->WriteProfileInt(Section, "LastMode", lastMode);
}

WindowState& GetWindowState() {
  static WindowState state;
  return state;
}
