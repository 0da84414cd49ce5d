// A named tone curve: a name, a description, an input-or-output flag and a LUT object of the tone-curve
// component. Copies share the object, so a change made through one copy (the LUT editor's) shows in every
// holder; a record without an object is the identity curve.
#pragma once

#include "Archive.h"
#include "ImageBitmap.h"
#include "LUTObject.h"

#include "classlib/ClassLib.h"
#include "zvkImage/zvkImage.h"

#include <cstdint>
#include <memory>
#include <vector>

// Where the record's archive failures are said to come from.
constexpr const char* LUTRecordSourceFile = "LUT.cpp";
constexpr int LUTRecordMarkerLine = 141;
constexpr int LUTRecordObjectLine = 164;

class LUTRecord {
 public:
  CString name;
  CString description;

  // 0 an input-device curve, 1 an output-device curve.
  int32_t GetOutput() const { return output; }
  // Also put the object's DeviceType (dtInput, dtOutput) when the record has a curve; a failed put is
  // raised as _com_error.
  void SetInput();
  void SetOutput();

  // The identity: no object and no persisted object waiting to be loaded.
  bool IsEmpty() const { return !object && !unloaded; }

  // The record's object, made on first use (its DeviceType then follows the flag) or loaded from the
  // bytes the record kept. The record keeps the reference. Raises _com_error when the object cannot be
  // made, and the archive exception Unknown when kept bytes are refused.
  ILut* GetObject();

  // The curve's whole table (for the default RGB object a VT_UI1 array [256][4]: all, red, green, blue);
  // VT_EMPTY for an empty record. The get's HRESULT is returned, not raised.
  HRESULT GetTable(VARIANT* table) const;

  // Applies the curve to a bitmap of the image library through its ITables; nothing for an empty record
  // or a bitmap without tables. The bitmap's reference is released when the call returns. Failures are
  // raised as _com_error with the interface that failed.
  void ApplyToBitmap(IBitmapPtr bitmap) const;

  // Shows the curve in the LUT editing control: the record's object, or for an empty record a new default
  // object of the record's device type (not kept by the record, so the record stays empty until
  // StoreFromControl). The control's own answer to the put is not checked. Raises _com_error when a new
  // object cannot be made.
  void LoadIntoControl(ILutCtlPtr control);
  // Takes the control's current object as the record's own: both hold the same object from now on. The
  // record's flag is not applied to it. Raises _com_error when the control cannot give it.
  void StoreFromControl(ILutCtlPtr control);

  // Gives the record an object's persisted bytes (class identifier, then the object's record), loaded on
  // first use. A record read whose object could not be loaded holds its bytes this way, and writes them
  // back unchanged.
  void SetPersistedObject(const std::vector<uint8_t>& bytes);
  // The persisted bytes still waiting to be loaded; null when there are none.
  const std::vector<uint8_t>* GetUnloadedObject() const { return unloaded.get(); }
  // The bound object, without making or loading one; null when there is none.
  ILut* PeekObject() const { return object; }

  void Clear() { *this = LUTRecord(); }

  // Same texts and flag, and the same curve: the same object, or equal waiting bytes.
  bool operator==(const LUTRecord& other) const;

  friend void ReadLUTRecord(zvk::Archive& archive, LUTRecord& record);

 private:
  // The object for one use: the bound one, or one loaded from the waiting bytes (not kept); null when
  // empty.
  ILutPtr ObjectForUse() const;
  void PutDeviceType();

  int32_t output = 0;  // not stored: a loaded object carries its own device type
  ILutPtr object;
  // Persisted bytes that could not be loaded yet (the component not registered, or bytes it refused).
  std::shared_ptr<const std::vector<uint8_t>> unloaded;
};

// u16 0x0100, name, description, marker byte 42, u32 length, the persisted object (length 0: empty).
// Raises _com_error when the object cannot be saved, rather than writing an identity curve.
void WriteLUTRecord(zvk::Archive& archive, const LUTRecord& record);
// Binds a real object. A record whose object cannot be made or loaded keeps the bytes as read. Damaged
// structure raises the archive exception (BadSchema, EndOfFile). The target changes only when the whole
// record was read; its output flag is kept.
void ReadLUTRecord(zvk::Archive& archive, LUTRecord& record);
