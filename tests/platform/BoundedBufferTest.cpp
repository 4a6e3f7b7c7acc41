// Reading from outside up to a limit: a buffer that refuses what passes it, and files read whole
// only while they stay within it.
#include "platform/BoundedBuffer.h"

#include "platform/RegularFile.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(BoundedBuffer, TakesUpToTheLimitAndReadsNoFurtherThanOneBytePast) {
    BoundedBuffer buffer(10);
    EXPECT_TRUE(buffer.append("12345"));
    EXPECT_TRUE(buffer.append("67890")) << "exactly the limit fits";
    EXPECT_FALSE(buffer.append("x"));
    EXPECT_TRUE(buffer.isOverLimit());
    EXPECT_EQ(buffer.bytes(), "1234567890") << "what passed the limit is not kept";

    // A source with far more than the limit is read only one byte past it.
    QByteArray endless(1 << 20, 'z');
    QBuffer source(&endless);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    BoundedBuffer bounded(1000);
    EXPECT_FALSE(bounded.readFrom(source));
    EXPECT_EQ(source.pos(), 1001);
    EXPECT_EQ(bounded.size(), 1000);

    QBuffer small;
    small.setData("hello");
    ASSERT_TRUE(small.open(QIODevice::ReadOnly));
    BoundedBuffer roomy(1000);
    EXPECT_TRUE(roomy.readFrom(small));
    EXPECT_EQ(roomy.take(), "hello");
}

TEST(BoundedBuffer, ByteCountsAsPeopleReadThem) {
    struct Case {
        qint64 bytes;
        const char* text;
    };
    for (const Case& c :
         {Case{0, "0 bytes"}, Case{1023, "1023 bytes"}, Case{1024, "1 KiB"}, Case{65536, "64 KiB"},
          Case{1536, "1.5 KiB"}, Case{1048576, "1 MiB"}, Case{1048592, "1 MiB"}, Case{52428800, "50 MiB"}})
        EXPECT_EQ(byteCountText(c.bytes), QString::fromUtf8(c.text)) << c.bytes;
}

TEST(RegularFile, AFileOverTheLimitIsNotRead) {
    QTemporaryDir dir;
    const QString path = dir.filePath("f");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(100, 'a'));
    f.close();

    regularfile::Facts facts;
    facts.overLimit = true;
    EXPECT_EQ(regularfile::read(path, nullptr, 100, &facts), QByteArray(100, 'a'));
    EXPECT_FALSE(facts.overLimit);
    QString error;
    EXPECT_EQ(regularfile::read(path, &error, 99, &facts), std::nullopt);
    EXPECT_TRUE(facts.overLimit);
    EXPECT_EQ(error, "larger than 99 bytes");
}
