#include "app/Settings.h"

#include <utility>

namespace {

template <typename T>
T readNarrow(const ProfileFile& profile, QStringView key, T defaultValue) {
    const qint64 value = profile.readInt(Settings::kSection, key, defaultValue);
    return std::in_range<T>(value) ? static_cast<T>(value) : defaultValue;
}

} // namespace

Settings ReadSettings(const ProfileFile& profile) {
    Settings s;
    s.startupRegistered = profile.readInt(Settings::kSection, Settings::kStartupKey, 0) == 1;
    s.dragMode = readNarrow(profile, Settings::kDragModeKey, s.dragMode);
    s.dragDataFormat = readNarrow(profile, Settings::kDragDataKey, s.dragDataFormat);
    s.startMode = readNarrow(profile, Settings::kStartModeKey, s.startMode);
    s.portNumber = readNarrow(profile, Settings::kPortKey, s.portNumber);
    s.receiveMode = readNarrow(profile, Settings::kReceiveKey, s.receiveMode);
    if (s.receiveMode != 1 && s.receiveMode != 2)
        s.receiveMode = 0;
    s.receiveFrom = profile.readString(Settings::kSection, Settings::kReceiveFromKey, QString())
                        .split(QLatin1Char(','), Qt::SkipEmptyParts);
    return s;
}

qint16 ReadStartMode(const ProfileFile& profile) {
    return readNarrow<qint16>(profile, Settings::kStartModeKey, 0);
}

bool WriteMenuSettings(const ProfileFile& profile, bool startupRegistered, qint16 dragMode, qint16 dragDataFormat) {
    // Every key is written even when an earlier one failed, as each stands alone.
    bool ok = profile.writeString(Settings::kSection, Settings::kStartupKey, startupRegistered ? u"1" : u"0");
    ok &= profile.writeString(Settings::kSection, Settings::kDragModeKey, QString::number(dragMode));
    ok &= profile.writeString(Settings::kSection, Settings::kDragDataKey, QString::number(dragDataFormat));
    return ok;
}

bool WriteRunningFlag(const ProfileFile& profile, bool running) {
    return profile.writeString(Settings::kSection, Settings::kStartModeKey, running ? u"1" : u"0");
}

bool WritePortSetting(const ProfileFile& profile, const QString& portText) {
    return profile.writeString(Settings::kSection, Settings::kPortKey, portText);
}

bool WriteReceiveSettings(const ProfileFile& profile, qint16 mode, const QStringList& from) {
    bool ok = profile.writeString(Settings::kSection, Settings::kReceiveKey, QString::number(mode));
    ok &= profile.writeString(Settings::kSection, Settings::kReceiveFromKey, from.join(QLatin1Char(',')));
    return ok;
}

MenuMarks MenuMarksFor(const Settings& settings) {
    MenuMarks marks;
    marks.registerStartup = settings.startupRegistered;
    marks.removeStartup = !settings.startupRegistered;
    // A drag mode outside 1..3 keeps the marks as the menu was designed.
    if (settings.dragMode >= 1 && settings.dragMode <= 3) {
        marks.dragCopyLogPeel = settings.dragMode == 1;
        marks.dragCopyOnly = settings.dragMode == 2;
        marks.dragCopyPeel = settings.dragMode == 3;
    }
    marks.dragRichText = settings.dragDataFormat != Settings::kPlainText;
    marks.dragPlainText = settings.dragDataFormat == Settings::kPlainText;
    return marks;
}
