#include "ClassFactory.h"

#include <atomic>
#include <new>

#include <zvkImage/CreationFailure.h>
#include <zvkImage/zvkImage.h>

#include "BitmapObject.h"
#include "FileReaderObject.h"
#include "ImageLibrary.h"
#include "PictureObject.h"

namespace zvkImage {
namespace {

std::atomic<HRESULT> creationFailure{S_OK};
std::atomic<long> creationsBeforeFailure{0};
ClassFactory bitmapFactory(CLSID_Bitmap);
ClassFactory readerFactory(CLSID_FileReader);
ClassFactory pictureFactory(CLSID_Picture);

}  // namespace

BitmapObject* NewBitmapObject() { return new (std::nothrow) BitmapObject(); }

HRESULT ClassFactory::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IClassFactory) {
    *object = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  const HRESULT failure = creationFailure.load();
  if (failure != S_OK && creationsBeforeFailure.fetch_sub(1) <= 0) return failure;
  IUnknown* made = nullptr;
  if (clsid_ == CLSID_Bitmap)
    made = static_cast<IBitmap*>(NewBitmapObject());
  else if (clsid_ == CLSID_FileReader)
    made = static_cast<IFileReader*>(new (std::nothrow) FileReaderObject());
  else if (clsid_ == CLSID_Picture)
    made = static_cast<IRenderPicture*>(new (std::nothrow) PictureObject());
  else
    return CLASS_E_CLASSNOTAVAILABLE;
  if (!made) return E_OUTOFMEMORY;
  const HRESULT hr = made->QueryInterface(iid, object);
  made->Release();
  return hr;
}

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** factory) {
  if (!factory) return E_POINTER;
  *factory = nullptr;
  if (clsid == CLSID_Bitmap) return bitmapFactory.QueryInterface(iid, factory);
  if (clsid == CLSID_FileReader) return readerFactory.QueryInterface(iid, factory);
  if (clsid == CLSID_Picture) return pictureFactory.QueryInterface(iid, factory);
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT CreateObject(REFCLSID clsid, DWORD, IUnknown** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  IClassFactory* factory = nullptr;
  if (FAILED(GetClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory))))
    return REGDB_E_CLASSNOTREG;
  const HRESULT hr = factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(object));
  factory->Release();
  return hr;
}

void SetCreationFailure(HRESULT failure) { SetCreationFailureAfter(0, failure); }

void SetCreationFailureAfter(long creations, HRESULT failure) {
  creationsBeforeFailure.store(creations);
  creationFailure.store(failure);
}

}  // namespace zvkImage
