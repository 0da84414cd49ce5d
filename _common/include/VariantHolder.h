// A VARIANT handed over to an outside image object (correction tables and the like).
#pragma once

#include <windows.h>
#include <oleauto.h>

class VariantHolder {
 public:
  VariantHolder() { VariantInit(&value); }
  VariantHolder(const VariantHolder&) = delete;
  VariantHolder& operator=(const VariantHolder&) = delete;
  ~VariantHolder() { VariantClear(&value); }

  void Init() {
    VariantClear(&value);
    VariantInit(&value);
  }
  bool IsEmpty() const { return value.vt == VT_EMPTY; }

  // Gives the value to the image object through its table interface; takes over one reference of the
  // object and releases it in every case. An empty holder only releases (true); an object without
  // the interface gives false; a failed call raises the COM error.
  bool ApplyTo(IUnknown* object);

  VARIANT value;
};
