// Array<T>: the growable sequence every registry and list of the demo uses.
// A thin layer over std::vector with the small vocabulary the loaders, the
// scene graph and the effects share. Pointer elements are never owned.
#pragma once

#include <stdexcept>
#include <vector>

namespace ZEPHRAN_STAGEMILL {

template <typename T>
class Array {
public:
    Array() = default;
    Array(const Array&) = default;
    Array& operator=(const Array&) = default;
    ~Array() = default;

    void add(T value) { items_.push_back(value); }

    // Out of range raises std::out_of_range("invalid vector<T> subscript").
    T get(unsigned int index) const {
        if (index >= items_.size()) throw std::out_of_range("invalid vector<T> subscript");
        return items_[index];
    }

    // `index` must be below size(); out of range raises like get().
    void set(int index, T value) {
        if (index < 0 || static_cast<size_t>(index) >= items_.size())
            throw std::out_of_range("invalid vector<T> subscript");
        items_[static_cast<size_t>(index)] = value;
    }

    unsigned int size() const { return static_cast<unsigned int>(items_.size()); }
    unsigned int getNodeCount() const { return size(); }
    void clear() { items_.clear(); }

    T getFirst() const { return get(0); }
    T getLast() const { return items_.empty() ? get(0) : get(size() - 1); }

    void swap(int a, int b) {
        T first = get(static_cast<unsigned int>(a));
        set(a, get(static_cast<unsigned int>(b)));
        set(b, first);
    }

    // Contiguous storage for callers that upload or sort in bulk.
    T* data() { return items_.data(); }
    const T* data() const { return items_.data(); }

private:
    std::vector<T> items_;
};

} // namespace ZEPHRAN_STAGEMILL
