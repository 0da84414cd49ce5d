// Everything a server of the kit includes.
#pragma once

#include "comserver/ComBSTR.h"
#include "comserver/ComClassFactory.h"
#include "comserver/ComConnectionPoint.h"
#include "comserver/ComEnum.h"
#include "comserver/ComModule.h"
#include "comserver/ComObject.h"
#include "comserver/ComObjectRoot.h"
#include "comserver/ComPtr.h"
#include "comserver/ComVariant.h"
#include "comserver/CriticalSection.h"
#include "comserver/DispatchImpl.h"
#include "comserver/GuardedCall.h"
#include "comserver/PersistStreamInitImpl.h"
#include "comserver/RegKey.h"
#include "comserver/Registrar.h"
#include "comserver/StreamIo.h"
