#pragma once

#include "app/AppDir.h"

#include "editor/EditorWindow.h"
#include "note/NoteHost.h"
#include "platform/ProfileFile.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

struct AppState;
struct NoteFileLoad;
class SendWindow;
class VersionDialog;
class FindNotesWindow;
class PeeledNotesWindow;
class ReadingWindow;
class DatagramSocket;
class HostBrowser;
class TrayMenu;
class NoteReceiver;
class NetworkSettingsWindow;
class InputMethod;
class InstanceLock;
class QTimer;
class QWindow;
class TrayIcon;

// The program's hidden main window: it runs start-up and shutdown and owns the
// tray icon, its menu and the click timer. It is never shown.
class Program : public QWidget, public NoteHost {
    Q_OBJECT

public:
    struct Services {
        std::function<std::unique_ptr<TrayIcon>()> makeTrayIcon;
        std::function<bool()> otherInstanceRunning; // default: the lock in AppDir
        std::function<void(int milliseconds)> sleep;
        // For the editor; its input method comes from the session bus when not given.
        EditorWindow::Services editor;
        // The directory whose notes were copied into AppDir on this start, if any,
        // and why that directory is not used.
        QString notesCopiedFrom;
        AppDir::Choice::Reason notesCopiedBecause = AppDir::Choice::Reason::NotWritable;
        // Opens a file with the desktop's application for it, and tells whether that
        // worked (later, on the event loop). By default through the desktop's launcher.
        std::function<void(const QString& path, std::function<void(bool opened)> done)> openWithDesktop;
        // Whether the program was asked to end (a signal) while start-up still runs;
        // start-up then stops building notes and shuts down.
        std::function<bool()> stopRequested;
        // The note transfer's socket and the computers of the network; by default
        // a real UDP socket and the Avahi daemon.
        std::function<std::unique_ptr<DatagramSocket>(HostBrowser&)> makeSocket;
        std::function<std::unique_ptr<HostBrowser>()> makeHostBrowser;
        // The program's window that has the focus; null while another program's
        // has it. By default the toolkit's focus window.
        std::function<QWindow*()> focusWindow;
    };

    Program(AppState& state, Services services);
    ~Program() override;

    // The whole start-up. False when another copy runs and this one must end.
    bool start();

    void raiseAllNotes();
    void requestExit();
    void shutDown();

    // The editor, created on first use and kept until the end.
    EditorWindow& editor();
    bool hasEditor() const { return m_editor != nullptr; }

    // NoteHost: a note's double-click and its menu's 編集 and 新規作成.
    void editNote(NoteWindow& note) override;
    void newNote() override;
    void sendNote() override;

    TrayMenu* trayMenu() const { return m_trayMenu; }
    // Tells a click on the tray from a double click.
    QTimer* clickTimer() const { return m_clickTimer; }
    // From start-up on (NetworkSettingsWindow hidden until ネットワーク設定).
    // From start-up on, hidden until ネットワーク設定.
    NetworkSettingsWindow* networkSettings() const { return m_networkSettings.get(); }
    // While 送信 of a note has it open.
    SendWindow* compForm() const;
    TrayIcon* trayIcon() const { return m_tray.get(); }

signals:
    // The program has shut down and the event loop may end.
    void finished();

private:
    // False when a stop was requested before every note was built.
    bool restoreNotes();
    // Whether the notes and the editor still stand as the last raiseAllNotes left
    // them: the window it activated has the focus (or the focus is still on its way
    // there), no note changed or was hidden, and the editor is as it was.
    bool raisedAsBefore() const;
    void tellAboutDataFile(const NoteFileLoad& load);
    // A message shown during start-up: it stands above the notes once they are up.
    void notifyAtStartUp(const QString& text);
    void watchScreens();
    void applySettings();
    void startNetwork();
    void portApplied(const QString& text, bool bound);
    void announce();
    void connectMenu();
    void trayPressed();
    void trayDoubleClicked();
    void trayMenuRequested(const QPoint& position);
    void raiseAfterClick();
    void chooseDragMode(qint16 mode);
    void chooseDragData(qint16 format);
    void showAllNotes();
    void hideAllNotes();
    void showLog();
    void showPeeledNotes();
    void showFinder();
    void showHelp();
    void showNetworkSettings();
    void registerStartup();
    void removeStartup();
    void showVersion();

    AppState& m_state;
    Services m_services;
    ProfileFile m_profile;
    std::unique_ptr<InstanceLock> m_lock;
    std::unique_ptr<TrayIcon> m_tray;
    std::unique_ptr<InputMethod> m_inputMethod;
    EditorWindow* m_editor = nullptr;
    std::unique_ptr<HostBrowser> m_browser;
    std::unique_ptr<DatagramSocket> m_socket;
    std::unique_ptr<NoteReceiver> m_receiver;
    std::unique_ptr<NetworkSettingsWindow> m_networkSettings;
    TrayMenu* m_trayMenu = nullptr;
    QTimer* m_clickTimer = nullptr;
    QPointer<SendWindow> m_compForm;
    QList<QPointer<QWidget>> m_startUpNotices;
    // Screens come and go in bursts (a dock, a new resolution): the notes are placed
    // once the burst is over.
    QTimer* m_screensChanged = nullptr;
    struct RaisedState {
        QPointer<QWindow> focus; // where the focus was to be after the pass
        int saveCount = 0;
        qint32 noteCount = 0;
        bool editorShown = false;
        // The pass activated a window while another program had the focus, and the
        // window system has not answered yet: a window manager busy mapping hundreds
        // of notes takes seconds. A change of focus or a click on the tray ends it,
        // so an activation the window manager refused never spares a pass the user
        // asked for.
        bool focusOnItsWay = false;
    };
    std::optional<RaisedState> m_raised;
    QPointer<::VersionDialog> m_about;
    QPointer<PeeledNotesWindow> m_peeledForm;
    QPointer<FindNotesWindow> m_findForm;
    QPointer<ReadingWindow> m_helpForm;
};
