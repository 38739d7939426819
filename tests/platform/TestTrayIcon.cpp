#include "platform/StatusWindow.h"
#include "platform/StatusWindowTrayIcon.h"
#include "platform/SystemTrayIcon.h"
#include "platform/TrayIcon.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QSignalSpy>
#include <QStyleHints>
#include <QSystemTrayIcon>
#include <QTest>
#include <QWindow>

#include <memory>

#include "WindowManager.h"

namespace {

QIcon someIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::yellow);
    return QIcon(pixmap);
}

// The three signals of one tray icon, counted.
struct Spies {
    explicit Spies(TrayIcon* icon)
        : down(icon, &TrayIcon::leftButtonDown)
        , doubleClick(icon, &TrayIcon::leftDoubleClick)
        , right(icon, &TrayIcon::rightButtonDown) {}
    QSignalSpy down;
    QSignalSpy doubleClick;
    QSignalSpy right;
    // Presses, double clicks and menus so far.
    QList<qsizetype> counts() const { return {down.count(), doubleClick.count(), right.count()}; }
};

} // namespace

class TestTrayIcon : public QObject {
    Q_OBJECT

    WindowManager m_windowManager;

    std::unique_ptr<TrayIcon> m_icon;
    StatusWindow* m_window = nullptr;

    QWindow* handle() const { return m_window->windowHandle(); }

private slots:
    // In a real X server the window manager is there too, as on every desktop.
    void initTestCase() {
        if (QGuiApplication::platformName() == QLatin1String("xcb"))
            QVERIFY(m_windowManager.start());
    }
    // Each case starts from what the program gets at start-up where there is no tray.
    void init() {
        m_icon = TrayIcon::create(someIcon(), QStringLiteral("ピノラ"));
        auto* fallback = qobject_cast<StatusWindowTrayIcon*>(m_icon.get());
        QVERIFY(fallback);
        m_window = fallback->window();
        m_icon->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window, 30000)); // a loaded machine maps slowly
    }
    void cleanup() {
        m_icon.reset();
        m_window = nullptr;
    }

    void withoutATrayTheStatusWindowStandsIn() {
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        QCOMPARE(m_window->toolTip(), QStringLiteral("ピノラ"));
        m_icon->hide();
        QVERIFY(!m_window->isVisible());
        m_icon->show();
        QVERIFY(m_window->isVisible());
        // Removing the icon takes the window with it.
        QPointer<StatusWindow> window(m_window);
        m_icon.reset();
        QVERIFY(window.isNull());
    }

    // A double click is reported once, its second press not as another press; a right
    // double click opens the menu for each press and is no double click.
    void doubleClickIsReportedOnce() {
        Spies spies(m_icon.get());
        QTest::mouseDClick(handle(), Qt::LeftButton, {}, QPoint(8, 8));
        QCOMPARE(spies.counts(), (QList<qsizetype>{1, 1, 0}));
        QTest::mouseDClick(handle(), Qt::RightButton, {}, QPoint(8, 8));
        QCOMPARE(spies.counts(), (QList<qsizetype>{1, 1, 2}));
    }

    void trayActivationsBecomeSignals() {
        SystemTrayIcon tray(someIcon(), QStringLiteral("ピノラ"));
        auto* icon = tray.findChild<QSystemTrayIcon*>();
        QVERIFY(icon);
        Spies spies(&tray);

        // Close together: a host that reports only activations still gives a double
        // click, and one that also reports the double click gives it once.
        QGuiApplication::styleHints()->setMouseDoubleClickInterval(60000);
        emit icon->activated(QSystemTrayIcon::Trigger);
        emit icon->activated(QSystemTrayIcon::Trigger);
        emit icon->activated(QSystemTrayIcon::DoubleClick);
        QCOMPARE(spies.counts().first(2), (QList<qsizetype>{1, 1}));

        // A host that reports the double click without the second activation.
        emit icon->activated(QSystemTrayIcon::DoubleClick);
        QCOMPARE(spies.doubleClick.count(), 2);

        // Far apart: two single clicks.
        QGuiApplication::styleHints()->setMouseDoubleClickInterval(1);
        emit icon->activated(QSystemTrayIcon::Trigger);
        QTest::qWait(20);
        emit icon->activated(QSystemTrayIcon::Trigger);
        QCOMPARE(spies.counts().first(2), (QList<qsizetype>{3, 2}));

        emit icon->activated(QSystemTrayIcon::Context);
        QCOMPARE(spies.right.count(), 1);
        QCOMPARE(spies.right.at(0).at(0).toPoint(), QCursor::pos());
        QGuiApplication::styleHints()->setMouseDoubleClickInterval(-1);
    }
};

QTEST_MAIN(TestTrayIcon)
#include "TestTrayIcon.moc"
