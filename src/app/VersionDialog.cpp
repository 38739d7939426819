#include "app/VersionDialog.h"

#include "app/AppIcon.h"
#include "app/Version.h"
#include "note/NoteLayout.h"
#include "platform/DesktopServices.h"
#include "platform/MessageBox.h"
#include "platform/Twips.h"

#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const QString kTitle = QStringLiteral("ピノラ");

QFont formFont(const QString& family, bool bold) {
    QFont font = NoteFont(family, 9);
    font.setBold(bold);
    return font;
}

} // namespace

VersionDialog::VersionDialog()
    : QDialog(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("VersionDialog"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kTitle + QStringLiteral("のﾊﾞｰｼﾞｮﾝ情報"));
    setFixedSize(Twips::toPixelsX(5730), Twips::toPixelsY(2880));

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setGeometry(Twips::toPixels(240, 240, 540, 540));
    picIcon->setPixmap(PinoraIcon().pixmap(picIcon->size()));

    lblTitle = new QLabel(kTitle, this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setFont(formFont(QStringLiteral("ＭＳ Ｐゴシック"), true));
    lblTitle->setGeometry(Twips::toPixels(1050, 240, 3885, 480));
    lblTitle->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    lblVersion = new QLabel(versionLine(Version::kMajor, Version::kMinor, Version::kRevision), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setFont(formFont(QStringLiteral("ＭＳ ゴシック"), false));
    lblVersion->setGeometry(Twips::toPixels(1050, 780, 3885, 225));

    lblDescription = new QPlainTextEdit(this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setReadOnly(true);
    lblDescription->setFrameShape(QFrame::NoFrame);
    lblDescription->viewport()->setAutoFillBackground(false);
    lblDescription->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lblDescription->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lblDescription->document()->setDocumentMargin(0);
    lblDescription->setPlainText(QStringLiteral("デスクトップに付箋紙を貼るソフトです。\n"
                                                "付箋紙はこのコンピュータに保存されます。"));
    lblDescription->setGeometry(Twips::toPixels(1050, 1200, 3885, 600));

    // Two etched lines between the notice and the buttons.
    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(Twips::toPixels(90, 1860, 5550, 30));

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(Twips::toPixels(4245, 1980, 1380, 345));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::close);

    cmdSysInfo = new QPushButton(QStringLiteral("ｼｽﾃﾑ情報(&S)..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setGeometry(Twips::toPixels(4260, 2430, 1380, 345));
    cmdSysInfo->setAutoDefault(false);
    connect(cmdSysInfo, &QPushButton::clicked, this, &VersionDialog::StartSysInfo);
}

QString VersionDialog::versionLine(int major, int minor, int revision) {
    return QStringLiteral("ﾊﾞｰｼﾞｮﾝ %1.%2.%3").arg(major).arg(minor).arg(revision);
}

QList<QStringList> VersionDialog::systemInformationPrograms() {
    return {
        {QStringLiteral("hardinfo")},                                              // the system profiler
        {QStringLiteral("kinfocenter")},                                           // KDE
        {QStringLiteral("gnome-control-center"), QStringLiteral("info-overview")}, // GNOME's About page
        {QStringLiteral("xfce4-about")},                                           // Xfce, with its system page
    };
}

void VersionDialog::StartSysInfo() {
    if (!StartFirstProgramFound(systemInformationPrograms()))
        MessageBox::show(QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません"), this);
}
