#include "writing/SheetWords.h"

#include "writing/SheetSnapshot.h"

namespace {

bool isSyllable(QChar c)
{
    return c.unicode() >= 0xAC00 && c.unicode() <= 0xD7A3;
}

// A letter or digit of any script goes into a word; the word is then kept only when all of
// it is Hangul.
bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber();
}

class Collector {
public:
    QList<SheetWord> words;

    void cell(CellPos pos, const QString& text, bool lineStart)
    {
        for (QChar c : text) {
            if (!isWordCharacter(c)) {
                finish();
                continue;
            }
            if (lineStart && !word_.text.isEmpty() && word_.lineBreakAt < 0)
                word_.lineBreakAt = word_.text.size();
            lineStart = false;
            word_.text += c;
            if (word_.cells.isEmpty() || !(word_.cells.back() == pos))
                word_.cells.append(pos);
        }
        if (text.isEmpty())
            finish();
    }

    void finish()
    {
        if (!word_.text.isEmpty() && std::all_of(word_.text.begin(), word_.text.end(), isSyllable))
            words.append(word_);
        word_ = {};
    }

private:
    SheetWord word_;
};

}

QList<SheetWord> SheetWords(const SheetSnapshot& sheet)
{
    Collector collect;
    for (int line = 0; line < sheet.lineCount(); ++line) {
        for (int column = 1; column <= 20; ++column)
            collect.cell({line, column}, sheet.at(line, column), column == 1);
        if (!sheet.isBlank(line, 21))
            collect.cell({line, 21}, sheet.at(line, 21), false);
    }
    collect.finish();
    return collect.words;
}
