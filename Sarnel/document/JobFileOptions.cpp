#include "JobFileOptions.h"

JobFileOptions& GetJobFileOptions() {
  static JobFileOptions options;
  return options;
}
