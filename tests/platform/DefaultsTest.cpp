#include "platform/Defaults.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {
class DefaultsTest : public testing::Test {
protected:
    QString path() const { return dir.filePath("conf/defaults.json"); }
    QTemporaryDir dir;
};
} // namespace

TEST_F(DefaultsTest, ValuesKeepTheirTypesAcrossASaveAndALoad) {
    const QVariantMap nested{{"w", 860.0}, {"n", 3}, {"names", QVariantList{"a", true, 2.5}}};
    {
        Defaults d(path());
        d.setValue("s", QString("text"));
        d.setValue("i", 42);
        d.setValue("big", qint64(1) << 40);
        d.setValue("d", 14.0);
        d.setValue("frac", 0.99);
        d.setValue("b", false);
        d.setValue("a", QVariantList{1, 2.0, "x"});
        d.setValue("m", nested);
        ASSERT_TRUE(d.synchronize());
    }
    Defaults d(path());
    EXPECT_EQ(d.object("s").typeId(), QMetaType::QString);
    EXPECT_EQ(d.object("i").typeId(), QMetaType::LongLong);
    EXPECT_EQ(d.integer("big"), qint64(1) << 40);
    EXPECT_EQ(d.object("d").typeId(), QMetaType::Double);
    EXPECT_DOUBLE_EQ(d.doubleValue("d"), 14.0);
    EXPECT_DOUBLE_EQ(d.doubleValue("frac"), 0.99);
    EXPECT_EQ(d.object("b").typeId(), QMetaType::Bool);
    EXPECT_FALSE(d.boolean("b"));
    const QVariantList a = d.array("a");
    ASSERT_EQ(a.size(), 3);
    EXPECT_EQ(a[0].typeId(), QMetaType::LongLong);
    EXPECT_EQ(a[1].typeId(), QMetaType::Double);
    EXPECT_EQ(a[2].toString(), "x");
    const QVariantMap m = d.dictionary("m");
    EXPECT_EQ(m.value("w").typeId(), QMetaType::Double);
    EXPECT_EQ(m.value("names").toList().value(1).typeId(), QMetaType::Bool);
}

TEST_F(DefaultsTest, RegisteredDefaultsAnswerButAreNeverWritten) {
    Defaults d(path());
    d.registerDefaults({{"copyOnSelect", true}, {"terminalFontSize", 10.0}, {"promptTheme", "default"}});
    EXPECT_TRUE(d.boolean("copyOnSelect"));
    EXPECT_DOUBLE_EQ(d.doubleValue("terminalFontSize"), 10.0);
    EXPECT_FALSE(d.hasStoredValue("copyOnSelect"));
    d.setValue("copyOnSelect", false);
    EXPECT_FALSE(d.boolean("copyOnSelect"));
    d.removeObject("copyOnSelect");
    EXPECT_TRUE(d.boolean("copyOnSelect"));
    d.setValue("other", 1);
    ASSERT_TRUE(d.synchronize());
    Defaults reread(path());
    EXPECT_EQ(reread.storedKeys(), QStringList{"other"});
}

TEST_F(DefaultsTest, AbsentOrWronglyTypedValuesReadAsTheRegisteredDefault) {
    Defaults d(path());
    d.registerDefaults({{"n", 5}, {"f", 1.5}, {"s", "def"}, {"b", true}, {"l", QVariantList{1}}});
    d.setValue("n", QString("five"));
    d.setValue("f", QString("x"));
    d.setValue("s", 3);
    d.setValue("b", QString("yes"));
    d.setValue("l", 7);
    EXPECT_EQ(d.integer("n"), 5);
    EXPECT_DOUBLE_EQ(d.doubleValue("f"), 1.5);
    EXPECT_EQ(d.string("s"), "def");
    EXPECT_TRUE(d.boolean("b"));
    EXPECT_EQ(d.array("l").size(), 1);
    // Numbers read across integer and floating point, as the settings expect.
    d.setValue("f", 3);
    EXPECT_DOUBLE_EQ(d.doubleValue("f"), 3.0);
    d.setValue("n", 2.9);
    EXPECT_EQ(d.integer("n"), 2);
    // Without a registered default the type's empty value answers.
    EXPECT_EQ(d.integer("missing"), 0);
    EXPECT_EQ(d.string("missing"), QString());
    EXPECT_FALSE(d.boolean("missing"));
}

TEST_F(DefaultsTest, WritesAreDebouncedAndAtomic) {
    Defaults d(path());
    d.setValue("k", 1);
    d.setValue("k", 2);
    EXPECT_FALSE(QFile::exists(path())) << "written before the debounce";
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(path()); }, Defaults::kWriteDelayMs + 20000));
    Defaults reread(path());
    EXPECT_EQ(reread.integer("k"), 2);
    // No temporary files are left beside the store.
    EXPECT_EQ(QDir(dir.filePath("conf")).entryList(QDir::Files), QStringList{"defaults.json"});
}

TEST_F(DefaultsTest, AnUnreadableFileIsMovedAsideAndDefaultsApply) {
    QDir().mkpath(dir.filePath("conf"));
    for (const QByteArray& broken :
         {QByteArray("{\"k\": 1,"), QByteArray("[1, 2]"), QByteArray("\xff\xfe")}) {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(broken);
        f.close();
        Defaults d(path());
        d.registerDefaults({{"k", 9}});
        EXPECT_EQ(d.integer("k"), 9);
        ASSERT_FALSE(d.quarantinedPath().isEmpty());
        QFile kept(d.quarantinedPath());
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), broken);
        d.setValue("k", 3);
        ASSERT_TRUE(d.synchronize());
        EXPECT_TRUE(QFile::exists(d.quarantinedPath())) << "the broken file was overwritten";
    }
}

TEST_F(DefaultsTest, ChangesAreSignalledOncePerRealChange) {
    Defaults d(path());
    QSignalSpy spy(&d, &Defaults::valueChanged);
    d.setValue("a", 1);
    d.setValue("a", 1);
    d.removeObject("a");
    d.removeObject("a");
    EXPECT_EQ(spy.count(), 2);
}

TEST_F(DefaultsTest, DestructionWritesPendingChanges) {
    {
        Defaults d(path());
        d.setValue("late", QString("kept"));
    }
    Defaults reread(path());
    EXPECT_EQ(reread.string("late"), "kept");
}

// The store holds SSH profiles and folders: written 0600 in a 0700 folder, and one written before
// (0644 in 0755) is made private when it is loaded.
TEST_F(DefaultsTest, TheStoreAndItsFolderArePrivate) {
    const QFile::Permissions owner = QFile::ReadOwner | QFile::WriteOwner;
    const QFile::Permissions ownerFolder = owner | QFile::ExeOwner;
    const QFile::Permissions everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                        QFile::ReadOther | QFile::ReadUser | QFile::WriteUser;
    const auto modeOf = [](const QString& path) {
        return QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
    };
    for (const bool earlier : {false, true}) {
        SCOPED_TRACE(earlier ? "a store written before" : "a new store");
        QDir(dir.filePath("conf")).removeRecursively();
        if (earlier) {
            ASSERT_TRUE(QDir().mkpath(dir.filePath("conf")));
            QFile f(path());
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(R"({"sshProfiles": ["me@host"]})");
            f.close();
            ASSERT_TRUE(QFile::setPermissions(path(), everyone));
            ASSERT_TRUE(QFile::setPermissions(dir.filePath("conf"), everyone | QFile::ExeOwner |
                                                                        QFile::ExeGroup | QFile::ExeOther));
        }
        Defaults d(path());
        if (earlier) {
            EXPECT_EQ(modeOf(path()), owner) << "made private at load";
            EXPECT_EQ(modeOf(dir.filePath("conf")), ownerFolder);
        }
        d.setValue("k", 1);
        ASSERT_TRUE(d.synchronize());
        EXPECT_EQ(modeOf(path()), owner);
        EXPECT_EQ(modeOf(dir.filePath("conf")), ownerFolder);
    }
}
