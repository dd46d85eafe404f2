#include "platform/qt/qt_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace orvex {

void speakQtLanguage(const std::string& language) {
    static std::string spoken = "en"; // Qt's own language, with no translation loaded
    static std::unique_ptr<QTranslator> translator;
    if (language == spoken) return;
    spoken = language;
    translator.reset(); // a translator removes itself from the application
    if (language == "en") return;
    auto loaded = std::make_unique<QTranslator>();
    // Without Qt's translations installed its dialogs stay in English, which is all they can do then.
    if (!loaded->load(QString::fromStdString("qtbase_" + language),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return;
    QCoreApplication::installTranslator(loaded.get());
    translator = std::move(loaded);
}

} // namespace orvex
