#include "editor/ApplyQuestion.h"
#include "editor/EditorWindow.h"
#include "platform/InputMethod.h"
#include "platform/RichTextBox.h"

#include "FileBytes.h"
#include "ScratchAppState.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {
// The editor's view of an input method, switched by hand; fcitx5 itself is driven in
// the end-to-end test.
struct SwitchedInputMethod : InputMethod {
    bool open = false;
    bool available() const override { return true; }
    std::optional<bool> openStatus() const override { return open; }
    void setOpenStatus(bool status) override { open = status; }
};
} // namespace

class TestEditorInputMethod : public QObject {
    Q_OBJECT

private slots:
    // How the editor leaves the input method after each way of closing it.
    void statusIsPutBack_data() {
        QTest::addColumn<bool>("before");
        QTest::addColumn<QString>("close");
        QTest::addColumn<bool>("after");
        QTest::newRow("off, closed unchanged") << false << "close" << false;
        QTest::newRow("on, closed unchanged") << true << "close" << true;
        QTest::newRow("off, note created") << false << "create" << false;
        QTest::newRow("off, applied from the question") << false << "apply" << false;
        QTest::newRow("off, discarded") << false << "discard" << false;
        QTest::newRow("off, question cancelled") << false << "cancel" << true;
        // Choosing a font takes the focus and gives it back to the text: the status
        // from before the editor opened still counts.
        QTest::newRow("off, font chosen, closed") << false << "font" << false;
    }
    void statusIsPutBack() {
        QFETCH(bool, before);
        QFETCH(QString, close);
        ScratchAppState state;
        state.noteWindows.resize(2);
        SwitchedInputMethod ime;
        ime.open = before;
        EditorWindow::Services services;
        services.inputMethod = &ime;
        EditorWindow editor(state, services);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        editor.openForNewNote(false);
        QTRY_VERIFY(editor.textBox()->hasFocus());
        QVERIFY(ime.open);

        if (close == "close") {
            editor.close();
        } else if (close == "create") {
            QTest::keyClicks(editor.textBox(), "memo");
            editor.findChild<QAction*>("createNote")->trigger();
            QCOMPARE(state.noteCount, 1);
        } else if (close == "font") {
            editor.fontSizeBox()->setFocus();
            QTRY_VERIFY(editor.fontSizeBox()->hasFocus());
            editor.fontSizeBox()->setCurrentIndex(3);
            emit editor.fontSizeBox()->activated(3);
            QTRY_VERIFY(editor.textBox()->hasFocus());
            editor.findChild<QAction*>("createNote")->trigger();
        } else {
            QTest::keyClicks(editor.textBox(), "memo");
            editor.close();
            QVERIFY(editor.applyQuestion() && editor.applyQuestion()->isVisible());
            ApplyQuestion& question = *editor.applyQuestion();
            using Answer = ApplyQuestion::Answer;
            QTest::mouseClick(question.button(close == "apply"     ? Answer::Apply
                                              : close == "discard" ? Answer::Discard
                                                                   : Answer::Cancel),
                              Qt::LeftButton);
        }
        QCOMPARE(editor.isVisible(), close == "cancel");
        QTEST(ime.open, "after");
    }

    // A bus that could start fcitx5 on demand must not be made to: the user did not
    // choose an input method.
    void absentFcitxIsNeverStarted() {
        QTemporaryDir dir;
        const QString mark = dir.filePath("started");
        QVERIFY(QDir(dir.path()).mkdir("services"));
        QVERIFY(writeBytes(dir.filePath("services/org.fcitx.Fcitx5.service"),
                           "[D-BUS Service]\nName=org.fcitx.Fcitx5\nExec=/usr/bin/touch " + QFile::encodeName(mark)));
        QVERIFY(
            writeBytes(dir.filePath("bus.conf"),
                       QStringLiteral("<busconfig><type>session</type><listen>unix:dir=%1</listen>"
                                      "<auth>EXTERNAL</auth><servicedir>%1/services</servicedir>"
                                      "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                                      "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>")
                           .arg(dir.path())
                           .toUtf8()));
        QProcess daemon; // a session bus of the test's own that could start it
        daemon.start("dbus-daemon", {"--config-file=" + dir.filePath("bus.conf"), "--nofork", "--print-address"});
        QTRY_VERIFY_WITH_TIMEOUT(daemon.canReadLine(), 10000);
        {
            const QDBusConnection bus = QDBusConnection::connectToBus(daemon.readLine().trimmed(), "activating");
            QVERIFY(bus.isConnected());
            QVERIFY(dynamic_cast<NoInputMethod*>(InputMethod::create(bus).get()));
            Fcitx5InputMethod im(bus);
            QVERIFY(!im.openStatus());
            im.setOpenStatus(true);
            QVERIFY(!QFile::exists(mark));
        }
        QDBusConnection::disconnectFromBus("activating");
        daemon.kill();
        daemon.waitForFinished();
    }
};

QTEST_MAIN(TestEditorInputMethod)
#include "TestEditorInputMethod.moc"
