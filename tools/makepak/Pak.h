// Reading and writing data.pak, a standard zip. The writer stores members in
// name order with a fixed time stamp so equal inputs give equal archives;
// already-compressed images and audio are stored, texts deflated.
#pragma once

#include <string>
#include <vector>

struct zip;

namespace pak {

struct Input {
    std::string name;
    std::string path;
};

// Writes `out` from the inputs (replacing it). On failure returns false and
// sets `error` to a message naming the file or member.
bool write(const std::string& out, std::vector<Input> inputs, std::string& error);

class Reader {
public:
    // Opens the archive; ok() is false and error() says why when it cannot.
    explicit Reader(const std::string& path);
    ~Reader();
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
    bool ok() const { return zip_ != nullptr; }
    const std::string& error() const { return error_; }
    std::vector<std::string> names() const;
    // The member's bytes; false when it is absent or unreadable.
    bool read(const std::string& name, std::vector<unsigned char>& bytes) const;

private:
    ::zip* zip_ = nullptr;
    std::string error_;
};

} // namespace pak
