#include "ObjectLinksOneOne.h"

#include "LinkTableFormat.h"

void ObjectLinksOneOne::Clear() {
  forward.clear();
  backward.clear();
}

CString ObjectLinksOneOne::Get(const CString& second) const {
  auto found = backward.find(second);
  return found == backward.end() ? CString() : found->second;
}

void ObjectLinksOneOne::Set(const CString& first, const CString& second) {
  auto oldForward = forward.find(first);
  if (oldForward != forward.end()) {
    auto reverse = backward.find(oldForward->second);
    if (reverse != backward.end() && reverse->second == first) backward.erase(reverse);
  }
  forward[first] = second;
  backward[second] = first;
}

zvk::Archive& ObjectLinksOneOne::Write(zvk::Archive& archive, const ObjectLinksOneOne& table) {
  WriteLinkTable(archive, table.forward);
  return archive;
}

zvk::Archive& ObjectLinksOneOne::Read(zvk::Archive& archive, ObjectLinksOneOne& table) {
  ReadLinkTable(
      archive, ObjectLinksOneOneSourceFile, ObjectLinksOneOneSchemaLine, [&] { table.Clear(); },
      [&](const CString& first, const CString& second) { table.Set(first, second); });
  return archive;
}
