#include "editor/EditForm.h"
#include "editor/MsgForm.h"
#include "note/FusenForm.h"
#include "platform/InputMethod.h"
#include "platform/RichTextBox.h"

#include "FakeFcitx5Controller.h"
#include "PrivateSessionBus.h"
#include "ScratchAppState.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {
// fcitx5's controller states.
constexpr int kOff = 1;
constexpr int kOn = 2;

QString describe(std::optional<bool> status) {
    if (!status)
        return QStringLiteral("unknown");
    return *status ? QStringLiteral("open") : QStringLiteral("closed");
}
} // namespace

// The editor against a stand-in fcitx5 on a D-Bus session bus of the test's own.
class TestEditorInputMethod : public QObject {
    Q_OBJECT

    std::unique_ptr<PrivateSessionBus> m_bus;
    std::unique_ptr<FakeFcitx5Controller> m_fcitx;
    std::unique_ptr<InputMethod> m_ime;
    std::unique_ptr<ScratchAppState> m_state;
    std::unique_ptr<EditForm> m_editor;

    void openEditorWithImeAt(int state) {
        m_fcitx->setState(state);
        m_editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_editor.get()));
        m_editor->openForNewNote(false);
        QTRY_VERIFY(m_editor->Rich1->hasFocus());
    }

private slots:
    void initTestCase() {
        m_bus = std::make_unique<PrivateSessionBus>();
        QVERIFY2(m_bus->isRunning(), qPrintable(m_bus->error()));
        m_bus->makeSessionBus();
        m_fcitx = std::make_unique<FakeFcitx5Controller>(m_bus->address());
        QVERIFY(m_fcitx->publish());
        m_ime = InputMethod::create();
        QVERIFY(dynamic_cast<Fcitx5InputMethod*>(m_ime.get()));
    }
    void cleanupTestCase() {
        m_ime.reset();
        m_fcitx.reset();
        m_bus.reset();
    }

    void init() {
        m_state = std::make_unique<ScratchAppState>();
        m_state->NoteWindows.resize(2);
        EditForm::Services services;
        services.inputMethod = m_ime.get();
        m_editor = std::make_unique<EditForm>(*m_state, services);
    }
    void cleanup() {
        m_editor.reset();
        m_state.reset(); // with the note windows it owns
    }

    // How the editor leaves fcitx5 after each way of closing it.
    void statusIsPutBack_data() {
        QTest::addColumn<int>("before");
        QTest::addColumn<QString>("close");
        QTest::addColumn<int>("after");
        QTest::newRow("off, closed unchanged") << kOff << "close" << kOff;
        QTest::newRow("on, closed unchanged") << kOn << "close" << kOn;
        QTest::newRow("off, note created") << kOff << "create" << kOff;
        QTest::newRow("off, applied from the question") << kOff << "apply" << kOff;
        QTest::newRow("off, discarded") << kOff << "discard" << kOff;
        QTest::newRow("off, question cancelled") << kOff << "cancel" << kOn;
        // Choosing a font takes the focus and gives it back to the text: the status
        // from before the editor opened still counts.
        QTest::newRow("off, font chosen, closed") << kOff << "font" << kOff;
    }
    void statusIsPutBack() {
        QFETCH(int, before);
        QFETCH(QString, close);
        QFETCH(int, after);
        openEditorWithImeAt(before);
        QCOMPARE(m_fcitx->state(), kOn);

        if (close == QLatin1String("close")) {
            m_editor->close();
        } else if (close == QLatin1String("create")) {
            QTest::keyClicks(m_editor->Rich1, "memo");
            m_editor->mCreate->trigger();
            QCOMPARE(m_state->NoteCount, 1);
        } else if (close == QLatin1String("font")) {
            m_editor->Combo2->setFocus();
            QTRY_VERIFY(m_editor->Combo2->hasFocus());
            m_editor->Combo2->setCurrentIndex(3);
            emit m_editor->Combo2->activated(3);
            QTRY_VERIFY(m_editor->Rich1->hasFocus());
            m_editor->mCreate->trigger();
        } else {
            QTest::keyClicks(m_editor->Rich1, "memo");
            m_editor->close();
            QVERIFY(m_editor->msgForm() && m_editor->msgForm()->isVisible());
            QPushButton* button = close == QLatin1String("apply")     ? m_editor->msgForm()->Command1
                                  : close == QLatin1String("discard") ? m_editor->msgForm()->Command2
                                                                      : m_editor->msgForm()->Command3;
            QTest::mouseClick(button, Qt::LeftButton);
        }
        QCOMPARE(m_editor->isVisible(), close == QLatin1String("cancel"));
        QCOMPARE(m_fcitx->state(), after);
    }

    // A window just shown has no focused input context in fcitx5 yet: switching on
    // waits until the context's focus arrives over the toolkit's connection.
    void switchedOnOnceTheContextHasTheFocus() {
        m_fcitx->setState(0);
        m_ime->setOpenStatus(true);
        QCOMPARE(m_fcitx->state(), 0);
        QTest::qWait(120);
        m_fcitx->setState(1);
        QTRY_COMPARE(m_fcitx->state(), 2);
    }

    // A bus that could start fcitx5 on demand must not be made to: the user did not
    // choose an input method.
    void absentFcitxIsNeverStarted() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("services")));
        const QString mark = dir.filePath(QStringLiteral("started"));
        QFile service(dir.filePath(QStringLiteral("services/org.fcitx.Fcitx5.service")));
        QVERIFY(service.open(QIODevice::WriteOnly));
        service.write("[D-BUS Service]\nName=org.fcitx.Fcitx5\nExec=/usr/bin/touch " + QFile::encodeName(mark) + "\n");
        service.close();
        PrivateSessionBus activating(dir.filePath(QStringLiteral("services")));
        QVERIFY2(activating.isRunning(), qPrintable(activating.error()));
        const QDBusConnection bus = QDBusConnection::connectToBus(activating.address(), QStringLiteral("activating"));
        QVERIFY(bus.isConnected());
        QVERIFY(dynamic_cast<NoInputMethod*>(InputMethod::create(bus).get()));
        Fcitx5InputMethod im(bus);
        QCOMPARE(describe(im.openStatus()), QStringLiteral("unknown"));
        im.setOpenStatus(true);
        QVERIFY(!QFile::exists(mark));
        QDBusConnection::disconnectFromBus(QStringLiteral("activating"));
    }
};

QTEST_MAIN(TestEditorInputMethod)
#include "TestEditorInputMethod.moc"
