#pragma once

class QCoreApplication;

namespace resources {

// Puts the toolkit's own texts (file dialogs with their file types, the context menus of
// text boxes, standard buttons) into Greek for the application's life, whatever the
// machine's locale; false when the built-in catalogue cannot be read. Installed before
// the first window, so every window speaks Greek.
bool InstallQtTexts(QCoreApplication& application);

} // namespace resources
