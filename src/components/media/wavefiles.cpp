#include "components/media/wavefiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

bool ReadWaveInfo(const QString& path, WaveInfo* info, QString* error)
{
    auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("Cannot open the sound file ") + path);
    const qint64 fileSize = f.size();
    const QByteArray head = f.read(12);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return fail(QStringLiteral("Not a wave file: ") + path);

    bool haveFormat = false;
    WaveInfo w;
    qint64 byteRate = 0;
    qint64 pos = 12;
    for (int chunks = 0; chunks < 64 && pos + 8 <= fileSize; ++chunks) {
        if (!f.seek(pos))
            break;
        const QByteArray ch = f.read(8);
        if (ch.size() < 8)
            break;
        const QByteArray id = ch.left(4);
        const qint64 size = qFromLittleEndian<quint32>(ch.constData() + 4);
        if (id == "fmt ") {
            if (size < 16)
                return fail(QStringLiteral("Damaged wave format in ") + path);
            const QByteArray fmt = f.read(16);
            if (fmt.size() < 16)
                return fail(QStringLiteral("Damaged wave format in ") + path);
            const char* d = fmt.constData();
            w.channels = qFromLittleEndian<quint16>(d + 2);
            w.sampleRate = int(qFromLittleEndian<quint32>(d + 4));
            byteRate = qFromLittleEndian<quint32>(d + 8);
            w.bitsPerSample = qFromLittleEndian<quint16>(d + 14);
            if (w.channels == 0 || w.sampleRate <= 0 || byteRate == 0)
                return fail(QStringLiteral("Damaged wave format in ") + path);
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat)
                return fail(QStringLiteral("Wave data before its format in ") + path);
            const qint64 available = qMax<qint64>(0, fileSize - pos - 8);
            w.durationMs = qMin(size, available) * 1000 / byteRate;
            if (info)
                *info = w;
            return true;
        }
        pos += 8 + size + (size & 1);
    }
    return fail(QStringLiteral("No wave data in ") + path);
}

bool NullWavePlayer::play(const QString& path, QString* error)
{
    if (playing_) {
        if (error)
            *error = QStringLiteral("Another sound is playing.");
        return false;
    }
    if (!QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("Cannot open the sound file ") + path;
        return false;
    }
    playing_ = true;
    QMetaObject::invokeMethod(this, [this] {
        playing_ = false;
        emit notify();
    }, Qt::QueuedConnection);
    return true;
}

// One we made, owned by us and closed to others; a path someone else holds (or a link)
// is passed over for a fresh private folder.
void EnsureRuntimeFolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    QByteArray dir = QFile::encodeName(QDir::tempPath()) + "/vexobingo-runtime-" + QByteArray::number(getuid());
    struct stat info {};
    const bool made = mkdir(dir.constData(), 0700) == 0;
    const bool ours = made
        || (lstat(dir.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid()
            && (info.st_mode & 077) == 0);
    if (!ours) {
        QByteArray unique = QFile::encodeName(QDir::tempPath()) + "/vexobingo-runtime-XXXXXX";
        if (!mkdtemp(unique.data()))
            return;   // the sound libraries then say so themselves
        dir = unique;
    }
    qputenv("XDG_RUNTIME_DIR", dir);
}
