// Qt's own Chinese texts for the standard dialogs: message-box buttons (确定, 是, 否, 取消),
// the file dialogs and the print dialogs. The translations come with the system's Qt
// (Debian's qt6-translations-l10n); without them the dialogs stay in English.
#pragma once

namespace wb {
// Makes the program's locale Chinese (China) for the dates Qt's dialogs show (a file
// dialog's "修改日期" column follows the system locale, which Qt reads from the environment
// once). Call first thing in main, before the QApplication exists.
void use_chinese_locale();
// Loads Qt's Chinese (Simplified) translations into the application and makes Chinese the
// default locale. Call once, after the QApplication exists. False when no translation file
// could be loaded.
bool install_qt_translations();
}  // namespace wb
