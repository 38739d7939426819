#pragma once

// Loads Qt's own Japanese translation (Debian: qt6-translations-l10n), so that the
// toolkit's dialogs and the context menus of text fields speak the program's
// language whatever the session's locale. False, and logged, when it is missing.
bool InstallToolkitTranslation();
