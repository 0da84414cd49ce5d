// The LUT objects of the tone-curve component, as the program makes, loads and saves them. The program
// does not link the component: it creates the object by class identifier and talks to it through ILut.
#pragma once

#include <comdef.h>
#include <windows.h>

#include <cstdint>
#include <vector>

#include "zvkLUT_h.h"

using ILutPtr = _com_ptr_t<_com_IIID<ILut, &__uuidof(ILut)>>;
using ILutCtlPtr = _com_ptr_t<_com_IIID<ILutCtl, &__uuidof(ILutCtl)>>;

// A new LUT object in its default state: created for IUnknown with the in-process and local-server
// contexts, run, then asked for ILut. A failure other than E_NOINTERFACE is raised as _com_error
// (REGDB_E_CLASSNOTREG when the component is not registered); no object at all raises E_POINTER.
ILutPtr CreateLUTObject();

// What became of an object's persisted bytes.
struct LUTObjectLoad {
  ILutPtr object;                // set when the bytes were loaded
  HRESULT creationError = S_OK;  // the object could not be made (nothing was tried on the bytes)
  bool refused = false;          // made, but the bytes are not a LUT object it accepts
};

// Loads bytes written by SaveLUTObject (the class identifier, then the object's own record) into a new
// object. Raises nothing but a shortage of memory. Only the LUT class is ever instantiated: a different class
// identifier in the bytes is refused, so stored data cannot make the program load another component.
LUTObjectLoad LoadLUTObject(const std::vector<uint8_t>& bytes);

// The object as OleSaveToStream writes it. A failure is raised as _com_error.
std::vector<uint8_t> SaveLUTObject(ILut* object);
