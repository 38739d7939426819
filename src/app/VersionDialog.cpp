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

    m_icon = new QLabel(this);
    m_icon->setObjectName(QStringLiteral("icon"));
    m_icon->setGeometry(Twips::toPixels(240, 240, 540, 540));
    m_icon->setPixmap(PinoraIcon().pixmap(m_icon->size()));

    m_title = new QLabel(kTitle, this);
    m_title->setObjectName(QStringLiteral("title"));
    m_title->setFont(formFont(QStringLiteral("ＭＳ Ｐゴシック"), true));
    m_title->setGeometry(Twips::toPixels(1050, 240, 3885, 480));
    m_title->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_version = new QLabel(versionLine(Version::kMajor, Version::kMinor, Version::kRevision), this);
    m_version->setObjectName(QStringLiteral("version"));
    m_version->setFont(formFont(QStringLiteral("ＭＳ ゴシック"), false));
    m_version->setGeometry(Twips::toPixels(1050, 780, 3885, 225));

    m_notice = new QPlainTextEdit(this);
    m_notice->setObjectName(QStringLiteral("notice"));
    m_notice->setReadOnly(true);
    m_notice->setFrameShape(QFrame::NoFrame);
    m_notice->viewport()->setAutoFillBackground(false);
    m_notice->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_notice->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_notice->document()->setDocumentMargin(0);
    m_notice->setPlainText(QStringLiteral("デスクトップに付箋紙を貼るソフトです。\n"
                                          "付箋紙はこのコンピュータに保存されます。"));
    m_notice->setGeometry(Twips::toPixels(1050, 1200, 3885, 600));

    // Two etched lines between the notice and the buttons.
    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(Twips::toPixels(90, 1860, 5550, 30));

    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_okButton->setGeometry(Twips::toPixels(4245, 1980, 1380, 345));
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::close);

    m_systemInformationButton = new QPushButton(QStringLiteral("ｼｽﾃﾑ情報(&S)..."), this);
    m_systemInformationButton->setObjectName(QStringLiteral("systemInformationButton"));
    m_systemInformationButton->setGeometry(Twips::toPixels(4260, 2430, 1380, 345));
    m_systemInformationButton->setAutoDefault(false);
    connect(m_systemInformationButton, &QPushButton::clicked, this, &VersionDialog::startSystemInformation);
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

void VersionDialog::startSystemInformation() {
    if (!StartFirstProgramFound(systemInformationPrograms()))
        MessageBox::show(QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません"), this);
}
