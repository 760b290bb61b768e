#include "windows/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace kvel {

QString languageCode(const std::string& stored) {
    const QString code = QString::fromStdString(stored).trimmed().toLower();
    return kLanguageCodes.contains(code) ? code : kLanguageCodes.front();
}

bool applyLanguage(const QString& code) {
    // One translator of ours and one of Qt's for the process; a new language replaces them.
    static QTranslator ours;
    static QTranslator qtBase;
    QCoreApplication::removeTranslator(&ours);
    QCoreApplication::removeTranslator(&qtBase);
    const bool english = languageCode(code.toStdString()) == "en";
    // Qt's standard buttons speak the program's language: Russian needs Qt's translation,
    // English is Qt's own.
    if (!english && qtBase.load(QLocale(QLocale::Russian), "qtbase", "_",
                                QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&qtBase);
    }
    if (!english) return true;
    if (!ours.load(":/i18n/kvelview_en.qm")) return false;
    QCoreApplication::installTranslator(&ours);
    return true;
}

bool applyLanguageOf(const MemIni& ini) {
    return applyLanguage(languageCode(ini.readString(keys::kLanguage)));
}

}  // namespace kvel
