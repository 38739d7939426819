#include "app/Program.h"

#include "app/AppDir.h"
#include "app/AppIcon.h"
#include "app/InstanceLock.h"
#include "app/ReadingWindow.h"
#include "app/Settings.h"
#include "app/StartMode.h"
#include "app/StartupEntry.h"
#include "app/TrayMenu.h"
#include "app/VersionDialog.h"
#include "editor/ApplyQuestion.h"
#include "net/NetworkSettingsWindow.h"
#include "net/NoteReceiver.h"
#include "net/SendWindow.h"
#include "note/AppState.h"
#include "note/FindNotesWindow.h"
#include "note/NoteBuilder.h"
#include "note/NoteColor.h"
#include "note/NoteHost.h"
#include "note/NoteLayout.h"
#include "note/NoteWindow.h"
#include "note/PeeledNotesWindow.h"
#include "platform/AvahiHostBrowser.h"
#include "platform/DesktopServices.h"
#include "platform/InputMethod.h"
#include "platform/MessageBox.h"
#include "platform/RichTextBox.h"
#include "platform/SafeFile.h"
#include "platform/TrayIcon.h"
#include "platform/Twips.h"
#include "platform/UdpSocket.h"
#include "store/DataFile.h"
#include "store/NoteFile.h"
#include "store/Tag.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QWindow>

Q_LOGGING_CATEGORY(lcApp, "pinora.app", QtCriticalMsg)

MainForm::MainForm(AppState& state, Services services)
    : QWidget(nullptr)
    , m_state(state)
    , m_services(std::move(services))
    , m_profile(state.AppDir + QLatin1String(Settings::kFileName)) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("ピノラ"));
    if (!m_services.makeTrayIcon)
        m_services.makeTrayIcon = [] { return TrayIcon::create(PinoraIcon(), QStringLiteral("ピノラ")); };
    if (!m_services.focusWindow)
        m_services.focusWindow = [] { return QGuiApplication::focusWindow(); };
    if (!m_services.otherInstanceRunning) {
        m_lock = std::make_unique<InstanceLock>(state.AppDir);
        m_services.otherInstanceRunning = [this] { return m_lock->otherInstanceRunning(); };
    }
    if (!m_services.sleep)
        m_services.sleep = [](int ms) { QThread::msleep(ms); };
    if (!m_services.stopRequested)
        m_services.stopRequested = [] { return false; };
    if (!m_services.makeHostBrowser)
        m_services.makeHostBrowser = [] { return std::make_unique<AvahiHostBrowser>(); };
    if (!m_services.makeSocket)
        m_services.makeSocket = [](HostBrowser& browser) {
            // A listed computer is reached at the address the browse service found.
            return std::make_unique<UdpSocket>([&browser](const QString& name) { return browser.addressesOf(name); });
        };

    if (!m_state.Host)
        m_state.Host = this;
    IconMenu = new ::IconMenu(this);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(300);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &MainForm::Timer1_Timer);
    m_screensChanged = new QTimer(this);
    m_screensChanged->setSingleShot(true);
    m_screensChanged->setInterval(200);
    connect(m_screensChanged, &QTimer::timeout, this, [this] {
        if (!m_state.ShuttingDown)
            KeepNotesOnScreens(m_state);
    });
    connectMenu();
}

void MainForm::watchScreens() {
    const auto watch = [this](QScreen* screen) {
        connect(screen, &QScreen::availableGeometryChanged, m_screensChanged, qOverload<>(&QTimer::start));
    };
    for (QScreen* screen : QGuiApplication::screens())
        watch(screen);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this, watch](QScreen* screen) {
        watch(screen);
        m_screensChanged->start();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, m_screensChanged, qOverload<>(&QTimer::start));
}

void MainForm::notifyAtStartUp(const QString& text) {
    m_startUpNotices.append(MessageBox::notify(text));
}

MainForm::~MainForm() {
    delete m_about;
    delete m_peeledForm;
    delete m_findForm;
    delete m_compForm;
    delete m_editor;
}

CompForm* MainForm::compForm() const {
    return m_compForm;
}

EditForm& MainForm::editor() {
    if (!m_editor) {
        EditForm::Services services = m_services.editor;
        if (!services.inputMethod) {
            m_inputMethod = InputMethod::create();
            services.inputMethod = m_inputMethod.get();
        }
        m_editor = new EditForm(m_state, services);
        connect(m_editor, &EditForm::exitRequested, this, &MainForm::RequestExit);
    }
    return *m_editor;
}

void MainForm::editNote(FusenForm& note) {
    editor().openForEdit(note);
}

void MainForm::newNote() {
    editor().openForNewNote(true);
}

void MainForm::sendNote() {
    if (!m_socket)
        return;
    // Open already: only the note to send changed, and the window comes forward.
    if (!m_compForm)
        m_compForm = new CompForm(m_state, *m_socket, *m_browser);
    m_compForm->show();
    m_compForm->raise();
    m_compForm->activateWindow();
}

bool MainForm::Form_Load() {
    if (!CheckStartMode(m_profile, m_services.otherInstanceRunning, m_services.sleep))
        return false;

    m_state.Loading = true;
    m_state.NoteCount = 0;
    m_state.DragMode = 1;
    m_state.ShuttingDown = m_state.ExitRequested = m_state.ExitConfirmed = m_state.EditorPlaced = false;
    m_state.EditTargetTag.clear();
    // A save cut off by a kill leaves its temporary file behind; no other copy of
    // the program can be saving now.
    for (const QString& removed :
         SafeFile::removeLeftovers(m_state.dataFilePath()) + SafeFile::removeLeftovers(m_profile.path()) +
             SafeFile::removeLeftoversOfFamily(QFileInfo(m_state.dataFilePath()).path(), QStringLiteral("Pinora-")))
        qCInfo(lcApp) << "removed" << removed << "left by a save that was cut off";
    if (!m_services.notesCopiedFrom.isEmpty()) {
        const QString why = m_services.notesCopiedBecause == AppDir::Choice::Reason::InstalledCopy
                                ? QStringLiteral("%1 はインストールされたプログラムの場所なので")
                                : QStringLiteral("%1 にはファイルを書き込めないため");
        notifyAtStartUp(why.arg(QDir::toNativeSeparators(m_services.notesCopiedFrom)) +
                        QStringLiteral("、付箋紙はこれから %1 に保存します。\n"
                                       "そこにあった付箋紙と設定はコピーしました。元のファイルはそのまま残っています。")
                            .arg(QDir::toNativeSeparators(m_state.AppDir)));
    }

    m_tray = m_services.makeTrayIcon();
    connect(m_tray.get(), &TrayIcon::leftButtonDown, this, &MainForm::tray_LeftButtonDown);
    connect(m_tray.get(), &TrayIcon::leftDoubleClick, this, &MainForm::tray_LeftDoubleClick);
    connect(m_tray.get(), &TrayIcon::rightButtonDown, this, &MainForm::tray_RightButtonDown);
    m_tray->show();
    Timer1->start(); // the first tick, shortly after start-up, raises the notes
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this] {
        if (m_raised)
            m_raised->focusOnItsWay = false;
    });

    applySettings();
    startNetwork();
    if (!restoreNotes()) {
        // Half the notes on the screen must not be saved as all of them: the data
        // file stays as it is, and the program ends without waiting for the rest.
        ShutdownApp();
    }
    watchScreens();
    return true;
}

void MainForm::applySettings() {
    const Settings settings = ReadSettings(m_profile);
    IconMenu->applyMarks(MenuMarksFor(settings));
    m_state.DragMode = settings.dragMode;
    m_state.DragDataFormat = settings.dragDataFormat;
    m_state.PortNumber = settings.portNumber != 0 ? settings.portNumber : 2000;
    m_state.ReceiveMode = AppState::Receiving(settings.receiveMode);
    m_state.ReceiveFrom = settings.receiveFrom;
}

void MainForm::startNetwork() {
    m_browser = m_services.makeHostBrowser();
    m_socket = m_services.makeSocket(*m_browser);
    Winsock1 = m_socket.get();
    m_receiver = std::make_unique<NoteReceiver>(m_state, *m_socket, m_browser.get());
    m_portForm = std::make_unique<::PortForm>(m_state, *m_socket, m_browser.get());
    PortForm = m_portForm.get();
    connect(PortForm, &PortForm::portApplied, this, &MainForm::portApplied);
    connect(PortForm, &PortForm::receivingApplied, this, [this] {
        WriteReceiveSettings(m_profile, qint16(m_state.ReceiveMode), m_state.ReceiveFrom);
        announce();
    });
    PortForm->Text1->setText(QString::number(m_state.PortNumber));
    if (BindTransferSocket(*m_socket, m_state.PortNumber))
        announce();
    else
        notifyAtStartUp(BindFailureMessage(m_state.PortNumber, m_socket->errorString()));
}

void MainForm::announce() {
    // A computer that receives from nobody is not announced to anybody.
    const bool receiving = m_state.ReceiveMode != AppState::Receiving::FromNobody;
    m_browser->publish(receiving && m_socket->isBound() ? quint16(m_state.PortNumber) : 0);
}

void MainForm::portApplied(const QString& text, bool bound) {
    WritePortSetting(m_profile, text);
    if (bound && !m_state.ShuttingDown)
        announce();
}

bool MainForm::restoreNotes() {
    const NoteFileLoad load = LoadNoteFile(m_state.dataFilePath(), m_state.Now());
    tellAboutDataFile(load);
    m_state.NoteCount = load.count;
    m_state.NoteWindows = QList<QPointer<FusenForm>>(m_state.NoteCount + 2);
    BuildPlaceholder(m_state);
    for (qint32 k = 1; k <= m_state.NoteCount; ++k) {
        if (m_services.stopRequested())
            return false;
        // Shown as soon as it is built: the window manager maps it while the next
        // ones are read.
        FusenForm* note = RestoreNote(m_state, k, load.records.at(k - 1));
        note->setAttribute(Qt::WA_ShowWithoutActivating); // the window manager gives it no focus on the map
        ShowNote(*note);
        note->setAttribute(Qt::WA_ShowWithoutActivating, false);
    }
    if (m_state.NoteCount != 0)
        RaiseAllNotes();
    m_state.Loading = false;
    return true;
}

void MainForm::tellAboutDataFile(const NoteFileLoad& load) {
    const QString dataFile = QDir::toNativeSeparators(m_state.dataFilePath());
    const QString kept = load.keptAsidePath.isEmpty()
                             ? QStringLiteral("元のファイルを別の名前で残すことはできませんでした。")
                             : QStringLiteral("元のファイルはそのまま %1 として残してあります。")
                                   .arg(QDir::toNativeSeparators(load.keptAsidePath));
    if (load.status == NoteFileLoad::Status::Unreadable) {
        notifyAtStartUp(QStringLiteral("付箋紙のデータファイル %1 を読み込めませんでした。\n%2").arg(dataFile, kept));
    } else if (load.status == NoteFileLoad::Status::Recovered) {
        notifyAtStartUp(QStringLiteral("付箋紙のデータファイル %1 がなかったため、前回壊れていたデータファイルから"
                                       "残してあった %2 から付箋紙 %3 枚を元に戻しました。\n"
                                       "付箋紙を変更すると %1 に保存されます。")
                            .arg(dataFile, QDir::toNativeSeparators(load.keptAsidePath), QString::number(load.count)));
    } else if (load.status == NoteFileLoad::Status::Damaged) {
        notifyAtStartUp(QStringLiteral("付箋紙のデータファイル %1 は途中で切れているか、壊れていました。\n"
                                       "元に戻せた付箋紙は %2 枚です。\n%3")
                            .arg(dataFile, QString::number(load.count), kept));
    }
}

bool MainForm::raisedAsBefore() const {
    if (!m_raised || !m_raised->focus)
        return false;
    QWindow* focus = m_services.focusWindow();
    if (focus != m_raised->focus && !(m_raised->focusOnItsWay && !focus))
        return false;
    const bool editorShown = m_editor && m_editor->isVisible();
    if (m_state.SaveCount != m_raised->saveCount || m_state.NoteCount != m_raised->noteCount ||
        editorShown != m_raised->editorShown)
        return false;
    for (qint32 i = 1; i <= m_state.NoteCount && i <= NoteFile::kMaxNotes; ++i) {
        const FusenForm* note = m_state.liveNote(i);
        if (note && !note->isVisible() && Tag::GetTagFlag(note->tag(), Tag::kVisibleFlag))
            return false;
    }
    return true;
}

void MainForm::RaiseAllNotes() {
    // Raising and activating every note again would cost the window manager a
    // restacking and a focus change for nothing.
    if (raisedAsBefore())
        return;
    if (FusenForm* placeholder = m_state.NoteWindows.value(0); placeholder && m_state.NoteCount != 0)
        placeholder->hide();
    QList<QWidget*> shown;
    for (qint32 i = 1; i <= m_state.NoteCount && i <= NoteFile::kMaxNotes; ++i) {
        FusenForm* note = m_state.liveNote(i);
        if (!note)
            continue;
        ShowNote(*note);
        if (note->isVisible())
            shown.append(note);
        note->Rich1->update();
    }
    ForceForegroundInOrder(shown);
    QWidget* activated = shown.isEmpty() ? nullptr : shown.constLast();
    if (m_editor && m_editor->isVisible()) {
        m_editor->ShowEditor();
        ForceForeground(*m_editor);
        m_editor->Rich1->setFocus();
        activated = m_editor;
    }
    // A message from start-up the user has not closed yet stays on top, with the
    // keyboard, so that Enter closes it.
    m_startUpNotices.removeAll(nullptr);
    for (QWidget* notice : std::as_const(m_startUpNotices)) {
        if (!notice->isVisible())
            continue;
        notice->raise();
        notice->activateWindow();
        activated = notice;
    }
    // Another program's window had the focus: the pass took it. Ours had it: it stays.
    QWindow* now = m_services.focusWindow();
    QWindow* focus = now || !activated ? now : activated->windowHandle();
    m_raised = RaisedState{focus, m_state.SaveCount, m_state.NoteCount, m_editor && m_editor->isVisible(),
                           focus && focus != now};
}

void MainForm::RequestExit() {
    m_state.ExitRequested = true;
    if (m_editor && m_editor->holdsUnappliedWork()) {
        m_state.ExitConfirmed = false;
        m_editor->askToApply(true);
        if (!m_state.ExitConfirmed) {
            m_state.ExitRequested = false;
            return;
        }
    } else if (m_editor) {
        m_editor->hide();
        m_editor->RestoreImeState();
    }
    ShutdownApp();
}

void MainForm::ShutdownApp() {
    if (m_state.ShuttingDown)
        return;
    m_state.ShuttingDown = true;
    delete m_compForm;
    if (m_socket)
        m_socket->Close();
    if (m_tray)
        m_tray->hide();
    m_tray.reset();
    if (m_editor) {
        if (MsgForm* dialog = m_editor->msgForm())
            dialog->deleteLater();
        m_editor->hide();
    }
    // A signal can arrive while a menu of ours runs its own event loop; closing it
    // lets that loop return.
    while (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    // Hidden, not destroyed: taking thousands of note windows down one at a time
    // keeps the window system busy for seconds, and the process ends right after
    // this. This also keeps them alive for a note handler still on the stack.
    for (const QPointer<FusenForm>& note : std::as_const(m_state.NoteWindows)) {
        if (note) {
            note->hide();
            m_state.ClosedNotes.append(note);
        }
    }
    m_state.NoteWindows.clear();
    m_state.NoteCount = 0;
    // Its closing applies a valid port once more; nobody is asked about an invalid one.
    if (PortForm)
        PortForm->close();
    WriteRunningFlag(m_profile, false);
    m_lock.reset();
    emit finished();
}

void MainForm::connectMenu() {
    connect(IconMenu->idrag1, &QAction::triggered, this, [this] { idrag_Click(1); });
    connect(IconMenu->idrag2, &QAction::triggered, this, [this] { idrag_Click(2); });
    connect(IconMenu->idrag3, &QAction::triggered, this, [this] { idrag_Click(3); });
    connect(IconMenu->itext1, &QAction::triggered, this, [this] { itext_Click(Settings::kRichText); });
    connect(IconMenu->itext2, &QAction::triggered, this, [this] { itext_Click(Settings::kPlainText); });
    connect(IconMenu->inew, &QAction::triggered, this, [this] { editor().openFromTrayMenu({}); });
    connect(IconMenu->ialldisp, &QAction::triggered, this, &MainForm::ialldisp_Click);
    connect(IconMenu->iallhide, &QAction::triggered, this, &MainForm::iallhide_Click);
    connect(IconMenu->ilog, &QAction::triggered, this, &MainForm::ilog_Click);
    connect(IconMenu->ipeeled, &QAction::triggered, this, &MainForm::ipeeled_Click);
    connect(IconMenu->ifind, &QAction::triggered, this, &MainForm::ifind_Click);
    connect(IconMenu->ihelp, &QAction::triggered, this, &MainForm::ihelp_Click);
    connect(IconMenu->inetwork, &QAction::triggered, this, &MainForm::inetwork_Click);
    connect(IconMenu->istartin, &QAction::triggered, this, &MainForm::istartin_Click);
    connect(IconMenu->istartout, &QAction::triggered, this, &MainForm::istartout_Click);
    connect(IconMenu->iversion, &QAction::triggered, this, &MainForm::iversion_Click);
    connect(IconMenu->iend, &QAction::triggered, this, &MainForm::RequestExit);
}

void MainForm::tray_LeftButtonDown() {
    if (m_raised)
        m_raised->focusOnItsWay = false;
    Timer1->start();
}

void MainForm::tray_LeftDoubleClick() {
    Timer1->stop();
    editor().openForNewNote(false);
}

void MainForm::tray_RightButtonDown(const QPoint& position) {
    ForceForeground(*this);
    IconMenu->exec(position);
}

void MainForm::Timer1_Timer() {
    Timer1->stop();
    RaiseAllNotes();
}

void MainForm::idrag_Click(qint16 mode) {
    IconMenu->idrag1->setChecked(mode == 1);
    IconMenu->idrag2->setChecked(mode == 2);
    IconMenu->idrag3->setChecked(mode == 3);
    m_state.DragMode = mode;
    WriteMenuSettings(m_profile, IconMenu->istartin->isChecked(), m_state.DragMode, m_state.DragDataFormat);
}

void MainForm::itext_Click(qint16 format) {
    IconMenu->itext1->setChecked(format != Settings::kPlainText);
    IconMenu->itext2->setChecked(format == Settings::kPlainText);
    m_state.DragDataFormat = format;
    WriteMenuSettings(m_profile, IconMenu->istartin->isChecked(), m_state.DragMode, m_state.DragDataFormat);
}

void MainForm::ialldisp_Click() {
    QList<QWidget*> shown;
    for (qint32 i = 1; i <= m_state.NoteCount && i <= NoteFile::kMaxNotes; ++i) {
        FusenForm* note = m_state.liveNote(i);
        if (!note)
            continue;
        QString tag = note->tag();
        Tag::SetTagFlag(tag, Tag::kVisibleFlag, true);
        note->setTag(tag);
        ShowNote(*note);
        shown.append(note);
    }
    ForceForegroundInOrder(shown);
    SaveAllNotes(m_state);
}

void MainForm::iallhide_Click() {
    if (m_state.NoteCount == 0)
        return;
    for (qint32 i = 1; i <= m_state.NoteCount && i <= NoteFile::kMaxNotes; ++i) {
        FusenForm* note = m_state.liveNote(i);
        if (!note)
            continue;
        note->hide();
        QString tag = note->tag();
        Tag::SetTagFlag(tag, Tag::kVisibleFlag, false);
        note->setTag(tag);
    }
    SaveAllNotes(m_state);
}

void MainForm::ipeeled_Click() {
    if (!m_peeledForm) {
        m_peeledForm = new PeeledForm(m_state);
        m_peeledForm->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_peeledForm->showPeeledNotes();
}

void MainForm::ifind_Click() {
    if (!m_findForm) {
        m_findForm = new FindForm(m_state);
        m_findForm->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_findForm->showFinder();
}

void MainForm::ilog_Click() {
    const QString path = m_state.peelLogPath();
    if (!QFile::exists(path)) {
        MessageBox::show(QStringLiteral("ログはまだ作成されていません"));
        return;
    }
    auto shown = [self = QPointer<MainForm>(this), path](bool opened) {
        if (opened || !self || self->m_state.ShuttingDown)
            return;
        qCInfo(lcApp) << "no desktop application opened" << path << "- shown in a window of our own";
        Twips::showCentredInFront(*ReadingForm::textFile(QStringLiteral("ピノラ：ログ"), path));
    };
    if (m_services.openWithDesktop)
        m_services.openWithDesktop(path, shown);
    else
        OpenWithDesktop(path, shown);
}

void MainForm::ihelp_Click() {
    if (!m_helpForm)
        m_helpForm = ReadingForm::help();
    Twips::showCentredInFront(*m_helpForm);
}

void MainForm::inetwork_Click() {
    if (PortForm)
        PortForm->showWithPortNumber();
}

void MainForm::istartin_Click() {
    IconMenu->istartin->setChecked(true);
    IconMenu->istartout->setChecked(false);
    QString error;
    if (StartupEntry::CreateStartupShortcut(QCoreApplication::applicationFilePath(), StartupEntry::kFileName, &error) ==
        StartupEntry::Result::Failed) {
        qCWarning(lcApp) << "no autostart entry:" << error;
        MessageBox::show(QStringLiteral("ログイン時に起動するための設定を %1 に書き込めませんでした。")
                             .arg(QDir::toNativeSeparators(StartupEntry::autostartDir())));
        return;
    }
    WriteMenuSettings(m_profile, true, m_state.DragMode, m_state.DragDataFormat);
}

void MainForm::istartout_Click() {
    IconMenu->istartin->setChecked(false);
    IconMenu->istartout->setChecked(true);
    switch (StartupEntry::RemoveStartupShortcut(StartupEntry::kFileName)) {
    case StartupEntry::Removal::NotThere:
        return;
    case StartupEntry::Removal::Failed:
        MessageBox::show(QStringLiteral("ログイン時に起動するための設定 %1 を削除できませんでした。")
                             .arg(QDir::toNativeSeparators(StartupEntry::entryPath(StartupEntry::kFileName))));
        return;
    case StartupEntry::Removal::Removed:
        break;
    }
    WriteMenuSettings(m_profile, false, m_state.DragMode, m_state.DragDataFormat);
}

void MainForm::iversion_Click() {
    if (!m_about)
        m_about = new frmAbout;
    Twips::showCentredInFront(*m_about);
}
