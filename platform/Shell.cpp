#include "platform/Shell.h"

#include "platform/Err.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace rt {

namespace {

ShellHandler& handler() {
    static ShellHandler value;
    return value;
}

QString firstOnPath(const QStringList& names) {
    for (const QString& name : names) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

// The old names of the two outside programs, with or without their extension.
bool isName(const QString& pathName, const char* stem) {
    const QString name = pathName.trimmed();
    return name.compare(QLatin1String(stem), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String(stem) + QLatin1String(".exe"), Qt::CaseInsensitive) == 0;
}

QStringList calculator() {
    const QString found = firstOnPath({QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),
                                       QStringLiteral("galculator"), QStringLiteral("mate-calc"),
                                       QStringLiteral("qalculate-gtk"), QStringLiteral("xcalc")});
    return found.isEmpty() ? QStringList() : QStringList{found};
}

QStringList textEditor() {
    const QString found = firstOnPath(
        {QStringLiteral("gedit"), QStringLiteral("gnome-text-editor"), QStringLiteral("kate"),
         QStringLiteral("kwrite"), QStringLiteral("mousepad"), QStringLiteral("pluma"),
         QStringLiteral("xed"), QStringLiteral("featherpad"), QStringLiteral("leafpad")});
    if (!found.isEmpty())
        return {found};
    // A terminal editor in a window of its own is still an editor with the focus.
    const QString terminal = firstOnPath({QStringLiteral("xterm")});
    const QString nano = firstOnPath({QStringLiteral("nano")});
    if (!terminal.isEmpty() && !nano.isEmpty())
        return {terminal, QStringLiteral("-e"), nano};
    return {};
}

} // namespace

QStringList ResolveProgram(const QString& pathName) {
    if (isName(pathName, "calc"))
        return calculator();
    if (isName(pathName, "notepad"))
        return textEditor();
    const QString name = pathName.trimmed();
    if (name.isEmpty())
        return {};
    if (name.contains(QLatin1Char('/'))) {
        const QFileInfo info(name);
        return info.isFile() && info.isExecutable() ? QStringList{info.absoluteFilePath()}
                                                    : QStringList();
    }
    const QString found = QStandardPaths::findExecutable(name);
    return found.isEmpty() ? QStringList() : QStringList{found};
}

QString SystemInformationProgram() {
    return firstOnPath({QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"),
                        QStringLiteral("kinfocenter"), QStringLiteral("gnome-system-monitor")});
}

void Shell(const QString& pathName) {
    const QStringList command = ResolveProgram(pathName);
    if (command.isEmpty())
        Raise(53, QStringLiteral("File not found"));
    ShellLaunch launch;
    launch.kind = ShellLaunch::Program;
    launch.program = command.first();
    launch.arguments = command.mid(1);
    const bool started =
        handler() ? handler()(launch) : QProcess::startDetached(launch.program, launch.arguments);
    if (!started)
        Raise(53, QStringLiteral("File not found"));
}

bool ShellOpen(const QString& document) {
    const QString text = document.trimmed();
    if (text.isEmpty())
        return false;
    const QUrl url = QUrl::fromUserInput(text);
    if (!url.isValid())
        return false;
    ShellLaunch launch;
    launch.kind = ShellLaunch::Document;
    launch.document = url.toString();
    return handler() ? handler()(launch) : QDesktopServices::openUrl(url);
}

void setShellHandler(ShellHandler value) {
    handler() = std::move(value);
}

} // namespace rt
