#pragma once
// The language table: up to 501 (id, text) slots loaded from "<language>.txt".
#include <QByteArray>
#include <QHash>
#include <QString>

class LanguageTable {
public:
    static constexpr int kSlots = 501;
    static constexpr int kMaxText = 1024;

    // Fills the table from a file; a missing file leaves it empty. Returns whether it was read.
    bool load(const QString& path);
    // Fills the table from the file's bytes: line n fills slot n.
    void parse(const QByteArray& data);
    void clear();
    // The text of the first slot carrying id; "-" when none does.
    QString text(int id) const;

private:
    QHash<int, QString> texts_;   // the first text of each id
};
