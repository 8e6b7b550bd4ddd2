#pragma once
// TMappedFile: a whole file mapped read-only for the life of the object. The
// catalogues are read in place through it; nothing is copied or parsed.
#include <cstddef>
#include <string>

class TMappedFile {
public:
    TMappedFile() = default;
    ~TMappedFile();
    TMappedFile(const TMappedFile&) = delete;
    TMappedFile& operator=(const TMappedFile&) = delete;

    // Maps path; on failure the object stays empty and Error() says why.
    bool Open(const std::string& path);
    void Close();

    const unsigned char* Data() const { return data_; }
    std::size_t Size() const { return size_; }
    const std::string& Error() const { return error_; }

private:
    int fd_ = -1;
    const unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
    std::string error_;
};
