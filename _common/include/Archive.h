// Binary archives: the abstraction, its memory and stream forms, the primitives and the exception.
#pragma once

#include "ArchiveBase.h"
#include "ArchiveErrors.h"
#include "ArchiveException.h"
#include "ArchiveMemory.h"
#include "ArchivePrimitives.h"
#include "ArchiveStream.h"
