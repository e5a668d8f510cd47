#include "correction/DisplayedLines.h"
#include "ui/Fonts.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

TEST(DisplayedLines, WrapsAtBlanksLikeATextBox)
{
    const QFont font = GulimcheFont(19);
    const QFontMetrics metrics(font);
    const int w = metrics.horizontalAdvance(u'a');
    ASSERT_EQ(metrics.horizontalAdvance(u' '), w) << "the test measures in cells of a fixed-pitch face";
    const struct {
        QString text;
        QStringList lines;
    } cases[] = {
        {"", {}},
        {"abc", {"abc"}},
        {"abc\r\n", {"abc"}},
        {"abc\r\n\r\n", {"abc", ""}},
        {"\r\nabc", {"", "abc"}},
        {"a\nb\rc", {"a", "b", "c"}},
        {"aaaa bbbb cccc", {"aaaa bbbb ", "cccc"}},
        {"aaaa bbbbbb", {"aaaa ", "bbbbbb"}},
        {"aaaa bbbbbbbbbbbb", {"aaaa ", "bbbbbbbbbb", "bb"}},
        {"aaaaaaaaa     bbb", {"aaaaaaaaa     ", "bbb"}},
        {"aaaaaaaaaaaaaaa", {"aaaaaaaaaa", "aaaaa"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DisplayedLines(c.text, font, 10 * w), c.lines) << c.text.toStdString();
}

TEST(DisplayedLines, KoreanWordsStayWhole)
{
    const QFont font = GulimcheFont(19);
    const int hangul = QFontMetrics(font).horizontalAdvance(u'가');
    const QStringList lines = DisplayedLines(QStringLiteral("도서관에 다녀와서 책을 읽었다"), font, 6 * hangul);
    EXPECT_EQ(lines, QStringList({"도서관에 ", "다녀와서 ", "책을 읽었다"}));
}
