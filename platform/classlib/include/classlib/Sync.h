// Synchronisation objects and the locks that wait on them.
#pragma once

#include "classlib/SyncObject.h"
#include "classlib/Event.h"
#include "classlib/CriticalSection.h"
#include "classlib/Semaphore.h"
#include "classlib/Mutex.h"
#include "classlib/SingleLock.h"
#include "classlib/MultiLock.h"
