#include "shell/programfolder.h"

#include <QDir>

ProgramFolders ChooseProgramFolders(const QString& exeFolder, bool exeFolderWritable, const QString& dataHome)
{
    if (exeFolderWritable)
        return {exeFolder, QString()};
    return {QDir(dataHome).filePath(QStringLiteral("vexobingo")), exeFolder};
}
