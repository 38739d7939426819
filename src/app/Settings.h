#pragma once

#include "note/DragData.h"
#include "platform/ProfileFile.h"

#include <QLatin1String>
#include <QString>
#include <QStringList>
#include <QStringView>

// The five settings of Pinora.ini as start-up reads them. Values that do not fit
// their integer width read as the default.
struct Settings {
    static constexpr QLatin1String kFileName{"Pinora.ini"};
    static constexpr QStringView kSection = u"ピノラ";
    static constexpr QStringView kStartupKey = u"スタートアップ登録";
    static constexpr QStringView kDragModeKey = u"ドラッグモード";
    static constexpr QStringView kDragDataKey = u"ドラッグデータ";
    static constexpr QStringView kStartModeKey = u"開始モード";
    static constexpr QStringView kPortKey = u"ポート番号";
    // Added by this program; the Windows one reads neither.
    static constexpr QStringView kReceiveKey = u"受信";                     // 0 everyone, 1 chosen, 2 nobody
    static constexpr QStringView kReceiveFromKey = u"受信するコンピュータ"; // names, comma-separated

    static constexpr qint16 kPlainText = DragData::PlainText;
    static constexpr qint16 kRichText = DragData::RichText;

    bool startupRegistered = false; // "スタートアップ登録" is 1
    qint16 dragMode = 1;
    qint16 dragDataFormat = kPlainText;
    qint16 startMode = 0;
    qint32 portNumber = 0;  // 0: the default port
    qint16 receiveMode = 0; // anything but 1 and 2 reads as 0
    QStringList receiveFrom;
};

Settings ReadSettings(const ProfileFile& profile);

// "開始モード": 1 while an instance runs, 0 after a clean shutdown.
qint16 ReadStartMode(const ProfileFile& profile);

// Each returns false when its write failed; the file then keeps the old value.
bool WriteMenuSettings(const ProfileFile& profile, bool startupRegistered, qint16 dragMode, qint16 dragDataFormat);
bool WriteRunningFlag(const ProfileFile& profile, bool running);
bool WritePortSetting(const ProfileFile& profile, const QString& portText);
bool WriteReceiveSettings(const ProfileFile& profile, qint16 mode, const QStringList& from);

// Which tray menu items carry a check mark after start-up.
struct MenuMarks {
    bool registerStartup = false;
    bool removeStartup = true;
    bool dragCopyLogPeel = true;
    bool dragCopyOnly = false;
    bool dragCopyPeel = false;
    bool dragRichText = true;
    bool dragPlainText = false;
};

MenuMarks MenuMarksFor(const Settings& settings);
