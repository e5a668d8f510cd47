#pragma once

#include <QObject>
#include <QString>
#include <memory>

// Every message box of the program goes through here, so tests can answer them.
class DialogService {
public:
    virtual ~DialogService() = default;

    // Information and error boxes may be asked for anywhere, an editor's own handler
    // included: a service that shows real boxes opens them only once that handler has
    // returned. Whatever must stop an action stops it at once; only the box waits.
    virtual void information(const QString& caption, const QString& text) = 0;
    virtual void error(const QString& caption, const QString& text) = 0;
    // Yes / No, no icon. True for Yes. Answered before it returns, so it belongs to clicks and
    // the window's closing, never to a key, edit or text-change handler.
    virtual bool question(const QString& caption, const QString& text) = 0;
    // Yes / No / Cancel, no icon; Escape and the window's close button mean Cancel. The
    // same rules as question(). A service that knows only two answers never cancels.
    enum class Answer { Yes, No, Cancel };
    virtual Answer questionWithCancel(const QString& caption, const QString& text);
    // The picture open dialog. filter in Qt's form ("All (*.jpg *.bmp);;..."); an empty
    // path when it is cancelled, which is all a service without dialogs answers.
    virtual QString openPicture(const QString& filter);
    // Opens the boxes still waiting, now: for the places where nothing can be destroyed
    // under them and no event loop may follow (the window's closing, a start-up refused).
    virtual void showPending() {}

    static DialogService& instance();
    // Installs a service and returns the one it replaces.
    static std::unique_ptr<DialogService> replace(std::unique_ptr<DialogService> service);
};

// The real boxes, modal, on the screen. Information and error boxes queue and open one after
// another from the event loop, in the order they were asked for.
class MessageBoxDialogService : public DialogService {
public:
    void information(const QString& caption, const QString& text) override;
    void error(const QString& caption, const QString& text) override;
    bool question(const QString& caption, const QString& text) override;
    Answer questionWithCancel(const QString& caption, const QString& text) override;
    QString openPicture(const QString& filter) override;
    void showPending() override;

private:
    struct Message {
        bool isError;
        QString caption;
        QString text;
    };

    void post(Message message);

    QList<Message> pending_;
    bool showing_ = false;
    QObject posts_;  // the queued call dies with the service
};
