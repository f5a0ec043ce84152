// The language of the windows: the system's (LANG / LC_MESSAGES) unless the
// Program page forces one. Kept in conf/language.conf, apart from the
// settings block, whose layout is fixed. Texts written into files (exports,
// reports, logs) never change with it.
#pragma once

#include <QString>
#include <string>

class QTranslator;

namespace options {

enum class UiLanguage { System = 0, English = 1, Korean = 2 };

std::string LanguageSettingPath(const std::string& folder);
// A missing or unreadable file, or a value that is not ours, is System.
UiLanguage ReadLanguageSetting(const std::string& folder);
// False with `why` (the file and the system's reason) when it cannot be saved.
bool WriteLanguageSetting(const std::string& folder, UiLanguage lang, std::string& why);

// English or Korean: what System means for these locale names (the first of
// the user's interface languages, e.g. "ko-KR").
UiLanguage ResolveLanguage(UiLanguage chosen, const QString& systemUiLanguage);
// Loads the built-in catalogue of `lang` (English or Korean) into `into`.
bool LoadCatalogue(UiLanguage lang, QTranslator& into);
// Resolves the program folder's setting against the system's locale and
// installs the catalogue for the application's lifetime.
UiLanguage InstallLanguage(const std::string& folder);

}  // namespace options
