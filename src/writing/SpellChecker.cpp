#include "writing/SpellChecker.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <hunspell/hunspell.hxx>

QString SpellChecker::defaultDictionary()
{
    return QStringLiteral("/usr/share/hunspell/ko_KR");
}

QString SpellChecker::defaultUserWords()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("spelling/words.txt"));
}

SpellChecker::SpellChecker(const QString& dictionary, const QString& userWords) : userWords_(userWords)
{
    const QString aff = dictionary + QStringLiteral(".aff");
    const QString dic = dictionary + QStringLiteral(".dic");
    if (!QFileInfo(aff).isReadable() || !QFileInfo(dic).isReadable()) {
        problem_ =
            QStringLiteral("맞춤법 검사를 쓸 수 없습니다: 한국어 사전(%1)이 없습니다. hunspell-ko를 설치하십시오.")
                .arg(QDir::toNativeSeparators(dic));
        return;
    }
    hunspell_ = std::make_unique<Hunspell>(QFile::encodeName(aff).constData(), QFile::encodeName(dic).constData());
    QFile words(userWords_);
    if (!userWords_.isEmpty() && words.open(QIODevice::ReadOnly))
        for (const QByteArray& line : words.readAll().split('\n'))
            if (!line.trimmed().isEmpty())
                ownWords_.insert(QString::fromUtf8(line.trimmed()));
}

SpellChecker::~SpellChecker() = default;

bool SpellChecker::correct(const QString& word) const
{
    return !hunspell_ || ownWords_.contains(word) || hunspell_->spell(word.toStdString());
}

QStringList SpellChecker::suggest(const QString& word) const
{
    QStringList out;
    if (hunspell_)
        for (const std::string& s : hunspell_->suggest(word.toStdString()))
            out.append(QString::fromStdString(s));
    return out;
}

bool SpellChecker::addWord(const QString& word)
{
    ownWords_.insert(word);
    QDir().mkpath(QFileInfo(userWords_).absolutePath());
    QFile words(userWords_);
    if (!words.open(QIODevice::Append) || words.write((word + u'\n').toUtf8()) < 0) {
        problem_ = QStringLiteral("사전에 추가한 단어를 %1에 쓸 수 없습니다: %2")
                       .arg(QDir::toNativeSeparators(userWords_), words.errorString());
        return false;
    }
    return true;
}
