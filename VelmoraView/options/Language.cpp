#include "options/Language.h"

#include "EMTaskData.h"
#include "FileImage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <algorithm>
#include <cerrno>
#include <unistd.h>

// The catalogues are built into the program (outside any namespace, as Qt's
// resource macro needs).
static void InitCatalogues() { Q_INIT_RESOURCE(zolt7_i18n); }

namespace options {

std::string LanguageSettingPath(const std::string& folder) { return folder + "/conf/language.conf"; }

namespace {
const char* const kValues[] = {"system", "en", "ko"};
}

UiLanguage ReadLanguageSetting(const std::string& folder)
{
    const int fd = emtask::OpenRegularFile(LanguageSettingPath(folder));
    if (fd < 0) return UiLanguage::System;
    char text[64];
    const ssize_t got = read(fd, text, sizeof text);
    close(fd);
    std::string line(text, size_t(std::max<ssize_t>(got, 0)));
    line = line.substr(0, line.find('\n'));
    for (int i = 0; i < 3; ++i)
        if (line == std::string("language=") + kValues[i]) return UiLanguage(i);
    return UiLanguage::System;
}

bool WriteLanguageSetting(const std::string& folder, UiLanguage lang, std::string& why)
{
    const std::string text = std::string("language=") + kValues[int(lang)] + "\n";
    emtask::MakeDirectory(folder + "/conf");
    if (emtask::AtomicWriteFile(LanguageSettingPath(folder), text.data(), text.size())) return true;
    why = emtask::LastFileError();
    return false;
}

UiLanguage ResolveLanguage(UiLanguage chosen, const QString& systemUiLanguage)
{
    if (chosen != UiLanguage::System) return chosen;
    return systemUiLanguage.startsWith(QLatin1String("ko"), Qt::CaseInsensitive) ? UiLanguage::Korean
                                                                                 : UiLanguage::English;
}

bool LoadCatalogue(UiLanguage lang, QTranslator& into)
{
    InitCatalogues();
    return into.load(lang == UiLanguage::Korean ? QStringLiteral(":/i18n/zolt7_ko.qm")
                                                : QStringLiteral(":/i18n/zolt7_en.qm"));
}

UiLanguage InstallLanguage(const std::string& folder)
{
    const QStringList ui = QLocale::system().uiLanguages();
    const UiLanguage lang = ResolveLanguage(ReadLanguageSetting(folder),
                                            ui.isEmpty() ? QString() : ui.first());
    auto* t = new QTranslator(QCoreApplication::instance());
    if (LoadCatalogue(lang, *t)) QCoreApplication::installTranslator(t);
    // Qt's own texts (the buttons of its message and file windows), where the
    // system has them.
    if (lang == UiLanguage::Korean) {
        auto* qt = new QTranslator(QCoreApplication::instance());
        if (qt->load(QStringLiteral("qtbase_ko"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(qt);
    }
    return lang;
}

}  // namespace options
