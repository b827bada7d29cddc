#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace rt {

// The open and save file dialogs as the program asks for them. The filter is in the
// runtime's form: "description|patterns|description|patterns".
struct FileDialogRequest {
    enum Kind { Open, Save } kind = Open;
    QString title;
    QString filter;
    QString defaultExt; // without the dot; added to a name typed without one
    QString fileName;   // proposed name
    QString initialDir;
};

// The chosen path, or nothing when the user cancelled (callers treat that as failure).
// The toolkit's own overwrite question is off: the program asks its own.
std::optional<QString> ShowFileDialog(const FileDialogRequest& request);

// Whether writing to a path that a save dialog returned would replace something there:
// any file, hidden ones (every name that begins with a dot) included, for the program's
// own overwrite question. Not FileExists's directory search, which leaves hidden files out.
bool ChosenFileExists(const QString& path);

using FileDialogHandler = std::function<std::optional<QString>(const FileDialogRequest&)>;
void setFileDialogHandler(FileDialogHandler handler);

// A file's size as the file dialogs show it, in Greek whatever the machine's locale:
// "999 byte", "1,5 kB", "2,3 MB" (steps of 1024).
QString FileSizeText(qint64 bytes);

// The runtime's filter turned into the toolkit's ("Text (*.txt);;All (*.*)").
QString toolkitFilter(const QString& runtimeFilter);

} // namespace rt
