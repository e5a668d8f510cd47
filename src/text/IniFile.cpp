#include "text/IniFile.h"

#include "core/AppError.h"
#include "text/Cp949.h"

#include <QFile>
#include <QStringView>

IniFile IniFile::load(const QString& path)
{
    IniFile ini;
    QFile file(path);
    if (!file.exists())
        return ini;
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("%1 을 읽을 수 없습니다: %2").arg(path, file.errorString()));
    ini.text_ = Cp949::decode(file.readAll());
    return ini;
}

IniFile IniFile::fromText(const QString& text)
{
    IniFile ini;
    ini.text_ = text;
    return ini;
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const
{
    bool inSection = false;
    for (QStringView line : QStringView(text_).split(u'\n')) {
        line = line.trimmed();
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            const QStringView name = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection || line.startsWith(u';'))
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0 || line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) != 0)
            continue;
        QStringView v = line.mid(eq + 1).trimmed();
        if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
            v = v.mid(1, v.size() - 2);
        return v.left(kMaxValueLength).toString();
    }
    return std::nullopt;
}
