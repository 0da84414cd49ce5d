// The modal loop is part of the layer's public surface.
#pragma once

#include "classlib/ModalLoop.h"
