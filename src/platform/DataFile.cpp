// Regular files only, opened without blocking and read over interrupted and short reads.
#include "platform/DataFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

namespace platform {

namespace {

// one read() call asks for at most this much; Linux returns at most 2 GB anyway
constexpr size_t maxReadBytes = size_t { 1 } << 30;

const char* kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a directory";
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISCHR(mode))
        return "a character device";
    if (S_ISBLK(mode))
        return "a block device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "a special file";
}

} // namespace

DataFile::~DataFile()
{
    close();
}

void DataFile::close()
{
    if (descriptor >= 0)
        ::close(descriptor);
    descriptor = -1;
    bytes = 0;
}

bool DataFile::open(const char* path)
{
    close();
    reason.clear();
    // Without O_NONBLOCK, opening a FIFO for reading waits for a writer, for ever if
    // none comes; the flag is cleared again once the file is known to be regular.
    const int opened = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (opened < 0) {
        reason = std::strerror(errno);
        return false;
    }
    struct stat status { };
    if (fstat(opened, &status) != 0) {
        reason = std::strerror(errno);
    } else if (!S_ISREG(status.st_mode)) {
        reason = std::string(kindOf(status.st_mode)) + ", not a regular file";
    } else {
        const int flags = fcntl(opened, F_GETFL);
        if (flags < 0 || fcntl(opened, F_SETFL, flags & ~O_NONBLOCK) != 0)
            reason = std::strerror(errno);
    }
    if (!reason.empty()) {
        ::close(opened);
        return false;
    }
    descriptor = opened;
    bytes = static_cast<uint64_t>(status.st_size);
    return true;
}

bool DataFile::read(void* out, size_t count, size_t& got)
{
    got = 0;
    if (descriptor < 0) {
        reason = "not open";
        return false;
    }
    char* to = static_cast<char*>(out);
    while (got < count) {
        const ssize_t n = ::read(descriptor, to + got, std::min(count - got, maxReadBytes));
        if (n > 0) {
            got += static_cast<size_t>(n);
        } else if (n == 0) {
            return true; // the end of the file
        } else if (errno != EINTR) {
            reason = std::strerror(errno);
            return false;
        }
    }
    return true;
}

bool DataFile::readAll(std::vector<char>& contents, uint64_t maxBytes)
{
    contents.clear();
    const size_t limit = static_cast<size_t>(std::min<uint64_t>(maxBytes, SIZE_MAX - 1));
    try {
        // the size seen at open, plus one byte that tells whether the end was reached
        contents.resize(static_cast<size_t>(std::min<uint64_t>(bytes, limit)) + 1);
        size_t filled = 0;
        for (;;) {
            size_t got = 0;
            const size_t wanted = contents.size() - filled;
            if (!read(contents.data() + filled, wanted, got))
                return false;
            filled += got;
            if (got < wanted)
                break;
            if (filled > limit) {
                reason = "grew beyond " + std::to_string(limit) + " bytes while it was read";
                return false;
            }
            contents.resize(std::min(limit + 1, 2 * contents.size()));
        }
        contents.resize(filled);
    } catch (const std::bad_alloc&) {
        contents.clear();
        reason = "out of memory";
        return false;
    }
    return true;
}

std::FILE* DataFile::releaseToStream()
{
    if (descriptor < 0)
        return nullptr;
    std::FILE* stream = fdopen(descriptor, "rb");
    if (stream == nullptr) {
        reason = std::strerror(errno);
        close();
        return nullptr;
    }
    descriptor = -1;
    bytes = 0;
    return stream;
}

} // namespace platform
