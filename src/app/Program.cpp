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

Program::Program(AppState& state, Services services)
    : QWidget(nullptr)
    , m_state(state)
    , m_services(std::move(services))
    , m_profile(state.appDir + QLatin1String(Settings::kFileName)) {
    setObjectName(QStringLiteral("Program"));
    setWindowTitle(QStringLiteral("ピノラ"));
    if (!m_services.makeTrayIcon)
        m_services.makeTrayIcon = [] { return TrayIcon::create(PinoraIcon(), QStringLiteral("ピノラ")); };
    if (!m_services.focusWindow)
        m_services.focusWindow = [] { return QGuiApplication::focusWindow(); };
    if (!m_services.otherInstanceRunning) {
        m_lock = std::make_unique<InstanceLock>(state.appDir);
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

    if (!m_state.host)
        m_state.host = this;
    m_trayMenu = new TrayMenu(this);
    m_clickTimer = new QTimer(this);
    m_clickTimer->setObjectName(QStringLiteral("clickTimer"));
    m_clickTimer->setInterval(300);
    m_clickTimer->setSingleShot(true);
    connect(m_clickTimer, &QTimer::timeout, this, &Program::raiseAfterClick);
    m_screensChanged = new QTimer(this);
    m_screensChanged->setSingleShot(true);
    m_screensChanged->setInterval(200);
    connect(m_screensChanged, &QTimer::timeout, this, [this] {
        if (!m_state.shuttingDown)
            KeepNotesOnScreens(m_state);
    });
    connectMenu();
}

void Program::watchScreens() {
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

void Program::notifyAtStartUp(const QString& text) {
    m_startUpNotices.append(MessageBox::notify(text));
}

Program::~Program() {
    delete m_about;
    delete m_peeledForm;
    delete m_findForm;
    delete m_compForm;
    delete m_editor;
}

SendWindow* Program::compForm() const {
    return m_compForm;
}

EditorWindow& Program::editor() {
    if (!m_editor) {
        EditorWindow::Services services = m_services.editor;
        if (!services.inputMethod) {
            m_inputMethod = InputMethod::create();
            services.inputMethod = m_inputMethod.get();
        }
        m_editor = new EditorWindow(m_state, services);
        connect(m_editor, &EditorWindow::exitRequested, this, &Program::requestExit);
    }
    return *m_editor;
}

void Program::editNote(NoteWindow& note) {
    editor().openForEdit(note);
}

void Program::newNote() {
    editor().openForNewNote(true);
}

void Program::sendNote() {
    if (!m_socket)
        return;
    // Open already: only the note to send changed, and the window comes forward.
    if (!m_compForm)
        m_compForm = new SendWindow(m_state, *m_socket, *m_browser);
    m_compForm->show();
    m_compForm->raise();
    m_compForm->activateWindow();
}

bool Program::start() {
    if (!CheckStartMode(m_profile, m_services.otherInstanceRunning, m_services.sleep))
        return false;

    m_state.loading = true;
    m_state.noteCount = 0;
    m_state.dragMode = 1;
    m_state.shuttingDown = m_state.exitRequested = m_state.exitConfirmed = m_state.editorPlaced = false;
    m_state.editTargetTag.clear();
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
                            .arg(QDir::toNativeSeparators(m_state.appDir)));
    }

    m_tray = m_services.makeTrayIcon();
    connect(m_tray.get(), &TrayIcon::leftButtonDown, this, &Program::trayPressed);
    connect(m_tray.get(), &TrayIcon::leftDoubleClick, this, &Program::trayDoubleClicked);
    connect(m_tray.get(), &TrayIcon::rightButtonDown, this, &Program::trayMenuRequested);
    m_tray->show();
    m_clickTimer->start(); // the first tick, shortly after start-up, raises the notes
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this] {
        if (m_raised)
            m_raised->focusOnItsWay = false;
    });

    applySettings();
    startNetwork();
    if (!restoreNotes()) {
        // Half the notes on the screen must not be saved as all of them: the data
        // file stays as it is, and the program ends without waiting for the rest.
        shutDown();
    }
    watchScreens();
    return true;
}

void Program::applySettings() {
    const Settings settings = ReadSettings(m_profile);
    m_trayMenu->applyMarks(MenuMarksFor(settings));
    m_state.dragMode = settings.dragMode;
    m_state.dragDataFormat = settings.dragDataFormat;
    m_state.portNumber = settings.portNumber != 0 ? settings.portNumber : 2000;
    m_state.receiveMode = AppState::Receiving(settings.receiveMode);
    m_state.receiveFrom = settings.receiveFrom;
}

void Program::startNetwork() {
    m_browser = m_services.makeHostBrowser();
    m_socket = m_services.makeSocket(*m_browser);
    m_receiver = std::make_unique<NoteReceiver>(m_state, *m_socket, m_browser.get());
    m_networkSettings = std::make_unique<NetworkSettingsWindow>(m_state, *m_socket, m_browser.get());
    connect(m_networkSettings.get(), &NetworkSettingsWindow::portApplied, this, &Program::portApplied);
    connect(m_networkSettings.get(), &NetworkSettingsWindow::receivingApplied, this, [this] {
        WriteReceiveSettings(m_profile, qint16(m_state.receiveMode), m_state.receiveFrom);
        announce();
    });
    m_networkSettings->portField()->setText(QString::number(m_state.portNumber));
    if (BindTransferSocket(*m_socket, m_state.portNumber))
        announce();
    else
        notifyAtStartUp(BindFailureMessage(m_state.portNumber, m_socket->errorString()));
}

void Program::announce() {
    // A computer that receives from nobody is not announced to anybody.
    const bool receiving = m_state.receiveMode != AppState::Receiving::FromNobody;
    m_browser->publish(receiving && m_socket->isBound() ? quint16(m_state.portNumber) : 0);
}

void Program::portApplied(const QString& text, bool bound) {
    WritePortSetting(m_profile, text);
    if (bound && !m_state.shuttingDown)
        announce();
}

bool Program::restoreNotes() {
    const NoteFileLoad load = LoadNoteFile(m_state.dataFilePath(), m_state.now());
    tellAboutDataFile(load);
    m_state.noteCount = load.count;
    m_state.noteWindows = QList<QPointer<NoteWindow>>(m_state.noteCount + 2);
    BuildPlaceholder(m_state);
    for (qint32 k = 1; k <= m_state.noteCount; ++k) {
        if (m_services.stopRequested())
            return false;
        // Shown as soon as it is built: the window manager maps it while the next
        // ones are read.
        NoteWindow* note = RestoreNote(m_state, k, load.records.at(k - 1));
        note->setAttribute(Qt::WA_ShowWithoutActivating); // the window manager gives it no focus on the map
        ShowNote(*note);
        note->setAttribute(Qt::WA_ShowWithoutActivating, false);
    }
    if (m_state.noteCount != 0)
        raiseAllNotes();
    m_state.loading = false;
    return true;
}

void Program::tellAboutDataFile(const NoteFileLoad& load) {
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

bool Program::raisedAsBefore() const {
    if (!m_raised || !m_raised->focus)
        return false;
    QWindow* focus = m_services.focusWindow();
    if (focus != m_raised->focus && !(m_raised->focusOnItsWay && !focus))
        return false;
    const bool editorShown = m_editor && m_editor->isVisible();
    if (m_state.saveCount != m_raised->saveCount || m_state.noteCount != m_raised->noteCount ||
        editorShown != m_raised->editorShown)
        return false;
    for (qint32 i = 1; i <= m_state.noteCount && i <= NoteFile::kMaxNotes; ++i) {
        const NoteWindow* note = m_state.liveNote(i);
        if (note && !note->isVisible() && Tag::GetTagFlag(note->tag(), Tag::kVisibleFlag))
            return false;
    }
    return true;
}

void Program::raiseAllNotes() {
    // Raising and activating every note again would cost the window manager a
    // restacking and a focus change for nothing.
    if (raisedAsBefore())
        return;
    if (NoteWindow* placeholder = m_state.noteWindows.value(0); placeholder && m_state.noteCount != 0)
        placeholder->hide();
    QList<QWidget*> shown;
    for (qint32 i = 1; i <= m_state.noteCount && i <= NoteFile::kMaxNotes; ++i) {
        NoteWindow* note = m_state.liveNote(i);
        if (!note)
            continue;
        ShowNote(*note);
        if (note->isVisible())
            shown.append(note);
        note->textBox()->update();
    }
    ForceForegroundInOrder(shown);
    QWidget* activated = shown.isEmpty() ? nullptr : shown.constLast();
    if (m_editor && m_editor->isVisible()) {
        m_editor->showEditor();
        ForceForeground(*m_editor);
        m_editor->textBox()->setFocus();
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
    m_raised = RaisedState{focus, m_state.saveCount, m_state.noteCount, m_editor && m_editor->isVisible(),
                           focus && focus != now};
}

void Program::requestExit() {
    m_state.exitRequested = true;
    if (m_editor && m_editor->holdsUnappliedWork()) {
        m_state.exitConfirmed = false;
        m_editor->askToApply(true);
        if (!m_state.exitConfirmed) {
            m_state.exitRequested = false;
            return;
        }
    } else if (m_editor) {
        m_editor->hide();
        m_editor->restoreInputMethod();
    }
    shutDown();
}

void Program::shutDown() {
    if (m_state.shuttingDown)
        return;
    m_state.shuttingDown = true;
    delete m_compForm;
    if (m_socket)
        m_socket->close();
    if (m_tray)
        m_tray->hide();
    m_tray.reset();
    if (m_editor) {
        if (ApplyQuestion* dialog = m_editor->applyQuestion())
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
    for (const QPointer<NoteWindow>& note : std::as_const(m_state.noteWindows)) {
        if (note) {
            note->hide();
            m_state.closedNotes.append(note);
        }
    }
    m_state.noteWindows.clear();
    m_state.noteCount = 0;
    // Its closing applies a valid port once more; nobody is asked about an invalid one.
    if (m_networkSettings)
        m_networkSettings->close();
    WriteRunningFlag(m_profile, false);
    m_lock.reset();
    emit finished();
}

void Program::connectMenu() {
    connect(m_trayMenu->dragCopyLogPeel(), &QAction::triggered, this, [this] { chooseDragMode(1); });
    connect(m_trayMenu->dragCopyOnly(), &QAction::triggered, this, [this] { chooseDragMode(2); });
    connect(m_trayMenu->dragCopyPeel(), &QAction::triggered, this, [this] { chooseDragMode(3); });
    connect(m_trayMenu->dragRichText(), &QAction::triggered, this, [this] { chooseDragData(Settings::kRichText); });
    connect(m_trayMenu->dragPlainText(), &QAction::triggered, this, [this] { chooseDragData(Settings::kPlainText); });
    connect(m_trayMenu->newNote(), &QAction::triggered, this, [this] { editor().openFromTrayMenu({}); });
    connect(m_trayMenu->showAll(), &QAction::triggered, this, &Program::showAllNotes);
    connect(m_trayMenu->hideAll(), &QAction::triggered, this, &Program::hideAllNotes);
    connect(m_trayMenu->showLog(), &QAction::triggered, this, &Program::showLog);
    connect(m_trayMenu->peeledNotes(), &QAction::triggered, this, &Program::showPeeledNotes);
    connect(m_trayMenu->findNotes(), &QAction::triggered, this, &Program::showFinder);
    connect(m_trayMenu->help(), &QAction::triggered, this, &Program::showHelp);
    connect(m_trayMenu->networkSettings(), &QAction::triggered, this, &Program::showNetworkSettings);
    connect(m_trayMenu->registerStartup(), &QAction::triggered, this, &Program::registerStartup);
    connect(m_trayMenu->removeStartup(), &QAction::triggered, this, &Program::removeStartup);
    connect(m_trayMenu->version(), &QAction::triggered, this, &Program::showVersion);
    connect(m_trayMenu->exit(), &QAction::triggered, this, &Program::requestExit);
}

void Program::trayPressed() {
    if (m_raised)
        m_raised->focusOnItsWay = false;
    m_clickTimer->start();
}

void Program::trayDoubleClicked() {
    m_clickTimer->stop();
    editor().openForNewNote(false);
}

void Program::trayMenuRequested(const QPoint& position) {
    ForceForeground(*this);
    m_trayMenu->exec(position);
}

void Program::raiseAfterClick() {
    m_clickTimer->stop();
    raiseAllNotes();
}

void Program::chooseDragMode(qint16 mode) {
    m_trayMenu->dragCopyLogPeel()->setChecked(mode == 1);
    m_trayMenu->dragCopyOnly()->setChecked(mode == 2);
    m_trayMenu->dragCopyPeel()->setChecked(mode == 3);
    m_state.dragMode = mode;
    WriteMenuSettings(m_profile, m_trayMenu->registerStartup()->isChecked(), m_state.dragMode, m_state.dragDataFormat);
}

void Program::chooseDragData(qint16 format) {
    m_trayMenu->dragRichText()->setChecked(format != Settings::kPlainText);
    m_trayMenu->dragPlainText()->setChecked(format == Settings::kPlainText);
    m_state.dragDataFormat = format;
    WriteMenuSettings(m_profile, m_trayMenu->registerStartup()->isChecked(), m_state.dragMode, m_state.dragDataFormat);
}

void Program::showAllNotes() {
    QList<QWidget*> shown;
    for (qint32 i = 1; i <= m_state.noteCount && i <= NoteFile::kMaxNotes; ++i) {
        NoteWindow* note = m_state.liveNote(i);
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

void Program::hideAllNotes() {
    if (m_state.noteCount == 0)
        return;
    for (qint32 i = 1; i <= m_state.noteCount && i <= NoteFile::kMaxNotes; ++i) {
        NoteWindow* note = m_state.liveNote(i);
        if (!note)
            continue;
        note->hide();
        QString tag = note->tag();
        Tag::SetTagFlag(tag, Tag::kVisibleFlag, false);
        note->setTag(tag);
    }
    SaveAllNotes(m_state);
}

void Program::showPeeledNotes() {
    if (!m_peeledForm) {
        m_peeledForm = new PeeledNotesWindow(m_state);
        m_peeledForm->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_peeledForm->showPeeledNotes();
}

void Program::showFinder() {
    if (!m_findForm) {
        m_findForm = new FindNotesWindow(m_state);
        m_findForm->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_findForm->showFinder();
}

void Program::showLog() {
    const QString path = m_state.peelLogPath();
    if (!QFile::exists(path)) {
        MessageBox::show(QStringLiteral("ログはまだ作成されていません"));
        return;
    }
    auto shown = [self = QPointer<Program>(this), path](bool opened) {
        if (opened || !self || self->m_state.shuttingDown)
            return;
        qCInfo(lcApp) << "no desktop application opened" << path << "- shown in a window of our own";
        Twips::showCentredInFront(*ReadingWindow::textFile(QStringLiteral("ピノラ：ログ"), path));
    };
    if (m_services.openWithDesktop)
        m_services.openWithDesktop(path, shown);
    else
        OpenWithDesktop(path, shown);
}

void Program::showHelp() {
    if (!m_helpForm)
        m_helpForm = ReadingWindow::help();
    Twips::showCentredInFront(*m_helpForm);
}

void Program::showNetworkSettings() {
    if (m_networkSettings)
        m_networkSettings->showWithPortNumber();
}

void Program::registerStartup() {
    m_trayMenu->registerStartup()->setChecked(true);
    m_trayMenu->removeStartup()->setChecked(false);
    QString error;
    if (StartupEntry::CreateStartupShortcut(QCoreApplication::applicationFilePath(), StartupEntry::kFileName, &error) ==
        StartupEntry::Result::Failed) {
        qCWarning(lcApp) << "no autostart entry:" << error;
        MessageBox::show(QStringLiteral("ログイン時に起動するための設定を %1 に書き込めませんでした。")
                             .arg(QDir::toNativeSeparators(StartupEntry::autostartDir())));
        return;
    }
    WriteMenuSettings(m_profile, true, m_state.dragMode, m_state.dragDataFormat);
}

void Program::removeStartup() {
    m_trayMenu->registerStartup()->setChecked(false);
    m_trayMenu->removeStartup()->setChecked(true);
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
    WriteMenuSettings(m_profile, false, m_state.dragMode, m_state.dragDataFormat);
}

void Program::showVersion() {
    if (!m_about)
        m_about = new VersionDialog;
    Twips::showCentredInFront(*m_about);
}
