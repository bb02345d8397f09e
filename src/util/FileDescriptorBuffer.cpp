#include "util/FileDescriptorBuffer.h"

#include <unistd.h>

#include <cerrno>

namespace vorlix {

FileDescriptorBuffer::FileDescriptorBuffer(int fd) : fd_(fd) {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
}

FileDescriptorBuffer::~FileDescriptorBuffer() { Drain(); }

bool FileDescriptorBuffer::WriteOut(const char* data, std::size_t length) {
    while (length > 0) {
        const ssize_t written = ::write(fd_, data, length);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            if (error_ == 0) error_ = written < 0 ? errno : EIO;
            return false;
        }
        data += written;
        length -= static_cast<std::size_t>(written);
    }
    return true;
}

// What is buffered goes out, or is dropped when it cannot.
bool FileDescriptorBuffer::Drain() {
    const bool written = WriteOut(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return written;
}

FileDescriptorBuffer::int_type FileDescriptorBuffer::overflow(int_type c) {
    if (!Drain()) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

std::streamsize FileDescriptorBuffer::xsputn(const char* data, std::streamsize count) {
    const auto room = epptr() - pptr();
    if (count <= room) {
        traits_type::copy(pptr(), data, static_cast<std::size_t>(count));
        pbump(static_cast<int>(count));
        return count;
    }
    // Longer than the room: what waits goes first, then this at once.
    if (!Drain() || !WriteOut(data, static_cast<std::size_t>(count))) return 0;
    return count;
}

int FileDescriptorBuffer::sync() { return Drain() ? 0 : -1; }

}  // namespace vorlix
