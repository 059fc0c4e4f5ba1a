// Map<T>: dictionary from text keys to values, kept in ascending byte order
// of the keys (unsigned comparison, a proper prefix first) and also walked by
// position, so effects can index scene nodes by their place in key order.
// Pointer values are never owned.
#pragma once

#include <cstring>
#include <iterator>
#include <map>
#include <string>

namespace ZEPHRAN_STAGEMILL {

struct ByteOrder {
    bool operator()(const std::string& a, const std::string& b) const {
        size_t n = a.size() < b.size() ? a.size() : b.size();
        int c = n ? std::memcmp(a.data(), b.data(), n) : 0; // memcmp compares as unsigned char
        return c < 0 || (c == 0 && a.size() < b.size());
    }
};

template <typename T>
class Map {
public:
    Map() = default;
    Map(const Map&) = default;
    Map& operator=(const Map&) = default;
    ~Map() = default;

    // An existing key keeps its place and takes the new value.
    void add(const std::string& key, T value) { entries_[key] = value; }
    void assign(const std::string& key, T value) { add(key, value); }

    // Value of `key`, or a value-initialised T (0 / null) when absent.
    T find(const std::string& key) const {
        auto it = entries_.find(key);
        return it == entries_.end() ? T() : it->second;
    }
    T getByString(const std::string& key) const { return find(key); }
    bool exists(const std::string& key) const { return entries_.count(key) != 0; }

    // Position access walks key order; an index at or past size() gives a
    // null value (and an empty key) rather than reading past the end.
    T get(unsigned int index) const {
        if (index >= entries_.size()) return T();
        return std::next(entries_.begin(), index)->second;
    }
    std::string getKey(unsigned int index) const {
        if (index >= entries_.size()) return std::string();
        return std::next(entries_.begin(), index)->first;
    }

    // Position of the first entry (in key order) holding `value`; 0xFFFFFFFF when none.
    unsigned int getIndex(const T& value) const {
        unsigned int i = 0;
        for (const auto& e : entries_) {
            if (e.second == value) return i;
            ++i;
        }
        return 0xFFFFFFFFu;
    }

    unsigned int size() const { return static_cast<unsigned int>(entries_.size()); }
    unsigned int getNodeCount() const { return size(); }

private:
    std::map<std::string, T, ByteOrder> entries_;
};

} // namespace ZEPHRAN_STAGEMILL
