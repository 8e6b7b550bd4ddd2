#pragma once
// TSafeFile: the one way to open files that come from the user or from other
// stations (settings, option files, party files, logs, command files).
// Anything that is not a regular file is refused at once with the reason, so
// a FIFO, a device or a folder under a file's name can neither hang nor flood
// the program; every read has a size cap; new files are written under names
// nobody can predict and moved into place, so a planted link is never
// followed. Every error names the file and the reason.
#include <cstddef>
#include <string>

class TSafeFile {
public:
    // The whole of a regular file, at most maxBytes. followLinks false refuses
    // a symbolic link as the last part of the path (a shared folder).
    static bool ReadAll(const std::string& path, std::size_t maxBytes, std::string& data,
                        std::string& error, bool followLinks = true);
    // As ReadAll, but a longer file gives its first maxBytes and more = true
    // instead of an error (a fixed-size record with a tail to ignore).
    static bool ReadHead(const std::string& path, std::size_t maxBytes, std::string& data,
                         bool& more, std::string& error, bool followLinks = true);

    // Replaces path with data: a fresh temporary file in the same folder,
    // written, synced and renamed over path, so the old file stays whole
    // until the new one is. When path is a symbolic link (settings kept in a
    // synced folder) the file it leads to is replaced and the link stays. The
    // file keeps its permissions; a new one gets the usual ones. followLinks
    // false (a shared folder) replaces a link at path itself, never what it
    // leads to.
    static bool WriteAtomic(const std::string& path, const std::string& data, std::string& error,
                            bool followLinks = true);

    // Creates path with data, only if the name is free: never follows a link
    // there, never replaces anything. The bytes appear at path whole (written
    // under an unpredictable temporary name, then linked). taken = true, and
    // false returned, when the name already exists.
    static bool CreateNew(const std::string& path, const std::string& data, std::string& error,
                          bool& taken);

    // Appends data to a log of regular-file kind, never through a link. When
    // the file would pass capBytes it is first moved to path + ".1" (the one
    // previous file kept). A record longer than capBytes is cut to it.
    static bool AppendCapped(const std::string& path, const std::string& data,
                             std::size_t capBytes, std::string& error);

    // Opens path for reading with O_NONBLOCK (a FIFO would otherwise wait for
    // a writer for ever) and checks it is a regular file. The descriptor, or
    // -1 with the reason in error; size gets the file's size.
    static int OpenRegular(const std::string& path, bool followLinks, unsigned long long& size,
                           std::string& error);
    // Reads size bytes from fd into dst; false when the file ends early or a
    // read fails. Does not close fd.
    static bool ReadExactly(int fd, const std::string& path, void* dst, std::size_t size,
                            std::string& error);

    // What a file of this st_mode is, for messages ("a folder", "a FIFO").
    static std::string Kind(unsigned mode);
};
