#include "ObjectLinksOneMany.h"

#include "LinkTableFormat.h"

void ObjectLinksOneMany::Clear() {
  parentOf.clear();
  childrenOf.clear();
}

void ObjectLinksOneMany::EraseChildEntry(const CString& parent, const CString& child) {
  auto range = childrenOf.equal_range(parent);
  for (auto it = range.first; it != range.second; ++it) {
    if (it->second == child) {
      childrenOf.erase(it);
      return;
    }
  }
}

void ObjectLinksOneMany::SetParent(const CString& child, const CString& parent) {
  auto found = parentOf.find(child);
  if (found != parentOf.end()) {
    if (found->second == parent) return;
    EraseChildEntry(found->second, child);
    found->second = parent;
  } else {
    parentOf.emplace(child, parent);
  }
  childrenOf.emplace(parent, child);
}

void ObjectLinksOneMany::RemoveChild(const CString& child) {
  auto found = parentOf.find(child);
  if (found == parentOf.end()) return;
  EraseChildEntry(found->second, child);
  parentOf.erase(found);
}

void ObjectLinksOneMany::RemoveParent(const CString& parent) {
  auto range = childrenOf.equal_range(parent);
  for (auto it = range.first; it != range.second; ++it) {
    auto link = parentOf.find(it->second);
    // Only a child still linked to this parent loses its link.
    if (link != parentOf.end() && link->second == parent) parentOf.erase(link);
  }
  childrenOf.erase(range.first, range.second);
}

CString ObjectLinksOneMany::GetParent(const CString& child) const {
  auto found = parentOf.find(child);
  return found == parentOf.end() ? CString() : found->second;
}

SharedStringList ObjectLinksOneMany::GetChildren(const CString& parent) const {
  SharedStringList children;
  auto range = childrenOf.equal_range(parent);
  for (auto it = range.first; it != range.second; ++it) children.Append(it->second);
  return children;
}

SharedStringList ObjectLinksOneMany::GetParents() const {
  SharedStringList parents;
  for (auto it = childrenOf.begin(); it != childrenOf.end(); it = childrenOf.upper_bound(it->first))
    parents.Append(it->first);
  return parents;
}

zvk::Archive& ObjectLinksOneMany::Write(zvk::Archive& archive, const ObjectLinksOneMany& table) {
  WriteLinkTable(archive, table.parentOf);
  return archive;
}

zvk::Archive& ObjectLinksOneMany::Read(zvk::Archive& archive, ObjectLinksOneMany& table) {
  ReadLinkTable(
      archive, ObjectLinksOneManySourceFile, ObjectLinksOneManySchemaLine, [&] { table.Clear(); },
      [&](const CString& child, const CString& parent) { table.SetParent(child, parent); });
  return archive;
}
