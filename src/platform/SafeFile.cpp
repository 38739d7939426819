#include "platform/SafeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SafeFile {

namespace {

// The temporary file is "<name>" + kMarker + kRandomLength characters of kAlphabet.
// The marker keeps it from being mistaken for a file of the user's, such as
// "Pinora.dat.backup", when leftovers are cleared.
const QString kMarker = QStringLiteral(".saving-");
constexpr int kRandomLength = 6;
constexpr QLatin1StringView kAlphabet("abcdefghijklmnopqrstuvwxyz0123456789");

QString temporaryName(const QString& target) {
    QString name = target + kMarker;
    for (int i = 0; i < kRandomLength; ++i)
        name += QLatin1Char(kAlphabet.at(QRandomGenerator::global()->bounded(int(kAlphabet.size()))));
    return name;
}

bool isTemporaryName(const QString& fileName, const QString& targetName) {
    const QString prefix = targetName + kMarker;
    if (fileName.size() != prefix.size() + kRandomLength || !fileName.startsWith(prefix))
        return false;
    for (qsizetype i = prefix.size(); i < fileName.size(); ++i) {
        if (!kAlphabet.contains(fileName.at(i)))
            return false;
    }
    return true;
}

// The file a write really replaces: a link is followed to its target, so that the
// link itself survives the rename.
QString resolveLinks(const QString& path) {
    QFileInfo info(path);
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? path : info.absoluteFilePath();
}

bool writeAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

// Makes the rename itself durable: without it a power cut shortly after the save
// may bring the directory back with the old entry.
void syncDirectory(const QString& filePath) {
    const QByteArray dir = QFile::encodeName(QFileInfo(filePath).absolutePath());
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool write(const QString& path, const QByteArray& contents) {
    const QString target = resolveLinks(path);
    const QByteArray targetName = QFile::encodeName(target);
    struct stat old = {};
    const bool hadOld = ::stat(targetName.constData(), &old) == 0;

    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = QFile::encodeName(temporaryName(target));
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    // Keeping the mode is a courtesy: a file system without modes still saves.
    if (hadOld)
        ::fchmod(fd, old.st_mode & 07777);
    bool ok = writeAll(fd, contents) && ::fdatasync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok || ::rename(temporary.constData(), targetName.constData()) != 0) {
        ::unlink(temporary.constData());
        return false;
    }
    syncDirectory(target);
    return true;
}

QStringList leftovers(const QString& path) {
    const QFileInfo target(resolveLinks(path));
    QStringList found;
    const QFileInfoList entries =
        target.dir().entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (isTemporaryName(entry.fileName(), target.fileName()))
            found << entry.absoluteFilePath();
    }
    return found;
}

QStringList removeLeftoversOfFamily(const QString& directory, const QString& prefix) {
    QStringList removed;
    const QFileInfoList entries =
        QDir(directory).entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        const qsizetype marker = name.lastIndexOf(kMarker);
        if (marker > 0 && name.startsWith(prefix) && isTemporaryName(name, name.left(marker)) &&
            QFile::remove(entry.absoluteFilePath()))
            removed << entry.absoluteFilePath();
    }
    return removed;
}

QStringList removeLeftovers(const QString& path) {
    QStringList removed;
    for (const QString& leftover : leftovers(path)) {
        if (QFile::remove(leftover))
            removed << leftover;
    }
    return removed;
}

} // namespace SafeFile
