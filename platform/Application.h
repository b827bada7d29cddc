#pragma once

#include <QApplication>

namespace rt {

// The application object: an error that no handler trapped ends in one top-level
// handler that reports it and abandons the operation, and the program keeps running.
class Application : public QApplication {
    Q_OBJECT

public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace rt
