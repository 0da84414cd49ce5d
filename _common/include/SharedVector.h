// The copy-on-write handle over a reference-counted vector that lists, the aspect ratios and the
// detail collections share: copying a handle shares the body; a change first detaches a shared body.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

template <class T>
class SharedVector {
public:
    struct Body {
        std::vector<T> items;
        int refcount = 1;

        void InsertAt(std::size_t position, const T& item) { items.insert(items.begin() + position, item); }
        void InsertCopies(std::size_t position, std::size_t n, const T& item) { items.insert(items.begin() + position, n, item); }
        void Erase(std::size_t position) { items.erase(items.begin() + position); }
        void Clear() {
            items.clear();
            items.shrink_to_fit();
        }
    };

    SharedVector() = default;
    // A copy shares the body (the flag stays the new handle's own).
    SharedVector(const SharedVector& other) : body(other.body) {
        if (body) ++body->refcount;
    }
    SharedVector& operator=(const SharedVector& other) {
        AssignBody(other);
        return *this;
    }
    ~SharedVector() { Release(); }

    // For reading: creates an empty body when there is none, never copies.
    Body* GetBody() const {
        if (!body) body = new Body();
        return body;
    }
    // Before every change: a body shared with other handles is replaced by a copy of its own, unless
    // copy-on-write is off (then every sharer sees the change).
    Body* Unshare() {
        if (!body) {
            body = new Body();
        } else if (body->refcount != 1 && copyOnWrite) {
            Body* copy = new Body();
            try {
                copy->items = body->items;
            } catch (...) {
                delete copy;
                throw;
            }
            --body->refcount;
            body = copy;
        }
        return body;
    }
    // Shares the other's body; keeps its own copy-on-write flag.
    void AssignBody(const SharedVector& other) {
        if (this == &other || body == other.body) return;
        Body* shared = other.body;
        if (shared) ++shared->refcount;
        Release();
        body = shared;
    }
    // Drops this handle's reference; the last one frees the body.
    void Release() {
        Body* old = body;
        body = nullptr;
        if (old) DropReference(old);
    }

    std::size_t Count() const { return GetBody()->items.size(); }
    const std::vector<T>& Items() const { return GetBody()->items; }
    const T& operator[](std::size_t index) const { return GetBody()->items[index]; }
    void Append(const T& item) { Unshare()->items.push_back(item); }
    int RefCount() const { return body ? body->refcount : 0; }
    bool HasBody() const { return body != nullptr; }
    bool SharesBodyWith(const SharedVector& other) const { return body && body == other.body; }

    bool copyOnWrite = true;

private:
    // Out of line: inlined into code that destroys two sharers, the compiler takes the second drop for
    // a use after the first one's delete.
    __attribute__((noinline)) static void DropReference(Body* shared) {
        if (--shared->refcount == 0) delete shared;
    }

    mutable Body* body = nullptr;
};
