#include "VariantHolder.h"

#include <comdef.h>

// The table interface of the image library's bitmaps: its first own operation takes the tables. (Of
// external linkage: an interface the compiler sees no implementation of must not be internal to this
// file, or calls through it may be optimised away.)
struct IBitmapTablesOfHolder : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE SetTables(VARIANT tables) = 0;
};

namespace {

const IID IID_BitmapTables = {0x916CFD00, 0x2A0A, 0x11D3, {0xBD, 0x11, 0x00, 0x60, 0x8C, 0x84, 0xC0, 0x60}};

}  // namespace

bool VariantHolder::ApplyTo(IUnknown* object) {
  if (!object) return IsEmpty();
  struct Releaser {
    IUnknown* object;
    ~Releaser() { object->Release(); }
  } releaseObject{object};
  if (IsEmpty()) return true;
  IBitmapTablesOfHolder* tables = nullptr;
  if (FAILED(object->QueryInterface(IID_BitmapTables, reinterpret_cast<void**>(&tables))) || !tables)
    return false;
  HRESULT hr = tables->SetTables(value);
  tables->Release();
  if (FAILED(hr)) _com_issue_errorex(hr, object, IID_BitmapTables);
  return true;
}
