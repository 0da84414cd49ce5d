#include "LUTRecord.h"

#include "ArchiveException.h"

void LUTRecord::SetInput() {
  output = 0;
  PutDeviceType();
}

void LUTRecord::SetOutput() {
  output = 1;
  PutDeviceType();
}

void LUTRecord::PutDeviceType() {
  if (IsEmpty()) return;
  ILut* lut = GetObject();
  HRESULT hr = lut->put_DeviceType(output ? dtOutput : dtInput);
  if (FAILED(hr)) _com_issue_errorex(hr, lut, IID_ILut);
}

ILut* LUTRecord::GetObject() {
  if (!object) {
    if (unloaded) {
      object = ObjectForUse();
      unloaded.reset();
    } else {
      ILutPtr made = CreateLUTObject();
      HRESULT hr = made->put_DeviceType(output ? dtOutput : dtInput);
      if (FAILED(hr)) _com_issue_errorex(hr, made, IID_ILut);
      object = made;
    }
  }
  return object;
}

ILutPtr LUTRecord::ObjectForUse() const {
  if (object || !unloaded) return object;
  LUTObjectLoad load = LoadLUTObject(*unloaded);
  if (FAILED(load.creationError)) _com_issue_error(load.creationError);
  if (!load.object)
    throw zvk::ArchiveException(zvk::ArchiveException::Unknown, LUTRecordSourceFile, LUTRecordObjectLine);
  return load.object;
}

HRESULT LUTRecord::GetTable(VARIANT* table) const {
  if (table == nullptr) return E_POINTER;
  VariantClear(table);
  ILutPtr lut = ObjectForUse();
  if (!lut) return S_OK;
  return lut->get_LUT(table);
}

void LUTRecord::ApplyToBitmap(IBitmapPtr bitmap) const {
  if (IsEmpty() || !bitmap) return;
  zvkImage::ITables* raw = nullptr;
  if (FAILED(bitmap->QueryInterface(__uuidof(zvkImage::ITables), reinterpret_cast<void**>(&raw))) || !raw)
    return;
  _com_ptr_t<_com_IIID<zvkImage::ITables, &__uuidof(zvkImage::ITables)>> tables(raw, false);
  ILutPtr lut = ObjectForUse();
  _variant_t table;
  // A curve that cannot be computed is not left out silently: the image would look done without it.
  HRESULT hr = lut->get_LUT(&table);
  if (FAILED(hr)) _com_issue_errorex(hr, lut, IID_ILut);
  hr = tables->Apply(table);
  if (FAILED(hr)) _com_issue_errorex(hr, tables, __uuidof(zvkImage::ITables));
}

void LUTRecord::LoadIntoControl(ILutCtlPtr control) {
  if (!control) _com_issue_error(E_POINTER);
  ILutPtr shown;
  if (IsEmpty()) {
    // A new curve of an output list is an output curve from the start.
    shown = CreateLUTObject();
    HRESULT hr = shown->put_DeviceType(output ? dtOutput : dtInput);
    if (FAILED(hr)) _com_issue_errorex(hr, shown, IID_ILut);
  } else {
    shown = GetObject();
  }
  control->put_Value(shown);
}

void LUTRecord::StoreFromControl(ILutCtlPtr control) {
  if (!control) _com_issue_error(E_POINTER);
  ILut* raw = nullptr;
  HRESULT hr = control->get_Value(&raw);
  if (FAILED(hr)) _com_issue_errorex(hr, control, IID_ILutCtl);
  object = ILutPtr(raw, false);
  unloaded.reset();
}

void LUTRecord::SetPersistedObject(const std::vector<uint8_t>& bytes) {
  object = ILutPtr();
  unloaded.reset();
  if (!bytes.empty()) unloaded = std::make_shared<const std::vector<uint8_t>>(bytes);
}

bool LUTRecord::operator==(const LUTRecord& other) const {
  if (name != other.name || description != other.description || output != other.output) return false;
  if (object.GetInterfacePtr() != other.object.GetInterfacePtr()) return false;
  if (!unloaded || !other.unloaded) return !unloaded && !other.unloaded;
  return *unloaded == *other.unloaded;
}
