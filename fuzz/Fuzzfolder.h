#pragma once
// A private folder for the files one fuzzing process writes, made once and
// reused by every input.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

inline const std::string& FuzzFolder() {
    static const std::string folder = [] {
        const char* base = std::getenv("TMPDIR");
        std::string t = std::string(base && *base ? base : "/tmp") + "/quenlira_fuzz_XXXXXX";
        if (::mkdtemp(t.data()) == nullptr) std::abort();
        return t;
    }();
    return folder;
}

inline void WriteFuzzFile(const std::string& path, const unsigned char* data, std::size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
}
