#include "platform/DesktopServices.h"

#include <QDesktopServices>
#include <QTest>
#include <QUrl>

// Catches what would otherwise start the desktop's file handler.
class TestDesktopServices : public QObject {
    Q_OBJECT

    QList<QUrl> m_opened;

public slots:
    void open(const QUrl& url) { m_opened.append(url); }

private slots:
    void init() {
        m_opened.clear();
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open");
    }
    void cleanup() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    // A Japanese name with blanks and a '#' must reach the handler as the same file.
    void opensTheFileItself() {
        const QString path = QStringLiteral("/tmp/ピノラ 付箋/#1 Pinora.log");
        QVERIFY(OpenWithDesktop(path));
        QCOMPARE(m_opened.size(), 1);
        QVERIFY(m_opened.at(0).isLocalFile());
        QCOMPARE(m_opened.at(0).toLocalFile(), path);
        QVERIFY(!OpenWithDesktop(QString())); // no path opens nothing
        QCOMPARE(m_opened.size(), 1);
    }
};

QTEST_MAIN(TestDesktopServices)
#include "TestDesktopServices.moc"
