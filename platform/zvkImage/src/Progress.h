// Reports how far a load or save has come: done of total steps.
#pragma once

#include <functional>

namespace zvkImage {

using ProgressFn = std::function<void(long done, long total)>;

}  // namespace zvkImage
