#include "ObjectLinksManyMany.h"

#include "LinkTableFormat.h"

void ObjectLinksManyMany::Clear() {
  backward.clear();
  forward.clear();
}

void ObjectLinksManyMany::Add(const CString& first, const CString& second) {
  backward.emplace(second, first);
  forward.emplace(first, second);
}

zvk::Archive& ObjectLinksManyMany::Write(zvk::Archive& archive, const ObjectLinksManyMany& table) {
  WriteLinkTable(archive, table.forward);
  return archive;
}

zvk::Archive& ObjectLinksManyMany::Read(zvk::Archive& archive, ObjectLinksManyMany& table) {
  ReadLinkTable(
      archive, ObjectLinksManyManySourceFile, ObjectLinksManyManySchemaLine, [&] { table.Clear(); },
      [&](const CString& first, const CString& second) { table.Add(first, second); });
  return archive;
}
