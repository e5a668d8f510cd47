#pragma once

#include <QString>
#include <memory>

// Every message box of the program goes through here, so tests can answer them.
class DialogService {
public:
    virtual ~DialogService() = default;

    virtual void information(const QString& caption, const QString& text) = 0;
    virtual void error(const QString& caption, const QString& text) = 0;
    // Yes / No, no icon. True for Yes.
    virtual bool question(const QString& caption, const QString& text) = 0;
    // The picture open dialog. filter in Qt's form ("All (*.jpg *.bmp);;..."); an empty
    // path when it is cancelled, which is all a service without dialogs answers.
    virtual QString openPicture(const QString& filter);

    static DialogService& instance();
    // Installs a service and returns the one it replaces.
    static std::unique_ptr<DialogService> replace(std::unique_ptr<DialogService> service);
};

// The real boxes, modal, on the screen.
class MessageBoxDialogService : public DialogService {
public:
    void information(const QString& caption, const QString& text) override;
    void error(const QString& caption, const QString& text) override;
    bool question(const QString& caption, const QString& text) override;
    QString openPicture(const QString& filter) override;
};
