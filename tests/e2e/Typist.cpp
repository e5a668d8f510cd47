#include "Typist.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QWidget>

namespace {

constexpr char16_t kFirstSyllable = 0xAC00;
constexpr char16_t kLastSyllable = 0xD7A3;
// Compatibility jamo of the 19 initial consonants, as an input method shows them.
constexpr char16_t kInitials[] = {0x3131, 0x3132, 0x3134, 0x3137, 0x3138, 0x3139, 0x3141, 0x3142, 0x3143, 0x3145,
                                  0x3146, 0x3147, 0x3148, 0x3149, 0x314A, 0x314B, 0x314C, 0x314D, 0x314E};

void preedit(QWidget* target, const QString& text)
{
    QInputMethodEvent event(text, {});
    QApplication::sendEvent(target, &event);
}

void commit(QWidget* target, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(target, &event);
}

void key(QWidget* target, int code, const QString& text, Qt::KeyboardModifiers modifiers)
{
    QKeyEvent press(QEvent::KeyPress, code, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, code, modifiers, text);
    QApplication::sendEvent(target, &release);
}

void typeSyllable(QWidget* target, QChar syllable)
{
    preedit(target, QChar(kInitials[(syllable.unicode() - kFirstSyllable) / 588]));
    preedit(target, syllable);
    preedit(target, {});
    commit(target, syllable);
}

// Printable ASCII: Qt's key code is the character's upper-case code.
void typeAscii(QWidget* target, QChar c)
{
    static const QString shifted = QStringLiteral("~!@#$%^&*()_+{}|:\"<>?");
    const bool shift = c.isUpper() || shifted.contains(c);
    key(target, c.toUpper().unicode(), c, shift ? Qt::ShiftModifier : Qt::NoModifier);
}

}

void TypeText(QWidget* target, const QString& text)
{
    for (const QChar c : text) {
        if (c == u'\n')
            key(target, Qt::Key_Return, QStringLiteral("\r"), Qt::NoModifier);
        else if (c.unicode() >= kFirstSyllable && c.unicode() <= kLastSyllable)
            typeSyllable(target, c);
        else if (c.unicode() >= 0x20 && c.unicode() < 0x7F)
            typeAscii(target, c);
        else
            throw std::invalid_argument("TypeText: no key for U+" + QString::number(c.unicode(), 16).toStdString());
    }
}
