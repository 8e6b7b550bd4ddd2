#include "catalog/Mappedfile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

TMappedFile::~TMappedFile() {
    Close();
}

void TMappedFile::Close() {
    if (data_ != nullptr) munmap(const_cast<unsigned char*>(data_), size_);
    if (fd_ >= 0) close(fd_);
    data_ = nullptr;
    size_ = 0;
    fd_ = -1;
}

bool TMappedFile::Open(const std::string& path) {
    Close();
    error_.clear();
    fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        error_ = "Cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        error_ = path + " is not a readable file";
        Close();
        return false;
    }
    if (st.st_size == 0) {
        // mmap refuses a length of 0; an empty file is simply an empty catalogue.
        error_ = path + " is empty";
        return true;
    }
    void* p = mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_SHARED, fd_, 0);
    if (p == MAP_FAILED) {
        error_ = "Cannot map " + path + ": " + std::strerror(errno);
        Close();
        return false;
    }
    data_ = static_cast<const unsigned char*>(p);
    size_ = static_cast<std::size_t>(st.st_size);
    return true;
}
