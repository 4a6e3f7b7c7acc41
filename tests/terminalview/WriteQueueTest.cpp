#include "terminalview/WriteQueue.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {
QByteArray drain(int fd) {
    QByteArray out;
    char buffer[8192];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0) out.append(buffer, n);
    return out;
}
} // namespace

TEST(WriteQueue, KeepsWhatTheDescriptorCannotTakeAndWritesItInOrder) {
    int fds[2];
    ASSERT_EQ(::pipe2(fds, O_NONBLOCK | O_CLOEXEC), 0);
    QByteArray expected;
    WriteQueue queue;
    for (int chunk = 0; chunk < 40; ++chunk) {
        const QByteArray bytes(10000 + chunk, char('A' + chunk % 26));
        queue.append(bytes);
        expected += bytes;
    }
    queue.append(QByteArrayView()); // nothing
    QByteArray received;
    int rounds = 0;
    for (;;) {
        const WriteQueue::Result result = queue.flush(fds[1]);
        received += drain(fds[0]);
        ++rounds;
        if (result == WriteQueue::Result::Drained) break;
        ASSERT_EQ(result, WriteQueue::Result::WouldBlock);
        ASSERT_LT(rounds, 10000);
    }
    EXPECT_GT(rounds, 1) << "the pipe should have filled up at least once";
    EXPECT_TRUE(queue.isEmpty());
    EXPECT_EQ(received, expected);

    ::close(fds[0]);
    // A pipe without reader would raise SIGPIPE; the pseudo-terminal answers EIO instead.
    struct sigaction ignore {
    }, previous{};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGPIPE, &ignore, &previous);
    queue.append("lost");
    EXPECT_EQ(queue.flush(fds[1]), WriteQueue::Result::Failed) << "no reader left";
    ::sigaction(SIGPIPE, &previous, nullptr);
    EXPECT_TRUE(queue.isEmpty());
    ::close(fds[1]);
}
