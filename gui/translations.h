// The standard dialogs in Portuguese: Qt's own translations of its file
// dialogs, message boxes and buttons (Debian package qt6-translations-l10n).
#pragma once

class QCoreApplication;

// Installs the Brazilian Portuguese translation of Qt's own texts and makes
// Portuguese (Brazil) the default locale. False when the translation files
// are not installed (the dialogs then stay in English).
bool install_portuguese_translations(QCoreApplication& application);
