#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace rt {

// What the shell would start or open; tests see it instead of a real program.
struct ShellLaunch {
    enum Kind { Program, Document };
    Kind kind = Program;
    QString program;       // Program: the executable found on this system
    QStringList arguments; // Program: its arguments
    QString document;      // Document: the address handed to the desktop
};

// The runtime's Shell: starts a program in its own window and returns at once. The
// outside programs the program knows by their old names ("calc.exe", "notepad.exe")
// start this system's calculator or text editor. Raises error 53 "File not found"
// when there is nothing to start, so a caller that ignores errors starts nothing.
void Shell(const QString& pathName);

// The shell's "open" action on an address or a "mailto:" link, with the desktop's own
// handler (a bare "www..." address is a web address). False when nothing opened it;
// the program reports nothing then.
bool ShellOpen(const QString& document);

// The executable and arguments a program name stands for here; empty when none is
// installed. A name with a folder must be an executable file; a bare name is looked
// for on PATH.
QStringList ResolveProgram(const QString& pathName);

// The system information program of this system, as the installation records it;
// empty when none is installed.
QString SystemInformationProgram();

// Tests: the handler gets every launch instead of the system; it returns whether the
// launch "worked". An empty handler restores the real shell.
using ShellHandler = std::function<bool(const ShellLaunch&)>;
void setShellHandler(ShellHandler handler);

} // namespace rt
