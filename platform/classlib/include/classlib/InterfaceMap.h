// COM interfaces served by a command target: each interface is a nested class (an interface part)
// whose methods reach the outer object through METHOD_PROLOGUE; the table maps identifiers to parts.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <cstddef>

class CCmdTarget;

struct AFX_INTERFACEMAP_ENTRY {
  const IID* piid;                       // null ends the table
  IUnknown* (*pfnGetPart)(CCmdTarget*);  // the object's part that serves the interface
};

struct AFX_INTERFACEMAP {
  const AFX_INTERFACEMAP* (*pfnGetBaseMap)();
  const AFX_INTERFACEMAP_ENTRY* pEntry;
};

// The object that holds a part: the part's distance from the start of its object is measured once on
// the object's layout (offsetof is not defined for classes with virtual functions).
template <class Outer, class Part>
Outer* AfxOuterOfPart(Part* part, Part Outer::*member) {
  alignas(Outer) static const unsigned char layout[sizeof(Outer)] = {};
  const Outer* probe = reinterpret_cast<const Outer*>(layout);
  std::ptrdiff_t offset = reinterpret_cast<const unsigned char*>(&(probe->*member)) - layout;
  return reinterpret_cast<Outer*>(reinterpret_cast<unsigned char*>(part) - offset);
}

#define DECLARE_INTERFACE_MAP()                            \
 protected:                                                \
  static const AFX_INTERFACEMAP_ENTRY _interfaceEntries[]; \
  static const AFX_INTERFACEMAP interfaceMap;              \
  static const AFX_INTERFACEMAP* GetThisInterfaceMap();    \
  const AFX_INTERFACEMAP* GetInterfaceMap() const override;

#define BEGIN_INTERFACE_PART(localClass, baseClass) \
  class X##localClass : public baseClass {          \
   public:                                          \
    STDMETHOD_(ULONG, AddRef)() override;           \
    STDMETHOD_(ULONG, Release)() override;          \
    STDMETHOD(QueryInterface)(REFIID iid, void** ppvObj) override;

#define END_INTERFACE_PART(localClass) \
  }                                    \
  m_x##localClass;                     \
  friend class X##localClass;

#define BEGIN_INTERFACE_MAP(theClass, theBase)                                                  \
  const AFX_INTERFACEMAP* theClass::GetThisInterfaceMap() { return &theClass::interfaceMap; }   \
  const AFX_INTERFACEMAP* theClass::GetInterfaceMap() const { return &theClass::interfaceMap; } \
  const AFX_INTERFACEMAP theClass::interfaceMap = {&theBase::GetThisInterfaceMap,               \
                                                   &theClass::_interfaceEntries[0]};            \
  const AFX_INTERFACEMAP_ENTRY theClass::_interfaceEntries[] = {
#define INTERFACE_PART(theClass, iid, localClass) \
  {&iid, [](CCmdTarget* target) -> IUnknown* { return &static_cast<theClass*>(target)->m_x##localClass; }},
#define END_INTERFACE_MAP() \
  { nullptr, nullptr }      \
  }                         \
  ;

// Inside a part's method: pThis is the object that holds the part.
#define METHOD_PROLOGUE(theClass, localClass)                         \
  theClass* pThis = AfxOuterOfPart(this, &theClass::m_x##localClass); \
  (void)pThis;
#define METHOD_PROLOGUE_EX(theClass, localClass) METHOD_PROLOGUE(theClass, localClass)
