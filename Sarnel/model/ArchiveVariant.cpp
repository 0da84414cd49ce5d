#include "ArchiveVariant.h"

#include <memory>
#include <new>
#include <vector>

namespace {

using zvk::Archive;
using zvk::ArchiveException;

// Where the archive cannot tell what remains, a single length may promise at most this much.
constexpr uint64_t MaxUncheckedBytes = 1ull << 28;
// Arrays whose elements carry no stored data (texts, variants) are created with empty elements by the
// reader. Their few stored bytes must not make it allocate without bound: no detail value holds more
// elements than this, which keeps one such array to a few megabytes.
constexpr uint64_t MaxElementsWithoutData = 1u << 16;

[[noreturn]] void Throw(int kind) { throw ArchiveException(kind); }

void ReadExactly(Archive& archive, void* target, uint64_t bytes) {
  auto* out = static_cast<uint8_t*>(target);
  while (bytes > 0) {
    unsigned step = bytes > (1u << 20) ? (1u << 20) : static_cast<unsigned>(bytes);
    if (archive.Read(out, step) != step) Throw(ArchiveException::EndOfFile);
    out += step;
    bytes -= step;
  }
}

void WriteAll(Archive& archive, const void* source, uint64_t bytes) {
  auto* in = static_cast<const uint8_t*>(source);
  while (bytes > 0) {
    unsigned step = bytes > (1u << 20) ? (1u << 20) : static_cast<unsigned>(bytes);
    archive.Write(in, step);
    in += step;
    bytes -= step;
  }
}

// A length read from the data must fit in what remains before anything is allocated for it.
void CheckRemaining(Archive& archive, uint64_t bytes) {
  uint64_t remaining = 0;
  if (archive.GetRemaining(remaining)) {
    if (bytes > remaining) Throw(ArchiveException::EndOfFile);
  } else if (bytes > MaxUncheckedBytes) {
    Throw(ArchiveException::EndOfFile);
  }
}

// Bytes per element of the array element types whose data the layout stores; 0 for the others.
unsigned RawElementSize(VARTYPE type) {
  switch (type) {
    case VT_I1:
    case VT_UI1:
      return 1;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL:
      return 2;
    case VT_I4:
    case VT_UI4:
    case VT_R4:
    case VT_ERROR:
      return 4;
    case VT_R8:
    case VT_CY:
    case VT_DATE:
      return 8;
    default:
      return 0;
  }
}

// Element types an array may have in the stored form: the raw ones, and those the platform creates
// without stored data.
bool IsKnownElementType(VARTYPE type) {
  if (RawElementSize(type)) return true;
  switch (type) {
    case VT_BSTR:
    case VT_VARIANT:
    case VT_UNKNOWN:
    case VT_DISPATCH:
    case VT_DECIMAL:
    case VT_INT:
    case VT_UINT:
    case VT_I8:
    case VT_UI8:
      return true;
    default:
      return false;
  }
}

bool IsScalarType(VARTYPE type) {
  switch (type) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_BSTR:
    case VT_ERROR:
    case VT_BOOL:
    case VT_UI1:
      return true;
    default:
      return false;
  }
}

// An array word: VT_ARRAY with an element type and no other flag.
bool IsArrayWord(VARTYPE type) { return (type & 0xF000) == VT_ARRAY; }

struct ArrayLock {
  explicit ArrayLock(SAFEARRAY* array) : array(array) {
    if (FAILED(SafeArrayLock(array))) Throw(ArchiveException::Unknown);
  }
  ~ArrayLock() { SafeArrayUnlock(array); }
  SAFEARRAY* array;
};

struct ArrayShape {
  VARTYPE elementType = VT_EMPTY;
  std::vector<SAFEARRAYBOUND> bounds;  // dimension 1 first
  uint64_t elements = 0;
};

ArrayShape GetArrayShape(const SAFEARRAY* constArray) {
  auto* array = const_cast<SAFEARRAY*>(constArray);
  ArrayShape shape;
  if (!array || FAILED(SafeArrayGetVartype(array, &shape.elementType))) Throw(ArchiveException::Unknown);
  UINT dims = SafeArrayGetDim(array);
  if (dims == 0) Throw(ArchiveException::Unknown);
  shape.elements = 1;
  for (UINT d = 1; d <= dims; ++d) {
    LONG lower = 0, upper = 0;
    if (FAILED(SafeArrayGetLBound(array, d, &lower)) || FAILED(SafeArrayGetUBound(array, d, &upper)))
      Throw(ArchiveException::Unknown);
    SAFEARRAYBOUND bound;
    bound.lLbound = lower;
    bound.cElements = static_cast<ULONG>(static_cast<int64_t>(upper) - lower + 1);
    shape.bounds.push_back(bound);
    shape.elements *= bound.cElements;
  }
  return shape;
}

void WriteArray(Archive& archive, const VARIANT& value) {
  if (!IsArrayWord(value.vt)) Throw(ArchiveException::BadSchema);
  // Everything the header needs is asked of the platform before the first byte is written.
  ArrayShape shape = GetArrayShape(value.parray);
  unsigned elementSize = RawElementSize(shape.elementType);
  if (elementSize && SafeArrayGetElemsize(value.parray) != elementSize) Throw(ArchiveException::Unknown);

  zvk::WriteArchiveWord(archive, value.vt);
  zvk::WriteArchiveWord(archive, shape.elementType);
  zvk::WriteArchiveDword(archive, static_cast<uint32_t>(shape.bounds.size()));
  for (const SAFEARRAYBOUND& bound : shape.bounds) {
    zvk::WriteArchiveDword(archive, static_cast<uint32_t>(bound.lLbound));
    zvk::WriteArchiveDword(archive, static_cast<uint32_t>(bound.cElements));
  }
  uint64_t bytes = shape.elements * elementSize;
  if (bytes == 0) return;  // no elements, or elements without stored data
  // The platform keeps the elements with the first dimension's index varying fastest: the stored order.
  ArrayLock lock(value.parray);
  WriteAll(archive, value.parray->pvData, bytes);
}

void ReadArray(Archive& archive, VARTYPE type, VARIANT& out) {
  if (!IsArrayWord(type)) Throw(ArchiveException::BadSchema);
  uint16_t elementType;
  zvk::ReadArchiveWord(archive, elementType);
  if (elementType != (type & VT_TYPEMASK) || !IsKnownElementType(elementType))
    Throw(ArchiveException::BadSchema);
  uint32_t dims;
  zvk::ReadArchiveDword(archive, dims);
  if (dims == 0 || dims > 0xFFFF) Throw(ArchiveException::BadSchema);
  CheckRemaining(archive, uint64_t(dims) * 8);
  std::vector<SAFEARRAYBOUND> bounds(dims);
  uint64_t elements = 1;
  for (SAFEARRAYBOUND& bound : bounds) {
    int32_t lower;
    uint32_t count;
    zvk::ReadArchiveDword(archive, lower);
    zvk::ReadArchiveDword(archive, count);
    bound.lLbound = lower;
    bound.cElements = count;
    elements *= count;
    if (elements > 0xFFFFFFFFull) Throw(ArchiveException::BadSchema);
  }
  unsigned elementSize = RawElementSize(elementType);
  uint64_t bytes = elements * elementSize;
  if (elementSize) {
    if (bytes > 0xFFFFFFFFull) Throw(ArchiveException::BadSchema);
    CheckRemaining(archive, bytes);
  } else if (elements > MaxElementsWithoutData) {
    // A count no writer makes: damaged data, not a newer format.
    Throw(ArchiveException::EndOfFile);
  }
  SAFEARRAY* array = SafeArrayCreate(elementType, dims, bounds.data());
  if (!array) Throw(ArchiveException::Unknown);
  std::unique_ptr<SAFEARRAY, HRESULT (*)(SAFEARRAY*)> guard(array, SafeArrayDestroy);
  if (bytes > 0) {
    ArrayLock lock(array);
    ReadExactly(archive, array->pvData, bytes);
  }
  out.vt = type;
  out.parray = guard.release();
}

}  // namespace

zvk::Archive& ReadArchiveQword(zvk::Archive& archive, uint64_t& value) {
  uint64_t read;
  ReadExactly(archive, &read, 8);
  value = read;
  return archive;
}

zvk::Archive& ReadArchiveQword(zvk::Archive& archive, int64_t& value) {
  uint64_t read;
  ReadArchiveQword(archive, read);
  value = static_cast<int64_t>(read);
  return archive;
}

zvk::Archive& ReadArchiveQword(zvk::Archive& archive, double& value) {
  double read;
  ReadExactly(archive, &read, 8);
  value = read;
  return archive;
}

bool CanStoreArchiveVariant(const VARIANT& value) {
  if (IsScalarType(value.vt)) return true;
  if (!IsArrayWord(value.vt) || !value.parray) return false;
  VARTYPE elementType;
  if (FAILED(SafeArrayGetVartype(value.parray, &elementType))) return false;
  return elementType == (value.vt & VT_TYPEMASK) && RawElementSize(elementType) != 0 &&
         SafeArrayGetDim(value.parray) > 0;
}

void WriteArchiveVariant(zvk::Archive& archive, const VARIANT& value) {
  VARTYPE type = value.vt;
  if (type & VT_ARRAY) {
    WriteArray(archive, value);
    return;
  }
  if (!IsScalarType(type)) Throw(ArchiveException::BadSchema);
  zvk::WriteArchiveWord(archive, type);
  switch (type) {
    case VT_EMPTY:
    case VT_NULL:
      break;
    case VT_I2:
      archive.Write(&value.iVal, 2);
      break;
    case VT_I4:
      archive.Write(&value.lVal, 4);
      break;
    case VT_R4:
      archive.Write(&value.fltVal, 4);
      break;
    case VT_R8:
      archive.Write(&value.dblVal, 8);
      break;
    case VT_CY:
      archive.Write(&value.cyVal.Lo, 4);
      archive.Write(&value.cyVal.Hi, 4);
      break;
    case VT_DATE:
      archive.Write(&value.date, 8);
      break;
    case VT_BSTR: {
      uint32_t bytes = value.bstrVal ? SysStringByteLen(value.bstrVal) : 0;
      zvk::WriteArchiveDword(archive, bytes);
      if (bytes) WriteAll(archive, value.bstrVal, bytes);
      break;
    }
    case VT_ERROR:
      archive.Write(&value.scode, 4);
      break;
    case VT_BOOL:
      archive.Write(&value.boolVal, 2);
      break;
    case VT_UI1:
      archive.Write(&value.bVal, 1);
      break;
  }
}

void ReadArchiveVariant(zvk::Archive& archive, VARIANT& target) {
  if (target.vt != VT_EMPTY) VariantClear(&target);
  VariantInit(&target);
  uint16_t type;
  zvk::ReadArchiveWord(archive, type);
  VARIANT value;
  VariantInit(&value);
  if (type & VT_ARRAY) {
    ReadArray(archive, type, value);
    target = value;
    return;
  }
  switch (type) {
    case VT_EMPTY:
    case VT_NULL:
      break;
    case VT_I2:
      zvk::ReadArchiveWord(archive, value.iVal);
      break;
    case VT_I4:
      zvk::ReadArchiveDword(archive, value.lVal);
      break;
    case VT_R4:
      zvk::ReadArchiveDword(archive, value.fltVal);
      break;
    case VT_R8:
      ReadArchiveQword(archive, value.dblVal);
      break;
    case VT_CY:
      ReadArchiveQword(archive, value.cyVal.int64);
      break;
    case VT_DATE:
      ReadArchiveQword(archive, value.date);
      break;
    case VT_BSTR: {
      uint32_t bytes;
      zvk::ReadArchiveDword(archive, bytes);
      if (bytes) {
        CheckRemaining(archive, bytes);
        BSTR text = SysAllocStringByteLen(nullptr, bytes);
        if (!text) throw std::bad_alloc();
        std::unique_ptr<OLECHAR, void (*)(BSTR)> guard(text, SysFreeString);
        ReadExactly(archive, text, bytes);
        value.bstrVal = guard.release();
      }
      break;
    }
    case VT_ERROR:
      zvk::ReadArchiveDword(archive, value.scode);
      break;
    case VT_BOOL: {
      uint16_t word;
      zvk::ReadArchiveWord(archive, word);
      value.boolVal = static_cast<VARIANT_BOOL>(word);
      break;
    }
    case VT_UI1:
      zvk::ReadArchiveByte(archive, value.bVal);
      break;
    default:
      Throw(ArchiveException::BadSchema);
  }
  value.vt = type;
  target = value;
}
