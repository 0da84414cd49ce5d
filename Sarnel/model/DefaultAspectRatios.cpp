#include "DefaultAspectRatios.h"

namespace {

struct DefaultRecord {
  DefaultRecord() { ratios.SetDefaults(); }
  AspectRatios ratios;
  bool loaded = false;
};

DefaultRecord& Defaults() {
  static DefaultRecord record;
  return record;
}

}  // namespace

AspectRatios& GetDefaultAspectRatios() {
  DefaultRecord& record = Defaults();
  if (!record.loaded) {
    try {
      record.loaded = record.ratios.LoadFromProfile();
    } catch (CException* e) {
      e->Delete();
    } catch (...) {
      // The built-in values stay; the profile is tried again next time.
    }
  }
  return record.ratios;
}

bool SetDefaultAspectRatios(const AspectRatios& source) {
  DefaultRecord& record = Defaults();
  record.ratios = source;
  // The user's values stand from now on, even when they could not be stored: a later read must not
  // load the profile over them.
  record.loaded = true;
  return record.ratios.SaveToProfile();
}
