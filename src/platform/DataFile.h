// A data file opened for reading without ever blocking: only regular files are taken
// (a FIFO, a directory or a device is refused before anything waits on it), and reads
// carry on over interrupted and short reads. Failures are reasons, never exceptions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace platform {

class DataFile {
public:
    DataFile() = default;
    ~DataFile();
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    // Opens a regular file for reading. False for anything else or when it cannot be
    // opened; error() then says why ("a FIFO, not a regular file", "Permission denied").
    bool open(const char* path);
    // Bytes the file held when it was opened.
    uint64_t size() const { return bytes; }

    // Reads up to `count` bytes; `got` is less than `count` only at the end of the
    // file. False on a read error, with the reason in error().
    bool read(void* out, size_t count, size_t& got);

    // Reads from where the file stands to its end. False on a read error, or when
    // more than maxBytes arrive (the file grew while it was read).
    bool readAll(std::vector<char>& contents, uint64_t maxBytes);

    // Hands the open file over to a stdio stream, which then owns it (fclose closes
    // it); null, and the file closed, when no stream can be made.
    std::FILE* releaseToStream();

    const std::string& error() const { return reason; }

private:
    void close();

    int descriptor = -1;
    uint64_t bytes = 0;
    std::string reason;
};

} // namespace platform
