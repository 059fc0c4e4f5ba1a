// data.pak writer and reader on libzip.
#include "Pak.h"

#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace pak {
namespace {

// 2010-01-01 00:00 local time: the archive's fixed member time.
time_t fixedTime() {
    std::tm t{};
    t.tm_year = 110;
    t.tm_mon = 0;
    t.tm_mday = 1;
    t.tm_hour = 12;
    return std::mktime(&t);
}

bool precompressed(const std::string& name) {
    auto ends = [&](const char* s) {
        std::string e(s);
        return name.size() >= e.size() && name.compare(name.size() - e.size(), e.size(), e) == 0;
    };
    return ends(".png") || ends(".jpg") || ends(".ogg");
}

} // namespace

bool write(const std::string& out, std::vector<Input> inputs, std::string& error) {
    std::sort(inputs.begin(), inputs.end(), [](const Input& a, const Input& b) { return a.name < b.name; });
    for (size_t i = 1; i < inputs.size(); ++i)
        if (inputs[i].name == inputs[i - 1].name) {
            error = "member '" + inputs[i].name + "' given twice (" + inputs[i - 1].path + ", " + inputs[i].path + ")";
            return false;
        }
    std::remove(out.c_str());
    int code = 0;
    zip_t* z = zip_open(out.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!z) {
        zip_error_t e;
        zip_error_init_with_code(&e, code);
        error = out + ": " + zip_error_strerror(&e);
        zip_error_fini(&e);
        return false;
    }
    time_t stamp = fixedTime();
    for (const Input& in : inputs) {
        zip_source_t* src = zip_source_file(z, in.path.c_str(), 0, 0);
        zip_int64_t idx = src ? zip_file_add(z, in.name.c_str(), src, ZIP_FL_ENC_UTF_8) : -1;
        if (idx < 0) {
            if (src) zip_source_free(src);
            error = in.path + " (member '" + in.name + "'): " + zip_strerror(z);
            zip_discard(z);
            return false;
        }
        zip_set_file_compression(z, idx, precompressed(in.name) ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 9);
        zip_file_set_mtime(z, idx, stamp, 0);
        zip_file_extra_field_delete(z, idx, ZIP_EXTRA_FIELD_ALL, ZIP_FL_CENTRAL | ZIP_FL_LOCAL);
    }
    if (zip_close(z) < 0) {
        error = out + ": " + zip_strerror(z);
        zip_discard(z);
        return false;
    }
    return true;
}

Reader::Reader(const std::string& path) {
    int code = 0;
    zip_ = zip_open(path.c_str(), ZIP_RDONLY, &code);
    if (!zip_) {
        zip_error_t e;
        zip_error_init_with_code(&e, code);
        error_ = path + ": " + zip_error_strerror(&e);
        zip_error_fini(&e);
    }
}

Reader::~Reader() {
    if (zip_) zip_discard(zip_);
}

std::vector<std::string> Reader::names() const {
    std::vector<std::string> out;
    if (!zip_) return out;
    zip_int64_t n = zip_get_num_entries(zip_, 0);
    for (zip_int64_t i = 0; i < n; ++i) out.push_back(zip_get_name(zip_, i, 0));
    return out;
}

bool Reader::read(const std::string& name, std::vector<unsigned char>& bytes) const {
    zip_stat_t st;
    if (!zip_ || zip_stat(zip_, name.c_str(), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)) return false;
    zip_file_t* f = zip_fopen(zip_, name.c_str(), 0);
    if (!f) return false;
    bytes.resize(st.size);
    zip_int64_t got = zip_fread(f, bytes.data(), st.size);
    zip_fclose(f);
    return got == static_cast<zip_int64_t>(st.size);
}

} // namespace pak
