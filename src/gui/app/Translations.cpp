#include "gui/app/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace peridon {

bool installQtTranslations(QCoreApplication& app) {
    const QStringList folders{
        QLibraryInfo::path(QLibraryInfo::TranslationsPath),
        QDir(QCoreApplication::applicationDirPath()).filePath(u"translations"_s)};
    bool any = false;
    // qt_ja brings the Qt modules' texts (qtbase among them); qt_help_ja the
    // help index's.
    for (const QString& name : {u"qt_ja"_s, u"qt_help_ja"_s}) {
        auto* translator = new QTranslator(&app);
        bool loaded = false;
        for (const QString& folder : folders) {
            if (translator->load(name, folder)) {
                loaded = true;
                break;
            }
        }
        if (loaded && QCoreApplication::installTranslator(translator)) {
            any = true;
        } else {
            delete translator;
        }
    }
    return any;
}

} // namespace peridon
