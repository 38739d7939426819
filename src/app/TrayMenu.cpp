#include "app/TrayMenu.h"

#include "platform/MenuItems.h"

TrayMenu::TrayMenu(QWidget* parent)
    : QMenu(parent) {
    setObjectName(QStringLiteral("TrayMenu"));
    setTitle(QStringLiteral("ポップアップメニュー"));

    inew = MenuItems::addItem(this, "inew", QStringLiteral("新規作成"));

    istart = MenuItems::addSubmenu(this, "istart", QStringLiteral("スタートアップ"));
    istartin = MenuItems::addMark(istart, "istartin", QStringLiteral("登録"), false);
    istartout = MenuItems::addMark(istart, "istartout", QStringLiteral("削除"), true);

    idrag = MenuItems::addSubmenu(this, "idrag", QStringLiteral("ドラッグ操作"));
    idrag1 = MenuItems::addMark(idrag, "idrag1", QStringLiteral("コピーログ出力してはがす"), true);
    idrag2 = MenuItems::addMark(idrag, "idrag2", QStringLiteral("コピーのみ"), false);
    idrag3 = MenuItems::addMark(idrag, "idrag3", QStringLiteral("コピーしてはがす"), false);

    // Neither format is marked until start-up has read the setting.
    itext = MenuItems::addSubmenu(this, "itext", QStringLiteral("ドラッグデータ"));
    itext1 = MenuItems::addMark(itext, "itext1", QStringLiteral("リッチテキスト"), false);
    itext2 = MenuItems::addMark(itext, "itext2", QStringLiteral("テキスト"), false);

    isp5 = MenuItems::addSeparator(this, "isp5");
    inetwork = MenuItems::addItem(this, "inetwork", QStringLiteral("ネットワーク設定"));
    isp1 = MenuItems::addSeparator(this, "isp1");
    ialldisp = MenuItems::addItem(this, "ialldisp", QStringLiteral("全てを表示"));
    iallhide = MenuItems::addItem(this, "iallhide", QStringLiteral("全てを非表示"));
    isp2 = MenuItems::addSeparator(this, "isp2");
    ilog = MenuItems::addItem(this, "ilog", QStringLiteral("ログ表示"));
    ipeeled = MenuItems::addItem(this, "ipeeled", QStringLiteral("はがした付箋紙..."));
    ifind = MenuItems::addItem(this, "ifind", QStringLiteral("付箋紙を探す..."));
    isp3 = MenuItems::addSeparator(this, "isp3");
    ihelp = MenuItems::addItem(this, "ihelp", QStringLiteral("ヘルプ"));
    iversion = MenuItems::addItem(this, "iversion", QStringLiteral("バージョン情報"));
    isp4 = MenuItems::addSeparator(this, "isp4");
    iend = MenuItems::addItem(this, "iend", QStringLiteral("終了"));
}

void TrayMenu::applyMarks(const MenuMarks& marks) {
    istartin->setChecked(marks.istartin);
    istartout->setChecked(marks.istartout);
    idrag1->setChecked(marks.idrag1);
    idrag2->setChecked(marks.idrag2);
    idrag3->setChecked(marks.idrag3);
    itext1->setChecked(marks.itext1);
    itext2->setChecked(marks.itext2);
}

MenuMarks TrayMenu::marks() const {
    MenuMarks marks;
    marks.istartin = istartin->isChecked();
    marks.istartout = istartout->isChecked();
    marks.idrag1 = idrag1->isChecked();
    marks.idrag2 = idrag2->isChecked();
    marks.idrag3 = idrag3->isChecked();
    marks.itext1 = itext1->isChecked();
    marks.itext2 = itext2->isChecked();
    return marks;
}
