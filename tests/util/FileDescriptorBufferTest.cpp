#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <ostream>
#include <string>
#include <thread>

#include "util/FileDescriptorBuffer.h"

namespace vorlix {
namespace {

TEST(FileDescriptorBufferTest, EveryByteGetsOutInOrder) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    std::string received;
    std::thread reader([&] {
        char chunk[4096];
        for (ssize_t got; (got = ::read(ends[0], chunk, sizeof chunk)) > 0;) {
            received.append(chunk, static_cast<std::size_t>(got));
        }
    });
    std::string sent;
    {
        FileDescriptorBuffer buffer(ends[1]);
        std::ostream out(&buffer);
        // Single characters, pieces that fill the buffer unevenly, one longer than it.
        for (int i = 0; i < 3000; ++i) {
            const std::string piece(static_cast<std::size_t>(i % 97),
                                    static_cast<char>('a' + i % 26));
            out << piece << '\n';
            sent += piece + '\n';
        }
        const std::string big(100000, 'z');
        out << big << std::flush;
        sent += big;
        out << "tail";  // goes with the buffer
        sent += "tail";
        EXPECT_TRUE(out.good());
        EXPECT_EQ(buffer.Error(), 0);
    }
    ::close(ends[1]);
    reader.join();
    ::close(ends[0]);
    EXPECT_EQ(received, sent);
}

TEST(FileDescriptorBufferTest, KeepsWhyTheFirstWriteFailed) {
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    FileDescriptorBuffer buffer(full);
    std::ostream out(&buffer);
    out << std::string(20000, 'x') << std::flush;
    EXPECT_TRUE(out.bad());
    EXPECT_EQ(buffer.Error(), ENOSPC);
    out.clear();
    out << "more" << std::flush;
    EXPECT_EQ(buffer.Error(), ENOSPC);
    ::close(full);
}

}  // namespace
}  // namespace vorlix
