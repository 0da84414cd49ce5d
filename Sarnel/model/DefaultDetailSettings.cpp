#include "DefaultDetailSettings.h"

namespace {

struct DefaultDetails {
  DetailsSchema schema;
  bool loaded = false;
};

DefaultDetails& Defaults() {
  static DefaultDetails defaults;
  return defaults;
}

}  // namespace

DetailsSchema& GetDefaultDetailSettings() {
  DefaultDetails& defaults = Defaults();
  if (!defaults.loaded) {
    try {
      defaults.schema.LoadDefaults();
      defaults.loaded = true;
    } catch (...) {
      // Not loaded: the next need tries again.
    }
  }
  return defaults.schema;
}

void SetDefaultDetailSettings(const DetailsSchema& settings) {
  DefaultDetails& defaults = Defaults();
  defaults.schema = settings;
  defaults.loaded = true;
  defaults.schema.SaveDefaults();
}
