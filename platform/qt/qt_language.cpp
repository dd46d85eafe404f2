#include "platform/qt/qt_language.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace orvex {

namespace {

std::unique_ptr<QTranslator> translationOf(const std::string& language) {
    if (language == "en") return nullptr; // Qt's own language
    auto loaded = std::make_unique<QTranslator>();
    // Without Qt's translations installed its dialogs stay in English, which is all they can do then.
    if (!loaded->load(QString::fromStdString("qtbase_" + language),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return nullptr;
    return loaded;
}

} // namespace

void speakQtLanguage(const std::string& language) {
    static std::string spoken = "en";
    static std::unique_ptr<QTranslator> translator;
    if (language == spoken) return;
    spoken = language;
    translator = translationOf(language); // the one replaced removes itself from the application
    if (translator) QCoreApplication::installTranslator(translator.get());
    // The change reaches the windows now, not once a box is up: a message box told of it then would put
    // Qt's own words back on the buttons the program named.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
}

} // namespace orvex
