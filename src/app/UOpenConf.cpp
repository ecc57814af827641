#include "app/UOpenConf.h"

#include "app/UComon.h"
#include "platform/core/StrUtils.h"

#include <QDir>

#include <algorithm>

QStringList Load_Existing_Configuration(const QString& dirProjects)
{
    QStringList SL;
    if (dirProjects.isEmpty())
        return SL;
    const QDir dir(dirProjects);
    if (!dir.exists())
        return SL;
    SL = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Unsorted);
    std::sort(SL.begin(), SL.end(), [](const QString& a, const QString& b) {
        const int c = CompareText(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    return SL;
}

int Search_Open_Conf(const QStringList& SL, const QString& name)
{
    for (int i = 0; i < SL.size(); ++i)
        if (SameText(SL.at(i), name))
            return i;
    return -1;
}

QString Open_Conf_Name()
{
    const QString prefix = Dir_Projects + QLatin1Char('/');
    if (Dir_Project.isEmpty() || !Dir_Project.startsWith(prefix))
        return QString();
    return Dir_Project.mid(prefix.size());
}

int Preselect_Conf(const QStringList& SL, QString& Name_Conf)
{
    if (SL.isEmpty())
        return -1;
    int i = Search_Open_Conf(SL, Open_Conf_Name());
    if (i < 0)
        i = 0;
    Name_Conf = SL.at(i);
    return i;
}
