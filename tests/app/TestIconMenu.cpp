#include "app/IconMenu.h"

#include <QTest>

#include <vector>

using namespace Qt::StringLiterals;

namespace {

struct Item {
    const char* name;
    const char* caption; // empty for a separator
};

// What the user sees, top to bottom.
const std::vector<Item> kTopLevel = {
    {"inew", "新規作成"},
    {"istart", "スタートアップ"},
    {"idrag", "ドラッグ操作"},
    {"itext", "ドラッグデータ"},
    {"isp5", ""},
    {"inetwork", "ネットワーク設定"},
    {"isp1", ""},
    {"ialldisp", "全てを表示"},
    {"iallhide", "全てを非表示"},
    {"isp2", ""},
    {"ilog", "ログ表示"},
    {"isp3", ""},
    {"ihelp", "ヘルプ"},
    {"iversion", "バージョン情報"},
    {"isp4", ""},
    {"iend", "終了"},
};
const std::vector<Item> kStart = {{"istartin", "登録"}, {"istartout", "削除"}};
const std::vector<Item> kDrag = {
    {"idrag1", "コピーログ出力してはがす"}, {"idrag2", "コピーのみ"}, {"idrag3", "コピーしてはがす"}};
const std::vector<Item> kText = {{"itext1", "リッチテキスト"}, {"itext2", "テキスト"}};

void compareItems(const QMenu* menu, const std::vector<Item>& expected) {
    const QList<QAction*> actions = menu->actions();
    QCOMPARE(actions.size(), qsizetype(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        const QAction* action = actions.at(qsizetype(i));
        const QString caption = QString::fromUtf8(expected[i].caption);
        QCOMPARE(action->objectName(), QLatin1String(expected[i].name));
        QCOMPARE(action->isSeparator(), caption.isEmpty());
        if (!caption.isEmpty())
            QCOMPARE(action->text(), caption);
    }
}

QStringList checkedItems(const IconMenu& menu) {
    QStringList names;
    for (const QAction* action : menu.findChildren<QAction*>())
        if (action->isChecked())
            names.append(action->objectName());
    names.sort();
    return names;
}

Settings settingsWith(bool registered, qint16 dragMode, qint16 dragData) {
    Settings settings;
    settings.startupRegistered = registered;
    settings.dragMode = dragMode;
    settings.dragDataFormat = dragData;
    return settings;
}

} // namespace

class TestIconMenu : public QObject {
    Q_OBJECT

private slots:
    void itemsInOrder() {
        IconMenu menu;
        QCOMPARE(menu.objectName(), QStringLiteral("IconMenu"));
        QCOMPARE(menu.title(), QStringLiteral("ポップアップメニュー"));
        compareItems(&menu, kTopLevel);
        compareItems(menu.istart, kStart);
        compareItems(menu.idrag, kDrag);
        compareItems(menu.itext, kText);
    }

    void marksFromSettings_data() {
        QTest::addColumn<Settings>("settings");
        QTest::addColumn<QStringList>("checked");
        QTest::newRow("defaults") << Settings() << QStringList{u"idrag1"_s, u"istartout"_s, u"itext2"_s};
        QTest::newRow("registered, copy and peel, rich text")
            << settingsWith(true, 3, Settings::kRichText) << QStringList{u"idrag3"_s, u"istartin"_s, u"itext1"_s};
        QTest::newRow("copy only") << settingsWith(false, 2, Settings::kPlainText)
                                   << QStringList{u"idrag2"_s, u"istartout"_s, u"itext2"_s};
        QTest::newRow("drag mode 7 keeps the designed mark")
            << settingsWith(false, 7, Settings::kPlainText) << QStringList{u"idrag1"_s, u"istartout"_s, u"itext2"_s};
    }
    void marksFromSettings() {
        QFETCH(Settings, settings);
        QFETCH(QStringList, checked);
        IconMenu menu;
        menu.applyMarks(MenuMarksFor(settings));
        QCOMPARE(checkedItems(menu), checked);
        // What the menu reports is what was applied, for writing the settings back.
        const MenuMarks marks = menu.marks();
        IconMenu again;
        again.applyMarks(marks);
        QCOMPARE(checkedItems(again), checked);
    }
};

QTEST_MAIN(TestIconMenu)
#include "TestIconMenu.moc"
