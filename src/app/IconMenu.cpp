#include "app/IconMenu.h"

IconMenu::IconMenu(QWidget* parent)
    : QMenu(parent) {
    setObjectName(QStringLiteral("IconMenu"));
    setTitle(QStringLiteral("ポップアップメニュー"));

    inew = addItem("inew", QStringLiteral("新規作成"));

    istart = addSubmenu("istart", QStringLiteral("スタートアップ"));
    istartin = addMark(istart, "istartin", QStringLiteral("登録"), false);
    istartout = addMark(istart, "istartout", QStringLiteral("削除"), true);

    idrag = addSubmenu("idrag", QStringLiteral("ドラッグ操作"));
    idrag1 = addMark(idrag, "idrag1", QStringLiteral("コピーログ出力してはがす"), true);
    idrag2 = addMark(idrag, "idrag2", QStringLiteral("コピーのみ"), false);
    idrag3 = addMark(idrag, "idrag3", QStringLiteral("コピーしてはがす"), false);

    // Neither format is marked until start-up has read the setting.
    itext = addSubmenu("itext", QStringLiteral("ドラッグデータ"));
    itext1 = addMark(itext, "itext1", QStringLiteral("リッチテキスト"), false);
    itext2 = addMark(itext, "itext2", QStringLiteral("テキスト"), false);

    isp5 = addNamedSeparator("isp5");
    inetwork = addItem("inetwork", QStringLiteral("ネットワーク設定"));
    isp1 = addNamedSeparator("isp1");
    ialldisp = addItem("ialldisp", QStringLiteral("全てを表示"));
    iallhide = addItem("iallhide", QStringLiteral("全てを非表示"));
    isp2 = addNamedSeparator("isp2");
    ilog = addItem("ilog", QStringLiteral("ログ表示"));
    isp3 = addNamedSeparator("isp3");
    ihelp = addItem("ihelp", QStringLiteral("ヘルプ"));
    iversion = addItem("iversion", QStringLiteral("バージョン情報"));
    isp4 = addNamedSeparator("isp4");
    iend = addItem("iend", QStringLiteral("終了"));
}

void IconMenu::applyMarks(const MenuMarks& marks) {
    istartin->setChecked(marks.istartin);
    istartout->setChecked(marks.istartout);
    idrag1->setChecked(marks.idrag1);
    idrag2->setChecked(marks.idrag2);
    idrag3->setChecked(marks.idrag3);
    itext1->setChecked(marks.itext1);
    itext2->setChecked(marks.itext2);
}

MenuMarks IconMenu::marks() const {
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

QAction* IconMenu::addItem(const char* name, const QString& caption) {
    QAction* action = addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

QAction* IconMenu::addMark(QMenu* menu, const char* name, const QString& caption, bool checked) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setCheckable(true);
    action->setChecked(checked);
    return action;
}

QMenu* IconMenu::addSubmenu(const char* name, const QString& caption) {
    QMenu* menu = addMenu(caption);
    // Both the submenu and the item that opens it answer to the item's name.
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    return menu;
}

QAction* IconMenu::addNamedSeparator(const char* name) {
    QAction* separator = addSeparator();
    separator->setObjectName(QLatin1String(name));
    return separator;
}
