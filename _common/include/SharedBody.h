// The copy-on-write handle of the model's shared collections (text lists, aspect ratios, detail
// fields and values): copying a handle shares the body and counts it; every change first replaces a
// shared body by a copy of its own. The counts are plain integers: the handles belong to the
// user-interface thread. Body must be default- and copy-constructible (the copy is the deep copy).
#pragma once

template <class Body>
class SharedBody {
 public:
  SharedBody() = default;
  SharedBody(const SharedBody& other) : node(other.node) {
    if (node) ++node->refCount;
  }
  SharedBody& operator=(const SharedBody& other) {
    AssignBody(other);
    return *this;
  }
  ~SharedBody() { Release(); }

  // For reading: creates an empty body when there is none, never copies.
  Body* GetBody() const {
    if (!node) node = new Node();
    return &node->body;
  }
  // Before every change: a body shared with other handles is replaced by a copy of its own, unless
  // copy-on-write is off (then every sharer sees the change).
  Body* Unshare() {
    if (!node) {
      node = new Node();
    } else if (node->refCount != 1 && copyOnWrite) {
      Node* copy = new Node(node->body);
      --node->refCount;
      node = copy;
    }
    return &node->body;
  }
  // Shares the other's body; keeps its own copy-on-write flag.
  void AssignBody(const SharedBody& other) {
    if (this == &other || node == other.node) return;
    Node* shared = other.node;
    if (shared) ++shared->refCount;
    Release();
    node = shared;
  }
  // Drops this handle's reference; the last one frees the body.
  void Release() {
    Node* old = node;
    node = nullptr;
    if (old) DropReference(old);
  }

  int RefCount() const { return node ? node->refCount : 0; }
  bool HasBody() const { return node != nullptr; }
  bool SharesBodyWith(const SharedBody& other) const { return node && node == other.node; }

  bool copyOnWrite = true;

 private:
  struct Node {
    Body body;
    int refCount = 1;
    Node() = default;
    explicit Node(const Body& original) : body(original) {}
  };

  // Out of line: inlined into code that destroys two sharers, the compiler takes the second drop for
  // a use after the first one's delete.
  __attribute__((noinline)) static void DropReference(Node* shared) {
    if (--shared->refCount == 0) delete shared;
  }

  mutable Node* node = nullptr;
};
