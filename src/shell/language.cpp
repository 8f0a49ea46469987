#include "shell/language.h"

#include <QFile>
#include <QStringDecoder>

bool LanguageTable::load(const QString& path)
{
    clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // The file holds at most 501 short lines; anything past 1 MiB is not ours. What is read is
    // what the file holds, so no buffer of the bound is reserved.
    parse(file.read(qMin(file.size(), qint64(1024 * 1024))));
    return true;
}

void LanguageTable::clear()
{
    texts_.clear();
}

void LanguageTable::parse(const QByteArray& data)
{
    clear();
    int start = 0;
    for (int n = 0; n < kSlots && start < data.size(); ++n) {
        int end = data.indexOf('\n', start);
        if (end < 0)
            end = int(data.size());
        QByteArray line = data.mid(start, end - start);
        start = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.size() <= 2)
            continue;
        const int blank = line.indexOf(' ');
        if (blank <= 0)
            continue;   // not "id text": the slot stays empty
        bool ok = false;
        const int id = line.left(blank).toInt(&ok);
        if (!ok)
            continue;
        const QByteArray raw = line.mid(blank + 1);
        auto decode = QStringDecoder(QStringDecoder::Utf8);
        QString text = decode(raw);
        if (decode.hasError())
            text = QString::fromLatin1(raw);
        if (!texts_.contains(id))
            texts_.insert(id, text.left(kMaxText));
    }
}

QString LanguageTable::text(int id) const
{
    return texts_.value(id, QStringLiteral("-"));
}
