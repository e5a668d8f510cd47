#include "writing/ManuscriptRules.h"

#include "writing/SheetSnapshot.h"

#include <QSet>

namespace ManuscriptRules {

namespace {

constexpr int kFirst = 1;
constexpr int kLast = 20;
constexpr int kMargin = 21;

bool isQuestionOrExclamation(QChar c)
{
    return c == u'?' || c == u'!' || c == u'？' || c == u'！';
}

bool endsWithStop(const QString& text)
{
    return text.endsWith(u'.') || text.endsWith(u',');
}

bool endsWithDigit(const QString& text)
{
    return !text.isEmpty() && text.back() >= u'0' && text.back() <= u'9';
}

// "1919. 3. 1.": a date's full stops take a blank after them.
bool isNumberStop(const QString& before, const QString& text)
{
    return text.endsWith(u'.') && (endsWithDigit(text.chopped(1)) || (text.size() == 1 && endsWithDigit(before)));
}

// Marks that close what stands before them and so never begin a line. Straight and typed
// double quotes open as well as close, so they are left out.
bool isClosingMark(const QString& text)
{
    static const QString marks = QStringLiteral(".,?!？！)）]］}｝”’」』〉》:;：；");
    return !text.isEmpty() && marks.contains(text[0]);
}

// Quotes close a question or exclamation as well: ″왜?″ needs no blank inside.
bool mayFollowMark(const QString& next)
{
    static const QString quotes = QStringLiteral("″\"'”’");
    return isClosingMark(next) || quotes.contains(next[0]);
}

const QString& closers()
{
    static const QString marks = QStringLiteral("”’″\"')）」』〉》");
    return marks;
}

bool onlyClosers(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return closers().contains(c); });
}

bool endsSentence(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && closers().contains(text[end - 1]))
        --end;
    return end > 0 && (text[end - 1] == u'.' || isQuestionOrExclamation(text[end - 1]));
}

enum class Kind { Other, Digits, Lower };

Kind kindOf(const QString& text)
{
    if (text.isEmpty() || text.size() > 2)
        return Kind::Other;
    bool digits = true;
    bool lower = true;
    for (QChar c : text) {
        digits = digits && c >= u'0' && c <= u'9';
        lower = lower && c >= u'a' && c <= u'z';
    }
    return digits ? Kind::Digits : lower ? Kind::Lower : Kind::Other;
}

bool isCapital(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'Ａ' && c <= u'Ｚ');
}

// How a line ends: the text of its margin or last written cell, the blank cells after it
// (-1 for a line without text), and whether its last sentence ends there (closing quotes
// after the mark may take cells of their own).
struct LineEnd {
    QString text;
    int blanks = -1;
    bool sentence = false;
};

LineEnd lineEnd(const SheetSnapshot& sheet, int line)
{
    LineEnd end;
    for (int column = kMargin; column >= kFirst; --column) {
        const QString& text = sheet.at(line, column);
        if (text.isEmpty())
            continue;
        if (end.blanks < 0) {
            end.text = text;
            end.blanks = column == kMargin ? 0 : kLast - column;
        }
        if (!onlyClosers(text)) {
            end.sentence = endsSentence(text);
            break;
        }
    }
    return end;
}

// A line begins a paragraph when the line before it has none of the essay's text, ends two
// or more cells short of the edge, or ends one short after a full stop (a comma or word
// may be followed by a word gap at the edge, a full stop may not). A full line that ends
// its sentence may be followed by an indented paragraph.
bool beginsParagraph(const SheetSnapshot& sheet, int line)
{
    if (line == 0)
        return true;
    const LineEnd before = lineEnd(sheet, line - 1);
    if (before.blanks < 0 || before.blanks >= 2)
        return true;
    if (before.blanks == 1 && before.text.endsWith(u'.'))
        return true;
    return sheet.isBlank(line, kFirst) && before.sentence;
}

class Finder {
public:
    explicit Finder(const SheetSnapshot& sheet) : sheet_(sheet) {}

    QList<Finding> run()
    {
        for (int line = 0; line < sheet_.lineCount(); ++line) {
            if (!sheet_.lineHasText(line))
                continue;
            lineStart(line);
            punctuation(line);
            capitals(line);
        }
        halfWidthPairs();
        std::sort(found_.begin(), found_.end(), [](const Finding& a, const Finding& b) {
            return a.cell.line != b.cell.line ? a.cell.line < b.cell.line : a.cell.column < b.cell.column;
        });
        return found_;
    }

private:
    void add(int line, int column, Rule rule)
    {
        if (!taken_.contains({line, column}))
            found_.append({{line, column}, rule});
        taken_.insert({line, column});
    }

    void lineStart(int line)
    {
        const bool paragraph = beginsParagraph(sheet_, line);
        if (isClosingMark(sheet_.at(line, kFirst)))
            add(line, kFirst, Rule::MarkAtLineStart);
        else if (paragraph && !sheet_.isBlank(line, kFirst))
            add(line, kFirst, Rule::ParagraphIndent);
        else if (!paragraph && sheet_.isBlank(line, kFirst))
            add(line, kFirst, Rule::LineStartBlank);
    }

    void punctuation(int line)
    {
        int lastText = kLast;
        while (lastText >= kFirst && sheet_.isBlank(line, lastText))
            --lastText;
        for (int column = kFirst; column < lastText; ++column) {
            const QString& text = sheet_.at(line, column);
            if (text.isEmpty())
                continue;
            const QString& next = sheet_.at(line, column + 1);
            const QString& before = column > kFirst ? sheet_.at(line, column - 1) : QString();
            if (endsWithStop(text) && !isNumberStop(before, text) && next.isEmpty())
                add(line, column + 1, Rule::BlankAfterStop);
            else if (isQuestionOrExclamation(text.back()) && !next.isEmpty() && !mayFollowMark(next))
                add(line, column, Rule::NoBlankAfterMark);
        }
    }

    void capitals(int line)
    {
        for (int column = kFirst; column <= kLast; ++column) {
            const QString& text = sheet_.at(line, column);
            if (text.size() > 1 && std::any_of(text.begin(), text.end(), isCapital))
                add(line, column, Rule::CapitalAlone);
        }
    }

    // Digits, and lower-case letters, go two to a cell: in a run of cells of one kind only
    // the last may hold one. A run goes on across the edge of the line.
    void halfWidthPairs()
    {
        Kind runKind = Kind::Other;
        CellPos single{-1, 0};
        for (int line = 0; line < sheet_.lineCount(); ++line) {
            for (int column = kFirst; column <= kLast; ++column) {
                const QString& text = sheet_.at(line, column);
                const Kind kind = kindOf(text);
                if (kind != Kind::Other && kind == runKind && single.line >= 0)
                    add(single.line, single.column, Rule::HalfWidthPairs);
                runKind = kind;
                single = kind != Kind::Other && text.size() == 1 ? CellPos{line, column} : CellPos{-1, 0};
            }
            if (!sheet_.isBlank(line, kMargin))
                runKind = Kind::Other;
        }
    }

    const SheetSnapshot& sheet_;
    QList<Finding> found_;
    QSet<std::pair<int, int>> taken_;
};

}

QList<Finding> Check(const SheetSnapshot& sheet)
{
    return Finder(sheet).run();
}

QString Hint(Rule rule)
{
    switch (rule) {
    case Rule::ParagraphIndent:
        return QStringLiteral("원고지: 문단 첫 칸은 비웁니다");
    case Rule::LineStartBlank:
        return QStringLiteral("원고지: 문단을 시작할 때만 줄 첫 칸을 비웁니다");
    case Rule::BlankAfterStop:
        return QStringLiteral("원고지: 마침표와 쉼표 다음 칸은 비우지 않습니다");
    case Rule::NoBlankAfterMark:
        return QStringLiteral("원고지: 물음표와 느낌표 다음에는 한 칸을 비웁니다");
    case Rule::MarkAtLineStart:
        return QStringLiteral("원고지: 문장 부호는 줄 첫 칸에 쓰지 않고 앞 줄 끝 칸이나 여백에 씁니다");
    case Rule::HalfWidthPairs:
        return QStringLiteral("원고지: 숫자와 알파벳 소문자는 한 칸에 두 자씩 씁니다");
    case Rule::CapitalAlone:
        return QStringLiteral("원고지: 알파벳 대문자는 한 칸에 한 자씩 씁니다");
    }
    return {};
}

}
