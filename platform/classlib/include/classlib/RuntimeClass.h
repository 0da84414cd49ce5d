// Run-time class information: CObject, CRuntimeClass and the DECLARE_/IMPLEMENT_ macros that let
// a class be asked what it is (IsKindOf) and be made from its class record (CreateObject).
#pragma once

#include "classlib/Base.h"

class CObject;

struct CRuntimeClass {
  LPCSTR m_lpszClassName;
  int m_nObjectSize;
  UINT m_wSchema;
  CObject* (*m_pfnCreateObject)();  // null for classes that cannot be made dynamically
  const CRuntimeClass* m_pBaseClass;

  // A new object of this class, or null when the class is not dynamically creatable.
  CObject* CreateObject() const;
  BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

class CObject {
 public:
  virtual ~CObject() = default;
  virtual CRuntimeClass* GetRuntimeClass() const;
  BOOL IsKindOf(const CRuntimeClass* pClass) const;

  static const CRuntimeClass classCObject;

 protected:
  CObject() = default;
};

#define RUNTIME_CLASS(class_name) (const_cast<CRuntimeClass*>(&class_name::class##class_name))

#define DECLARE_DYNAMIC(class_name)             \
 public:                                        \
  static const CRuntimeClass class##class_name; \
  CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
  DECLARE_DYNAMIC(class_name)         \
  static CObject* CreateObject();

#define AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, pfnNew)                                 \
  const CRuntimeClass class_name::class##class_name = {#class_name, sizeof(class_name), 0xFFFF, pfnNew, \
                                                       RUNTIME_CLASS(base_class_name)};                 \
  CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
  AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)         \
  CObject* class_name::CreateObject() { return new class_name; } \
  AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, class_name::CreateObject)

// The checked downcast: null when the object is not of that class.
#define DYNAMIC_DOWNCAST(class_name, object) \
  (AfxDynamicDownCast<class_name>(RUNTIME_CLASS(class_name), object))
#define STATIC_DOWNCAST(class_name, object) (static_cast<class_name*>(object))

template <class T>
T* AfxDynamicDownCast(const CRuntimeClass* pClass, CObject* pObject) {
  return (pObject != nullptr && pObject->IsKindOf(pClass)) ? static_cast<T*>(pObject) : nullptr;
}
