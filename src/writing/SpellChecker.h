#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>

class Hunspell;

// Korean spelling through libhunspell and the hunspell-ko dictionary, with the student's own
// words kept in a file beside the other user data. Not thread-safe: one thread uses it.
class SpellChecker {
public:
    // Debian's hunspell-ko: the .aff and .dic files share this path.
    static QString defaultDictionary();
    // The student's own words, one a line (UTF-8), in the user's data folder.
    static QString defaultUserWords();

    // Loads `dictionary`.aff and .dic (about half a second for Korean) and the user's words.
    // A dictionary that is not there leaves the checker unavailable, with problem() saying so.
    SpellChecker(const QString& dictionary, const QString& userWords);
    ~SpellChecker();

    bool available() const { return hunspell_ != nullptr; }
    QString problem() const { return problem_; }

    bool correct(const QString& word) const;
    // Up to a second for a Korean word.
    QStringList suggest(const QString& word) const;
    // Accepted from now on and written to the user's words; false with problem() when the
    // file cannot be written (the word is still accepted in this run).
    bool addWord(const QString& word);

private:
    std::unique_ptr<Hunspell> hunspell_;
    // Kept apart from hunspell, whose Korean dictionary compares words in a decomposed form
    // that words added at run time do not get.
    QSet<QString> ownWords_;
    QString userWords_;
    QString problem_;
};
