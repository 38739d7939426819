#include "app/TrayMenu.h"

#include "platform/MenuItems.h"

TrayMenu::TrayMenu(QWidget* parent)
    : QMenu(parent) {
    setObjectName(QStringLiteral("TrayMenu"));
    setTitle(QStringLiteral("ポップアップメニュー"));

    m_newNote = MenuItems::addItem(this, "newNote", QStringLiteral("新規作成"));

    m_startupMenu = MenuItems::addSubmenu(this, "startupMenu", QStringLiteral("スタートアップ"));
    m_registerStartup = MenuItems::addMark(m_startupMenu, "registerStartup", QStringLiteral("登録"), false);
    m_removeStartup = MenuItems::addMark(m_startupMenu, "removeStartup", QStringLiteral("削除"), true);

    m_dragMenu = MenuItems::addSubmenu(this, "dragMenu", QStringLiteral("ドラッグ操作"));
    m_dragCopyLogPeel =
        MenuItems::addMark(m_dragMenu, "dragCopyLogPeel", QStringLiteral("コピーログ出力してはがす"), true);
    m_dragCopyOnly = MenuItems::addMark(m_dragMenu, "dragCopyOnly", QStringLiteral("コピーのみ"), false);
    m_dragCopyPeel = MenuItems::addMark(m_dragMenu, "dragCopyPeel", QStringLiteral("コピーしてはがす"), false);

    // Neither format is marked until start-up has read the setting.
    m_dragDataMenu = MenuItems::addSubmenu(this, "dragDataMenu", QStringLiteral("ドラッグデータ"));
    m_dragRichText = MenuItems::addMark(m_dragDataMenu, "dragRichText", QStringLiteral("リッチテキスト"), false);
    m_dragPlainText = MenuItems::addMark(m_dragDataMenu, "dragPlainText", QStringLiteral("テキスト"), false);

    MenuItems::addSeparator(this, "separator5");
    m_networkSettings = MenuItems::addItem(this, "networkSettings", QStringLiteral("ネットワーク設定"));
    MenuItems::addSeparator(this, "separator1");
    m_showAll = MenuItems::addItem(this, "showAll", QStringLiteral("全てを表示"));
    m_hideAll = MenuItems::addItem(this, "hideAll", QStringLiteral("全てを非表示"));
    MenuItems::addSeparator(this, "separator2");
    m_showLog = MenuItems::addItem(this, "showLog", QStringLiteral("ログ表示"));
    m_peeledNotes = MenuItems::addItem(this, "peeledNotes", QStringLiteral("はがした付箋紙..."));
    m_findNotes = MenuItems::addItem(this, "findNotes", QStringLiteral("付箋紙を探す..."));
    MenuItems::addSeparator(this, "separator3");
    m_help = MenuItems::addItem(this, "help", QStringLiteral("ヘルプ"));
    m_version = MenuItems::addItem(this, "version", QStringLiteral("バージョン情報"));
    MenuItems::addSeparator(this, "separator4");
    m_exit = MenuItems::addItem(this, "exit", QStringLiteral("終了"));
}

void TrayMenu::applyMarks(const MenuMarks& marks) {
    m_registerStartup->setChecked(marks.registerStartup);
    m_removeStartup->setChecked(marks.removeStartup);
    m_dragCopyLogPeel->setChecked(marks.dragCopyLogPeel);
    m_dragCopyOnly->setChecked(marks.dragCopyOnly);
    m_dragCopyPeel->setChecked(marks.dragCopyPeel);
    m_dragRichText->setChecked(marks.dragRichText);
    m_dragPlainText->setChecked(marks.dragPlainText);
}

MenuMarks TrayMenu::marks() const {
    MenuMarks marks;
    marks.registerStartup = m_registerStartup->isChecked();
    marks.removeStartup = m_removeStartup->isChecked();
    marks.dragCopyLogPeel = m_dragCopyLogPeel->isChecked();
    marks.dragCopyOnly = m_dragCopyOnly->isChecked();
    marks.dragCopyPeel = m_dragCopyPeel->isChecked();
    marks.dragRichText = m_dragRichText->isChecked();
    marks.dragPlainText = m_dragPlainText->isChecked();
    return marks;
}
