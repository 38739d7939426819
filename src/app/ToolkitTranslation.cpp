#include "app/ToolkitTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QTranslator>

Q_LOGGING_CATEGORY(lcTranslation, "pinora.app.translation")

bool InstallToolkitTranslation() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                          dir)) {
        qCWarning(lcTranslation) << "Qt's Japanese translation (qtbase_ja.qm) is not in" << dir
                                 << "- the toolkit's own dialogs stay in English";
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}
