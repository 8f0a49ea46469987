#include "shell/settingsstore.h"


namespace {
const QString kFile = QStringLiteral("defaults.cfg");
}

bool SettingsStore::load(QString* captionPrefix)
{
    const QString defaultHost = values_.WebHost;
    const bool read = LoadSettings(folder_.path(kFile), values_, captionPrefix);
    // A file without a web host (or an empty or damaged one) keeps the host we start with:
    // an empty host could never sign in again.
    if (values_.WebHost.trimmed().isEmpty())
        values_.WebHost = defaultHost;
    return read;
}

void SettingsStore::save()
{
    QString error;
    if (!SaveSettings(folder_.writePath(kFile), values_, &error))
        player_->error(QStringLiteral("Settings not saved: ") + error);
}

void SettingsStore::startFresh(const QString& webHost)
{
    values_.UserName.clear();
    values_.Password.clear();
    values_.WebHost = webHost;
}

void SettingsStore::setLogin(const QString& userName, const QString& password)
{
    values_.UserName = userName;
    values_.Password = password;
}

void SettingsStore::setFunBingoSet(const QString& prefix, const QString& countText)
{
    values_.FunBingoSet = prefix;
    if (prefix.size() >= 2) {
        values_.FunBingoIndex = 1;
        // A count that is not a whole number 1..999 leaves a set of one shout.
        bool ok = false;
        const int count = countText.trimmed().toInt(&ok, 10);
        values_.FunBingoCount = ok && count >= 1 && count <= kMaxShouts ? count : 1;
    } else {
        values_.FunBingoIndex = 0;
        values_.FunBingoCount = 1;
    }
}

QString SettingsStore::nextBingoShout()
{
    if (values_.FunBingoIndex == 0)
        return QStringLiteral("Bingo.wav");
    values_.FunBingoIndex += 1;
    if (values_.FunBingoIndex > values_.FunBingoCount)
        values_.FunBingoIndex = 1;
    return values_.FunBingoSet + QString::number(values_.FunBingoIndex) + QStringLiteral(".wav");
}
