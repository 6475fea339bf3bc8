#include "core/app/varno_error.h"
#include "platform/file_writer.h"
#include "support/unprivileged.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace varno;

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

std::string failureOf(const QString& path, const QByteArray& bytes)
{
    try {
        writeFileAtomically(path, bytes);
    } catch (const VarnoError& error) {
        return error.what();
    }
    return "<written>";
}

// A small file system of the test's own, mounted for its lifetime (root only).
class SmallDisk {
public:
    explicit SmallDisk(const QString& folder)
        : m_folder(folder)
    {
        QDir().mkpath(folder);
        m_mounted = QProcess::execute(QStringLiteral("mount"),
                                      {"-t", "tmpfs", "-o", "size=64k", "tmpfs", folder}) == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {m_folder});
    }
    bool mounted() const { return m_mounted; }

private:
    QString m_folder;
    bool m_mounted = false;
};

} // namespace

TEST(FileWriter, AFailedWriteLeavesTheOldFileAsItWas)
{
    QTemporaryDir temp;
    const QString missing = temp.filePath(QStringLiteral("no/such/folder/list.cfg"));
    EXPECT_EQ(failureOf(missing, "x"), "Cannot create file " + missing.toStdString());
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(failureOf(temp.path(), "x"), "Cannot create file " + temp.path().toStdString());

    // Over a read-only file, as an ordinary user.
    const QString readOnly = temp.filePath(QStringLiteral("kept.log"));
    QFile file(readOnly);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("old contents");
    file.close();
    ASSERT_EQ(chmod(qPrintable(readOnly), 0444), 0);
    ASSERT_EQ(chmod(qPrintable(temp.path()), 0777), 0);
    const int result = varno::test::runUnprivileged([&] {
        return failureOf(readOnly, "new") == "Cannot create file " + readOnly.toStdString() ? 0 : 1;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(readFile(readOnly), QByteArray("old contents"));
}

TEST(FileWriter, AFullDiskLeavesTheOldFileAsItWas)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "mounting a small file system needs root";
    QTemporaryDir temp;
    const SmallDisk disk(temp.filePath(QStringLiteral("disk")));
    if (!disk.mounted())
        GTEST_SKIP() << "this machine does not let tests mount a tmpfs";
    const QString path = temp.filePath(QStringLiteral("disk/rotation.cfg"));
    writeFileAtomically(path, QByteArray(20 * 1024, 'a'));
    // Forty kilobytes more do not fit beside the old twenty in 64 KB.
    EXPECT_EQ(failureOf(path, QByteArray(50 * 1024, 'b')), "Cannot create file " + path.toStdString());
    EXPECT_EQ(readFile(path), QByteArray(20 * 1024, 'a'));
    EXPECT_EQ(QDir(temp.filePath(QStringLiteral("disk"))).entryList(QDir::Files), QStringList{"rotation.cfg"});
}

TEST(FileWriter, GivesTheFileThePermissionsAsked)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.cfg"));
    const auto modeOf = [&] {
        struct stat info {};
        return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
    };
    const mode_t oldMask = ::umask(022);
    const struct {
        int before; // -1: no file yet
        FileAccess access;
        int after;
    } cases[] = {
        {-1, FileAccess::Usual, 0644},
        {0640, FileAccess::Usual, 0640},
        {-1, FileAccess::OwnerOnly, 0600},
        {0644, FileAccess::OwnerOnly, 0600},
        {-1, FileAccess::KeepOrOwnerOnly, 0600},
        {0644, FileAccess::KeepOrOwnerOnly, 0644},
    };
    for (const auto& c : cases) {
        QFile::remove(path);
        if (c.before >= 0) {
            writeFileAtomically(path, "old");
            ::chmod(QFile::encodeName(path).constData(), mode_t(c.before));
        }
        writeFileAtomically(path, "new", c.access);
        EXPECT_EQ(modeOf(), c.after) << std::oct << c.before << " " << int(c.access);
        EXPECT_EQ(readFile(path), "new");
    }
    ::umask(oldMask);
}
