#include "shell/settings.h"

#include "rules/wire.h"

#include <QFile>
#include <QSaveFile>

namespace {
// Every value is written by this one rule: it cannot end its field ("#") or the line (CR,
// LF), so no value, whoever supplied it, can start a key of its own when the line is read.
QByteArray Value(const QString& s)
{
    QByteArray bytes = s.toLatin1();
    bytes.replace('#', QByteArray()).replace('\r', QByteArray()).replace('\n', QByteArray());
    return bytes;
}
}

QByteArray SettingValue(const QByteArray& key, const QByteArray& line)
{
    // Keys stand only at the start of the line or right after a "#", and the first field with
    // a key counts. A value runs to the next "#" within 256 characters; a longer one is none.
    qsizetype at = 0;
    while (at <= line.size()) {
        qsizetype end = line.indexOf('#', at);
        if (end < 0)
            return QByteArray();   // a field that is not closed holds nothing
        if (line.mid(at, key.size()) == key && !key.isEmpty())
            return end - (at + key.size()) < 256 ? line.mid(at + key.size(), end - (at + key.size())) : QByteArray();
        at = end + 1;
    }
    return QByteArray();
}

QByteArray SettingsLine(const ClientSettings& s)
{
    QByteArray line;
    line += "UN:" + Value(s.UserName);
    line += "#WS:" + Value(s.WebHost);
    line += "#AL:" + Value(s.Alias).replace(':', QByteArray());
    line += "#DM:" + Value(s.AutoDaub);
    line += "#SO:" + Value(s.SoundOn);
    line += "#V0:" + Value(s.V0Value);
    line += "#V1:" + Value(s.FunBingoSet);
    line += "#V2:" + QByteArray::number(s.FunBingoIndex);
    line += "#V3:" + Value(s.CallerSet);
    line += "#V4:" + QByteArray::number(s.FunBingoCount);
    line += "#V5:" + Value(s.LastNewsUrl);
    line += "#V6:" + Value(s.ForgetPassword);
    line += "#V7:" + Value(s.Password);
    line += "#V8:#V9:#";
    return line;
}

void ApplySettingsLine(const QByteArray& line, ClientSettings& s, QString* captionPrefix)
{
    s.UserName = L1(SettingValue("UN:", line));
    s.WebHost = L1(SettingValue("WS:", line));
    s.AutoDaub = L1(SettingValue("DM:", line));
    s.SoundOn = L1(SettingValue("SO:", line));
    s.V0Value = L1(SettingValue("V0:", line));
    s.ForgetPassword = L1(SettingValue("V6:", line));
    if (s.ForgetPassword != QLatin1String("FALSE")) {
        s.Password.clear();
        s.ForgetPassword = QStringLiteral("TRUE");
    } else {
        s.Password = L1(SettingValue("V7:", line));
    }
    s.FunBingoIndex = 0;
    s.FunBingoSet.clear();
    s.CallerSet.clear();
    const QByteArray v3 = SettingValue("V3:", line);
    if (v3.size() > 1)
        s.CallerSet = L1(v3);
    const QByteArray v1 = SettingValue("V1:", line);
    if (v1.size() > 2) {
        s.FunBingoSet = L1(v1);
        // A count or index that is not a decimal number in its range (our writer never
        // makes one) falls back to a one-shout set played from its first shout.
        const int count = ToInt(SettingValue("V4:", line)).value_or(1);
        s.FunBingoCount = count >= 1 && count <= kMaxShouts ? count : 1;
        const QByteArray v2 = SettingValue("V2:", line);
        if (!v2.isEmpty()) {
            const int index = ToInt(v2).value_or(1);
            s.FunBingoIndex = index >= 0 && index <= s.FunBingoCount ? index : 1;
        }
    }
    s.LastNewsUrl = L1(SettingValue("V5:", line));
    if (captionPrefix)
        *captionPrefix = L1(SettingValue("V8:", line));
}

bool LoadSettings(const QString& path, ClientSettings& s, QString* captionPrefix)
{
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return false;
    // Only the first line counts; a line longer than this is not one we wrote.
    QByteArray line = file.read(64 * 1024);
    const int end = line.indexOf('\n');
    if (end >= 0)
        line.truncate(end);
    if (line.endsWith('\r'))
        line.chop(1);
    ApplySettingsLine(line, s, captionPrefix);
    return true;
}

bool SaveSettings(const QString& path, const ClientSettings& s, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QByteArray bytes = SettingsLine(s) + "\r\n";
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
