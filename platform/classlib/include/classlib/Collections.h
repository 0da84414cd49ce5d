// Growable arrays and hash maps.
#pragma once

#include "classlib/Array.h"
#include "classlib/Map.h"
