#include "ui/Keyboard.h"

#include "ui/PictureButton.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QShortcut>

namespace {

class CtrlTabTypesTab : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Tab || key->modifiers() != Qt::ControlModifier)
            return false;
        auto* memo = static_cast<QPlainTextEdit*>(watched);
        if (!memo->isReadOnly())
            memo->insertPlainText(QStringLiteral("\t"));
        return true;
    }
};

}

namespace Keyboard {

void SetTabChain(const QList<QWidget*>& widgets)
{
    for (qsizetype i = 1; i < widgets.size(); ++i)
        QWidget::setTabOrder(widgets[i - 1], widgets[i]);
}

void TabLeavesMemo(QPlainTextEdit* memo)
{
    memo->setTabChangesFocus(true);
    memo->installEventFilter(new CtrlTabTypesTab(memo));
}

void PressOnKey(PictureButton* button, const QKeySequence& key)
{
    // Qt offers a window shortcut only while its widget is shown and enabled.
    auto* shortcut = new QShortcut(key, button);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, button, &PictureButton::click);
}

}
