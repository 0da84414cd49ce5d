#include "keyer/KeyerStateFiles.h"

#include <new>

#include "KeyerStateStore.h"
#include "keyer/StateFormat.h"

std::shared_ptr<const keyer::KeyerState> ReadKeyerStateFile(const char* path) {
  if (!path || !*path) return nullptr;
  try {
    std::vector<uint8_t> bytes = KeyerStateStore::Load(path);
    return keyer::KeyerState::Parse(bytes.data(), bytes.size());
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception&) {
    return nullptr;
  }
}
