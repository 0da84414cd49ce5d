// The keyer is made through the library's one creation helper, which a test can make fail.
#include <gtest/gtest.h>

#include <comdef.h>

#include "KeyerTestSupport.h"
#include "keyer/KeyerCreation.h"

TEST(KeyerCreation, TheHelperMakesTheKeyerByClassAndCanBeMadeToFail) {
  IUnknown* object = nullptr;
  ASSERT_EQ(CreateKeyerObject(CLSID_ChromaKeyer, &object), S_OK);
  IChromaKeyer* keyer = nullptr;
  EXPECT_EQ(object->QueryInterface(__uuidof(IChromaKeyer), reinterpret_cast<void**>(&keyer)), S_OK);
  EXPECT_TRUE(IsEqualIID(__uuidof(IChromaKeyer), IID_IChromaKeyer));
  keyer->Release();
  object->Release();

  SetKeyerCreationFailure(E_OUTOFMEMORY);
  object = reinterpret_cast<IUnknown*>(1);
  EXPECT_EQ(CreateKeyerObject(CLSID_ChromaKeyer, &object), E_OUTOFMEMORY);
  EXPECT_EQ(object, nullptr);
  SetKeyerCreationFailure(S_OK);

  EXPECT_EQ(CreateKeyerObject(IID_IChromaKeyer, &object), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(CreateKeyerObject(CLSID_ChromaKeyer, nullptr), E_POINTER);

  IClassFactory* factory = nullptr;
  ASSERT_EQ(GetKeyerClassObject(CLSID_ChromaKeyer, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
            S_OK);
  IUnknown* outer = factory;
  EXPECT_EQ(factory->CreateInstance(outer, IID_IUnknown, reinterpret_cast<void**>(&object)),
            CLASS_E_NOAGGREGATION);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, reinterpret_cast<void**>(&object)),
            E_NOINTERFACE);
  factory->Release();
}
