// Puts new elements of a storage in place of old ones in steps that can be undone. Each old element is
// renamed aside before the new one takes its name (a rename never replaces an existing name); Finish
// then destroys the old ones. A swap that is not finished puts every old element back and removes the
// new ones, so the storage holds exactly what it held before.
#pragma once

#include <objbase.h>

#include <string>
#include <vector>

class ElementSwap {
 public:
  explicit ElementSwap(IStorage* storage) : storage(storage) {}
  ~ElementSwap();
  ElementSwap(const ElementSwap&) = delete;
  ElementSwap& operator=(const ElementSwap&) = delete;

  // A new element written under a temporary name; removed again unless the swap is finished.
  void AddFresh(const std::wstring& fresh);
  // The element fresh takes the name of name; the old element of that name (when there is one) goes
  // aside. A failure throws, and the destructor undoes what was done.
  void Replace(const std::wstring& name, const std::wstring& fresh);
  // The old element of that name goes aside, to be destroyed by Finish.
  void Remove(const std::wstring& name);
  // Destroys the old elements; a failure there costs only room in the file.
  void Finish();

  // The temporary names of the element name: of its replacement, and of the old one set aside.
  static std::wstring FreshName(const std::wstring& name) { return name + L"~n"; }
  static std::wstring AsideName(const std::wstring& name) { return name + L"~o"; }

 private:
  struct Step {
    std::wstring name;
    std::wstring fresh;  // empty for a removal
    bool hadOld = false;
    bool movedIn = false;
  };
  void RollBack();

  IStorage* storage;
  std::vector<std::wstring> freshNames;
  std::vector<Step> steps;
  bool finished = false;
};
