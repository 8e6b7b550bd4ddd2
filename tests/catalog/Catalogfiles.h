#pragma once
// Small catalogue files written for one test and removed afterwards.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

class TTempFile {
public:
    explicit TTempFile(const std::string& stem)
        : path_((std::filesystem::temp_directory_path() /
                 (stem + "_" + std::to_string(::getpid()) + "_" + std::to_string(serial_++)))
                    .string()) {}
    ~TTempFile() { std::remove(path_.c_str()); }

    template <class Record> void Write(const std::vector<Record>& recs, std::size_t extra = 0) {
        std::FILE* f = std::fopen(path_.c_str(), "wb");
        if (!recs.empty()) std::fwrite(recs.data(), sizeof(Record), recs.size(), f);
        for (std::size_t i = 0; i < extra; ++i)
            std::fputc(0x7f, f);
        std::fclose(f);
    }
    const std::string& Path() const { return path_; }

private:
    static inline int serial_ = 0;
    std::string path_;
};
