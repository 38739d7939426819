#pragma once

#include "platform/ProfileFile.h"

#include <QWidget>

#include <functional>
#include <memory>

struct AppState;
class IconMenu;
class InstanceLock;
class QTimer;
class TrayIcon;

// The program's hidden main window: it runs start-up and shutdown and owns the
// tray icon, its menu and the click timer. It is never shown.
class MainForm : public QWidget {
    Q_OBJECT

public:
    struct Services {
        std::function<std::unique_ptr<TrayIcon>()> makeTrayIcon;
        std::function<bool()> otherInstanceRunning; // default: the lock in AppDir
        std::function<void(int milliseconds)> sleep;
    };

    MainForm(AppState& state, Services services);
    ~MainForm() override;

    // The whole start-up. False when another copy runs and this one must end.
    bool Form_Load();

    void RaiseAllNotes();
    void RequestExit();
    void ShutdownApp();

    ::IconMenu* IconMenu = nullptr;
    QTimer* Timer1 = nullptr;
    TrayIcon* trayIcon() const { return m_tray.get(); }

signals:
    // The program has shut down and the event loop may end.
    void finished();

private:
    void restoreNotes();
    void createPlaceholder();
    void applySettings();
    void connectMenu();
    void tray_LeftButtonDown();
    void tray_LeftDoubleClick();
    void tray_RightButtonDown(const QPoint& position);
    void Timer1_Timer();
    void idrag_Click(qint16 mode);
    void itext_Click(qint16 format);
    void ialldisp_Click();
    void iallhide_Click();
    void ilog_Click();
    void ihelp_Click();

    AppState& m_state;
    Services m_services;
    ProfileFile m_profile;
    std::unique_ptr<InstanceLock> m_lock;
    std::unique_ptr<TrayIcon> m_tray;
};
