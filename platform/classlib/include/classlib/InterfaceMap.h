// Interface maps: a command target that is also a COM object lists its interfaces in one static table,
// chained to its base class's table. Each interface is a nested class member (m_x<Name>) whose IUnknown
// methods forward to the outer object's ExternalQueryInterface, ExternalAddRef and ExternalRelease;
// METHOD_PROLOGUE gives a nested method the outer object as pThis.
//
//   class CMyProcess : public CCmdTarget {
//     BEGIN_INTERFACE_PART(Process, IMyProcess)
//       STDMETHOD(Run)() override;
//     END_INTERFACE_PART(Process)
//     DECLARE_INTERFACE_MAP()
//   };
//   BEGIN_INTERFACE_MAP(CMyProcess, CCmdTarget)
//     INTERFACE_PART(CMyProcess, __uuidof(IMyProcess), Process)
//   END_INTERFACE_MAP()
#pragma once

#include <windows.h>
#include <objbase.h>

#include <cstddef>

struct AFX_INTERFACEMAP_ENTRY {
  const void* piid;  // the IID; null ends the table
  size_t nOffset;    // where the nested interface object sits within the outer object
};

struct AFX_INTERFACEMAP {
  const AFX_INTERFACEMAP* (*pfnGetBaseMap)();  // null at the root
  const AFX_INTERFACEMAP_ENTRY* pEntry;
};

// The nested classes sit in classes with virtual functions; their offsets are still fixed, which is all
// the map needs.
#define AFX_NESTED_OFFSET(theClass, member)                                                     \
  ([]() -> size_t {                                                                             \
    _Pragma("GCC diagnostic push");                                                             \
    _Pragma("GCC diagnostic ignored \"-Winvalid-offsetof\"") return offsetof(theClass, member); \
    _Pragma("GCC diagnostic pop")                                                               \
  }())

#define DECLARE_INTERFACE_MAP()                         \
 protected:                                             \
  static const AFX_INTERFACEMAP* GetThisInterfaceMap(); \
  const AFX_INTERFACEMAP* GetInterfaceMap() const override;

#define BEGIN_INTERFACE_PART(localClass, baseClass) \
  class X##localClass : public baseClass {          \
   public:                                          \
    STDMETHOD_(ULONG, AddRef)() override;           \
    STDMETHOD_(ULONG, Release)() override;          \
    STDMETHOD(QueryInterface)(REFIID iid, LPVOID* ppvObj) override;

#define END_INTERFACE_PART(localClass) \
  }                                    \
  m_x##localClass;                     \
  friend class X##localClass;

#define BEGIN_INTERFACE_MAP(theClass, theBase)                                                \
  const AFX_INTERFACEMAP* theClass::GetInterfaceMap() const { return GetThisInterfaceMap(); } \
  const AFX_INTERFACEMAP* theClass::GetThisInterfaceMap() {                                   \
    typedef theBase TheBaseClass;                                                             \
    static const AFX_INTERFACEMAP_ENTRY _interfaceEntries[] = {
#define INTERFACE_PART(theClass, iid, localClass) {&(iid), AFX_NESTED_OFFSET(theClass, m_x##localClass)},

#define END_INTERFACE_MAP()                                                                              \
  { nullptr, 0 }                                                                                         \
  }                                                                                                      \
  ;                                                                                                      \
  static const AFX_INTERFACEMAP _interfaceMap = {&TheBaseClass::GetThisInterfaceMap, _interfaceEntries}; \
  return &_interfaceMap;                                                                                 \
  }

// Inside a nested interface's method: pThis is the outer object.
#define METHOD_PROLOGUE(theClass, localClass)                                                  \
  theClass* pThis = reinterpret_cast<theClass*>(reinterpret_cast<BYTE*>(this) -                \
                                                AFX_NESTED_OFFSET(theClass, m_x##localClass)); \
  (void)pThis;
