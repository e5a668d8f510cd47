#pragma once

#include "core/LaunchFields.h"
#include "correction/EssayQueue.h"
#include "shell/ClosePolicy.h"

#include <QWidget>

class HandOver;
class PictureButton;
class QLabel;
class QLineEdit;
class QScrollArea;
class TfmeEditor;
class TfmeTeacher;

// The program's only main window: its own skin instead of the system's title bar, a menu
// strip with the title box, and one frame per run in a host panel.
class TfrmMain : public QWidget {
    Q_OBJECT
public:
    // Runs the whole start-up sequence: configuration from configDir, the hand-over socket,
    // and the launch file with its mode's set-up. Errors end in the error box; the window
    // opens with what was built.
    TfrmMain(const QString& launchFilePath, const QString& configDir);
    ~TfrmMain() override;

    void OpenLaunchFile(const QString& path);
    // A launch's fields, from a file or handed out by the course server.
    void OpenLaunchFields(const LaunchFields& fields);
    // The teacher frame gives way to the previous or next essay of its queue, as a closing
    // would end it (saved, or asked); a refused save or move leaves it as it was.
    void MoveInQueue(TfmeTeacher* frame, EssayQueue::Direction direction);
    void SetupStudentMode(const LaunchFields& fields);
    void SetupTeacherMode(const LaunchFields& fields);
    void SetupViewMode(const LaunchFields& fields);
    QWidget* CreateHostPanel();

    TfmeTeacher* FTeacher = nullptr;
    TfmeEditor* FEditor = nullptr;

    QLabel* imgTop;
    PictureButton* Image2;
    PictureButton* Image3;
    QLabel* Label1;
    QLabel* imgLeft;
    QLabel* imgBottom;
    QLabel* imgRight;
    QWidget* Panel1;
    QWidget* pnlMenu;
    // Below the menu strip: the host panels, scrolled when the screen cannot show the mode's
    // whole size.
    QScrollArea* pnlHost;
    QLineEdit* txtTitle;
    QLabel* Image1;
    QLabel* Image4;
    HandOver* handOver() const { return handOver_; }

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate(const QString& launchFilePath, const QString& configDir);
    // False when the person cancelled the closing.
    bool FormClose();
    // What closing asks of the frame in a host panel, if it holds one.
    static std::optional<ClosePolicy::Frame> closingOf(QWidget* host);
    void FlushJournals();
    void SetModeGeometry(int clientWidth, int windowHeight);
    // The mode's size, a new host panel and the frame filling it.
    template <typename Frame>
    Frame* createFrame(int clientWidth, int windowHeight);
    void layoutSkin();
    void layoutPanel1();
    QRect availableArea() const;
    void openHandedOver(const QString& path);
    bool edgeMouse(QWidget* strip, QEvent* event);
    void imgTopMouse(QEvent* event);

    bool FDragging = false;
    int FDragX = 0;
    int FDragY = 0;
    Qt::Edges resizing_;
    QPoint resizeStartGlobal_;
    QRect resizeStartGeometry_;
    bool centred_ = false;
    bool closeWaiting_ = false;  // a close waits for the transfer running
    QWidget* hostArea_;
    QList<QWidget*> hostPanels_;
    HandOver* handOver_ = nullptr;
    bool queueAll_ = false;  // the teacher's queue holds every essay, not only uncorrected ones
};
