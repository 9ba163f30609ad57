#include "windows/french.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstring>

namespace karvel {

namespace {

// What the toolkit's French catalogue leaves in English.
class MissingFrench : public QTranslator {
  public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char*, int) const override {
        struct Text {
            const char *context, *source, *french;
        };
        static const Text texts[] = {
            {"QAbstractFileIconProvider", "Folder", "Dossier"},
            {"QAbstractFileIconProvider", "File", "Fichier"},
            {"QAbstractFileIconProvider", "%1 File", "Fichier %1"},
            {"QAbstractFileIconProvider", "Drive", "Lecteur"},
            {"QAbstractFileIconProvider", "Shortcut", "Raccourci"},
        };
        for (const Text& t : texts)
            if (std::strcmp(context, t.context) == 0 && std::strcmp(source, t.source) == 0)
                return QString::fromUtf8(t.french);
        return {};
    }
};

}  // namespace

void speak_french(QApplication& app) {
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    auto* toolkit = new QTranslator(&app);
    if (toolkit->load(QStringLiteral("qtbase_fr"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(toolkit);
    QApplication::installTranslator(new MissingFrench(&app));
}

}  // namespace karvel
