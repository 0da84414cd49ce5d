#include "SharedStringList.h"

SharedStringList SharedStringList::Clone(const SharedStringList& other) {
  SharedStringList copy;
  copy.Unshare()->items = other.GetBody()->items;
  return copy;
}
