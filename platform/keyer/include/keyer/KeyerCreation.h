// The keyer library's one way to create its objects: by class identifier, through the library's
// own class factory, without any registry entry.
#pragma once

#include <windows.h>
#include <unknwn.h>

// Creates an object of the class as IUnknown. CLASS_E_CLASSNOTAVAILABLE for a class the library
// does not have; *object is null on any failure.
HRESULT CreateKeyerObject(REFCLSID clsid, IUnknown** object);
// The library's class factory for the class, as DllGetClassObject would give it.
HRESULT GetKeyerClassObject(REFCLSID clsid, REFIID iid, void** factory);

// Test seams. A failure code other than S_OK makes every creation fail with it until S_OK is set
// again. A folder other than null replaces the local application-data folder's
// "Corvanith\Pellorin\Keyer" for state files.
void SetKeyerCreationFailure(HRESULT failure);
void SetKeyerStateFolder(const char* folder);
