// The reference-counted, copy-on-write list of texts that queries and events pass around.
#pragma once

#include "SharedVector.h"

#include "classlib/ClassLib.h"

class SharedStringList {
 public:
  using Body = SharedVector<CString>::Body;

  SharedStringList() = default;
  SharedStringList(const SharedStringList& other) : tag(other.tag), list(other.list) {}
  // Copies the tag and shares the other's texts.
  SharedStringList& operator=(const SharedStringList& other) {
    tag = other.tag;
    list.AssignBody(other.list);
    return *this;
  }

  // A list with its own copy of every text of other, sharing nothing.
  static SharedStringList Clone(const SharedStringList& other);

  Body* GetBody() const { return list.GetBody(); }
  Body* Unshare() { return list.Unshare(); }
  void AssignBody(const SharedStringList& other) { list.AssignBody(other.list); }
  void Release() { list.Release(); }

  int GetCount() const { return static_cast<int>(list.Count()); }
  const CString& GetAt(int index) const { return list[static_cast<size_t>(index)]; }
  const CString& operator[](int index) const { return GetAt(index); }
  void Append(const CString& text) { list.Append(text); }

  int RefCount() const { return list.RefCount(); }
  bool HasBody() const { return list.HasBody(); }
  bool SharesBodyWith(const SharedStringList& other) const { return list.SharesBodyWith(other.list); }
  bool GetCopyOnWrite() const { return list.copyOnWrite; }
  void SetCopyOnWrite(bool on) { list.copyOnWrite = on; }

  int tag = 0;

 private:
  SharedVector<CString> list;
};
