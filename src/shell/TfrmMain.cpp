#include "shell/TfrmMain.h"

#include "core/AppError.h"
#include "core/Endpoint.h"
#include "core/TransferGate.h"
#include "correction/TeacherQueueBar.h"
#include "correction/TfmeTeacher.h"
#include "correction/TfrmTemp.h"
#include "shell/ClosePolicy.h"
#include "shell/Configuration.h"
#include "shell/HandOver.h"
#include "shell/LaunchFile.h"
#include "shell/ServerMismatch.h"
#include "shell/SkinPictures.h"
#include "shell/WindowEdges.h"
#include "shell/WindowPlacement.h"
#include "text/IniFile.h"
#include "ui/CompositionGuard.h"
#include "ui/DialogService.h"
#include "ui/ErrorBox.h"
#include "ui/Fonts.h"
#include "ui/PictureButton.h"
#include "writing/TfmeEditor.h"
#include "writing/WritingSession.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace {
constexpr int kTopHeight = 34;
constexpr int kBorder = 9;
constexpr int kMenuHeight = 26;
constexpr QSize kDesignSize(630, 448);

// Closing's question, for a frame with unsaved work.
ClosePolicy::Answer askToSave()
{
    switch (DialogService::instance().questionWithCancel(QStringLiteral("확인"), QStringLiteral("저장하시겠습니까?"))) {
    case DialogService::Answer::Yes:
        return ClosePolicy::Answer::Yes;
    case DialogService::Answer::No:
        return ClosePolicy::Answer::No;
    default:
        return ClosePolicy::Answer::Cancel;
    }
}

QLabel* stretchedPicture(const QPixmap& pixmap, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setPixmap(pixmap);
    label->setScaledContents(true);
    return label;
}
}

TfrmMain::TfrmMain(const QString& launchFilePath, const QString& configDir)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("글빛마당"));
    setFont(GulimcheFont(19));
    setAttribute(Qt::WA_AcceptTouchEvents, false);
    CompositionGuard::Install();

    imgTop = stretchedPicture(SkinPictures::topStrip(), this);
    imgTop->setObjectName(QStringLiteral("imgTop"));
    imgTop->setMouseTracking(true);
    imgLeft = stretchedPicture(SkinPictures::leftBorder(), this);
    imgLeft->setObjectName(QStringLiteral("imgLeft"));
    imgBottom = stretchedPicture(SkinPictures::bottomBorder(), this);
    imgBottom->setObjectName(QStringLiteral("imgBottom"));
    imgBottom->setMouseTracking(true);
    imgRight = stretchedPicture(SkinPictures::rightBorder(), this);
    imgRight->setObjectName(QStringLiteral("imgRight"));

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setAutoFillBackground(true);
    Panel1->setPalette(QPalette(Qt::white));
    pnlMenu = new QWidget(Panel1);
    pnlMenu->setObjectName(QStringLiteral("pnlMenu"));
    pnlMenu->setAutoFillBackground(true);
    QPalette menuPalette = pnlMenu->palette();
    menuPalette.setColor(QPalette::Window, QColor(255, 237, 201));
    pnlMenu->setPalette(menuPalette);
    Image4 = new QLabel(pnlMenu);
    Image4->setObjectName(QStringLiteral("Image4"));
    Image4->setGeometry(8, 5, 35, 19);
    Image4->setAccessibleName(QStringLiteral("제목"));
    txtTitle = new QLineEdit(pnlMenu);
    txtTitle->setObjectName(QStringLiteral("txtTitle"));
    txtTitle->setGeometry(48, 4, 573, 20);
    txtTitle->setFont(GulimcheFont(12));
    txtTitle->setAccessibleName(QStringLiteral("제목"));
    connect(txtTitle, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (FEditor)
            FEditor->session().SetTitle(text);
    });
    pnlHost = new QScrollArea(Panel1);
    pnlHost->setObjectName(QStringLiteral("pnlHost"));
    pnlHost->setFrameShape(QFrame::NoFrame);
    pnlHost->setWidgetResizable(true);
    // Not a Tab stop of its own: Tab goes through the frame's controls.
    pnlHost->setFocusPolicy(Qt::NoFocus);
    hostArea_ = new QWidget;
    hostArea_->setObjectName(QStringLiteral("HostArea"));
    new QGridLayout(hostArea_);
    hostArea_->layout()->setContentsMargins(0, 0, 0, 0);
    pnlHost->setWidget(hostArea_);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAccessibleName(QStringLiteral("로고"));
    Label1 = new QLabel(QStringLiteral("라임글방"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(GulimcheFont(16, true));
    // A palette, not a style sheet: the first style sheet costs the start-up milliseconds.
    QPalette captionPalette = Label1->palette();
    captionPalette.setColor(QPalette::WindowText, Qt::white);
    Label1->setPalette(captionPalette);
    Image2 = new PictureButton(SkinPictures::minimiseGlyph(), QStringLiteral("최소화"), this);
    Image2->setObjectName(QStringLiteral("Image2"));
    connect(Image2, &PictureButton::clicked, this, &QWidget::showMinimized);
    Image3 = new PictureButton(SkinPictures::closeGlyph(), QStringLiteral("닫기"), this);
    Image3->setObjectName(QStringLiteral("Image3"));
    connect(Image3, &PictureButton::clicked, this, &QWidget::close);
    // Tab: the title box, the frame's controls, then minimise and close.
    setTabOrder(Image3, txtTitle);

    for (QWidget* strip : {static_cast<QWidget*>(imgTop), static_cast<QWidget*>(imgBottom)})
        strip->installEventFilter(this);

    SetModeGeometry(kDesignSize.width(), kDesignSize.height());
    FormCreate(launchFilePath, configDir);
    // Text last: laying it out waits for the font database, still being read on another
    // thread while the work above, which needs no fonts, is done.
    Image4->setPixmap(SkinPictures::titleCaption());
    if (Image1->pixmap().isNull())
        Image1->setPixmap(SkinPictures::logo());
    Image1->adjustSize();
    Label1->adjustSize();
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::FormCreate(const QString& launchFilePath, const QString& configDir)
{
    try {
        const QString configPath = ConfigurationPath(configDir);
        const IniFile ini = IniFile::load(configPath);
        const std::optional<QString> url = ini.value(QStringLiteral("CONFIG"), QStringLiteral("URL"));
        const std::optional<QString> title = ini.value(QStringLiteral("CONFIG"), QStringLiteral("title"));
        Label1->setText(title.value_or(QStringLiteral("벨로루 zudur")));
        if (title)
            Label1->setText(DecodeConfigValue(*title));
        SetServerUrl(url ? DecodeConfigValue(*url) : DefaultServerUrl());
        TransferSettings transfers = ReadTransferSettings(ini);
        if (!transfers.caFile.isEmpty())
            transfers.caFile = QFileInfo(configPath).dir().absoluteFilePath(transfers.caFile);
        SetTransferSettings(transfers);

        const QString logoPath = QDir(configDir).filePath(QStringLiteral("logo.gif"));
        QPixmap logo;
        if (QFileInfo::exists(logoPath) && logo.load(logoPath, "GIF"))
            Image1->setPixmap(logo);

        CreateFrmTemp();
        handOver_ = new HandOver(this);
        connect(handOver_, &HandOver::launchFileArrived, this, &TfrmMain::openHandedOver);
        OpenLaunchFile(launchFilePath);
    } catch (...) {
        ShowCurrentException();
    }
}

void TfrmMain::OpenLaunchFile(const QString& path)
{
    if (!QFileInfo::exists(path)) {
        ShowInfo(path + QStringLiteral(" 을 찾을 수 없습니다."));
        return;
    }
    OpenLaunchFields(LaunchFile::read(path));
}

void TfrmMain::OpenLaunchFields(const LaunchFields& fields)
{
    const QString mismatch = ServerMismatch(fields, ServerUrl());
    if (!mismatch.isEmpty())
        ShowInfo(mismatch);
    const QString& mode = fields.at(0);
    if (mode == QLatin1String("S001"))
        SetupStudentMode(fields);
    else if (mode == QLatin1String("T001"))
        SetupTeacherMode(fields);
    else if (mode == QLatin1String("C001"))
        SetupViewMode(fields);
}

void TfrmMain::openHandedOver(const QString& path)
{
    try {
        OpenLaunchFile(path);
    } catch (...) {
        ShowCurrentException();
    }
}

template <typename Frame>
Frame* TfrmMain::createFrame(int clientWidth, int windowHeight)
{
    SetModeGeometry(clientWidth, windowHeight);
    QWidget* host = CreateHostPanel();
    auto* frame = new Frame(host);
    host->layout()->addWidget(frame);
    return frame;
}

void TfrmMain::SetupStudentMode(const LaunchFields& fields)
{
    FEditor = createFrame<TfmeEditor>(818, 628);
    FEditor->SetupStudentRun(fields, txtTitle);
    FEditor->OfferRecovery();
}

void TfrmMain::SetupTeacherMode(const LaunchFields& fields)
{
    FTeacher = createFrame<TfmeTeacher>(1018, 758);
    // Queued: the move deletes the frame whose button asked for it.
    connect(
        FTeacher->QueueBar(), &TeacherQueueBar::moveRequested, this,
        [this, frame = QPointer(FTeacher)](EssayQueue::Direction to) { Guarded([&] { MoveInQueue(frame, to); }); },
        Qt::QueuedConnection);
    FTeacher->QueueBar()->chkAll->setChecked(queueAll_);
    FTeacher->SetupTeacherRun(fields, txtTitle);
    FTeacher->OfferRecovery();
}

void TfrmMain::SetupViewMode(const LaunchFields& fields)
{
    FTeacher = createFrame<TfmeTeacher>(937, 758);
    FTeacher->SetupViewRun(fields, txtTitle);
}

QWidget* TfrmMain::CreateHostPanel()
{
    auto* host = new QWidget(hostArea_);
    host->setObjectName(QStringLiteral("HostPanel%1").arg(hostPanels_.size() + 1));
    auto* layout = new QVBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    hostPanels_.append(host);
    static_cast<QGridLayout*>(hostArea_->layout())->addWidget(host, 0, 0);
    host->show();
    host->raise();
    return host;
}

void TfrmMain::SetModeGeometry(int clientWidth, int windowHeight)
{
    // The frame keeps the mode's width and scrolls sideways when the window has to be
    // narrower. In height it gives way down to its own layout's minimum (its page or sheet
    // scrolls inside), so the button strip at its foot stays in view on a short screen.
    hostArea_->setMinimumWidth(clientWidth - 2 * kBorder);
    const QRect area = availableArea();
    QSize size = WindowPlacement::Fit({clientWidth, windowHeight}, area);
    // A frame cut in height scrolls; its scroll bar takes width the screen may still offer.
    if (size.height() < windowHeight)
        size.setWidth(std::min(clientWidth + style()->pixelMetric(QStyle::PM_ScrollBarExtent), area.width()));
    resize(size);
    layoutSkin();
}

QRect TfrmMain::availableArea() const
{
    const QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen();
    return shown ? shown->availableGeometry() : QRect();
}

void TfrmMain::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutSkin();
}

void TfrmMain::layoutSkin()
{
    const int w = width();
    const int h = height();
    imgTop->setGeometry(0, 0, w, kTopHeight);
    imgBottom->setGeometry(0, h - kBorder, w, kBorder);
    imgLeft->setGeometry(0, kTopHeight, kBorder, h - kTopHeight - kBorder);
    imgRight->setGeometry(w - kBorder, kTopHeight, kBorder, h - kTopHeight - kBorder);
    Panel1->setGeometry(kBorder, kTopHeight, w - 2 * kBorder, h - kTopHeight - kBorder);
    Image1->move(8, 8);
    Label1->move(56, 12);
    // Placed from the width at every size, so the buttons are never outside the window.
    Image2->move(w - 42, 8);
    Image3->move(w - 26, 8);
    for (QWidget* top : {static_cast<QWidget*>(Image1), static_cast<QWidget*>(Label1), static_cast<QWidget*>(Image2),
                         static_cast<QWidget*>(Image3)})
        top->raise();
    layoutPanel1();
}

void TfrmMain::layoutPanel1()
{
    pnlMenu->setGeometry(0, 0, Panel1->width(), kMenuHeight);
    pnlHost->setGeometry(0, kMenuHeight, Panel1->width(), Panel1->height() - kMenuHeight);
}

void TfrmMain::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (centred_)
        return;
    centred_ = true;
    move(WindowPlacement::Place(size(), availableArea()));
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event)
{
    auto* strip = static_cast<QWidget*>(watched);
    if (edgeMouse(strip, event))
        return true;
    if (watched == imgTop)
        imgTopMouse(event);
    return QWidget::eventFilter(watched, event);
}

// Top and bottom edges resize the height, through the window system where it can.
bool TfrmMain::edgeMouse(QWidget* strip, QEvent* event)
{
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint pos = strip->mapTo(this, mouse->position().toPoint());
    const Qt::Edges edges = WindowEdges::resizeEdges(pos, size());

    if (type == QEvent::MouseMove && resizing_) {
        const int dy = mouse->globalPosition().toPoint().y() - resizeStartGlobal_.y();
        QRect g = resizeStartGeometry_;
        if (resizing_ & Qt::TopEdge)
            g.setTop(g.top() + dy);
        else
            g.setBottom(g.bottom() + dy);
        setGeometry(g);
        return true;
    }
    if (type == QEvent::MouseButtonRelease && resizing_) {
        resizing_ = {};
        return true;
    }
    if (type == QEvent::MouseMove && !FDragging)
        strip->setCursor(edges ? Qt::SizeVerCursor : Qt::ArrowCursor);
    if (type == QEvent::MouseButtonPress && edges) {
        if (windowHandle() && windowHandle()->startSystemResize(edges))
            return true;
        resizing_ = edges;
        resizeStartGlobal_ = mouse->globalPosition().toPoint();
        resizeStartGeometry_ = geometry();
        return true;
    }
    return false;
}

void TfrmMain::imgTopMouse(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const QPoint p = static_cast<QMouseEvent*>(event)->position().toPoint();
        FDragging = true;
        FDragX = p.x();
        FDragY = p.y();
        break;
    }
    case QEvent::MouseMove:
        if (FDragging) {
            const QPoint p = static_cast<QMouseEvent*>(event)->position().toPoint();
            move(x() + p.x() - FDragX, y() + p.y() - FDragY);
        }
        break;
    case QEvent::MouseButtonRelease:
        FDragging = false;
        break;
    default:
        break;
    }
}

void TfrmMain::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // Leaving the window (another program, a closed lid to come) or hiding it: what is
    // typed goes to disk now.
    const bool away = (event->type() == QEvent::ActivationChange && !isActiveWindow())
                      || (event->type() == QEvent::WindowStateChange && isMinimized());
    if (away)
        Guarded([&] { FlushJournals(); });
}

void TfrmMain::FlushJournals()
{
    for (TfmeEditor* editor : findChildren<TfmeEditor*>())
        editor->FlushJournal();
    for (TfmeTeacher* teacher : findChildren<TfmeTeacher*>())
        teacher->FlushJournal();
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    if (TransferGate::instance().busy()) {
        // A save being sent must arrive: the window closes once it has ended, asking again
        // if the work is still unsaved then.
        event->ignore();
        if (!closeWaiting_) {
            closeWaiting_ = true;
            connect(
                &TransferGate::instance(), &TransferGate::idle, this,
                [this] {
                    closeWaiting_ = false;
                    close();
                },
                Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
        }
        return;
    }
    try {
        if (!FormClose()) {
            event->ignore();
            return;
        }
        event->accept();
        // The save's answer is read before the window goes.
        DialogService::instance().showPending();
    } catch (...) {
        ShowCurrentException();
        event->ignore();
    }
}

bool TfrmMain::FormClose()
{
    // Every frame a hand-over left in the window, oldest first.
    QList<ClosePolicy::Frame> frames;
    for (QWidget* host : hostPanels_)
        if (const std::optional<ClosePolicy::Frame> frame = closingOf(host))
            frames.append(*frame);
    return ClosePolicy::run(frames, askToSave);
}

std::optional<ClosePolicy::Frame> TfrmMain::closingOf(QWidget* host)
{
    if (auto* teacher = host->findChild<TfmeTeacher*>()) {
        const CorrectionSession& session = teacher->Session();
        return ClosePolicy::Frame{!session.ViewOnly() && session.Modified(),
                                  [teacher] { teacher->btnClick(teacher->btnSave); },
                                  [teacher] { teacher->DiscardJournal(); }};
    }
    if (auto* editor = host->findChild<TfmeEditor*>()) {
        const WritingSession& session = editor->session();
        return ClosePolicy::Frame{session.Modified() && !session.ReadOnly(),
                                  [editor] { editor->BtnClick(editor->btnSave()); },
                                  [editor] { editor->DiscardJournal(); }};
    }
    return std::nullopt;
}

void TfrmMain::MoveInQueue(TfmeTeacher* frame, EssayQueue::Direction direction)
{
    // A move asked during a transfer (a key pressed while a save is sent) waits for nothing:
    // the teacher asks again once the window is free.
    if (!frame || !frame->QueueBar()->Queue() || TransferGate::instance().busy())
        return;
    TeacherQueueBar* bar = frame->QueueBar();
    QByteArray launch;
    try {
        launch = bar->Queue()->launchOf(direction, bar->AllEssays());
    } catch (const AppError&) {
        // The queue may have changed under the teacher (a colleague's window, another run).
        bar->Refresh();
        throw;
    }
    // The next essay goes on through the same queue.
    queueAll_ = bar->AllEssays();
    QWidget* host = frame->parentWidget();
    if (!ClosePolicy::run({*closingOf(host)}, askToSave))
        return;
    // The key went to a widget of the frame: its namesake in the next frame takes it.
    const QWidget* focused = QApplication::focusWidget();
    const QString focusName = focused && frame->isAncestorOf(focused) ? focused->objectName() : QString();
    hostPanels_.removeOne(host);
    if (FTeacher == frame)
        FTeacher = nullptr;
    delete host;
    OpenLaunchFields(LaunchFile::split(launch));
    QWidget* namesake = FTeacher && !focusName.isEmpty() ? FTeacher->findChild<QWidget*>(focusName) : nullptr;
    if (namesake && namesake->isEnabled() && namesake->isVisible())
        namesake->setFocus(Qt::OtherFocusReason);
}
