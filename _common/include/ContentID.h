// Identifiers made from content: the same bytes always give the same identifier.
#pragma once

#include "MD5.h"
#include "ObjectID.h"

// The 16 digest bytes read in memory order as a GUID, then the identifier conversion.
CObjectID ContentIDFromDigest(const MD5Digest& digest);
