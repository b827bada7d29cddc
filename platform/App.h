#pragma once

#include <QString>

namespace rt {

// Values the program reads about itself: its folder, title and version. The folder is
// handed in as a value so that tests run the program in a temporary folder.
class App {
public:
    static QString path();
    static void setPath(const QString& folder);

    static QString title() { return QStringLiteral("Vantrel"); }
    static int major() { return 1; }
    static int minor() { return 0; }
    static int revision() { return 5; }

    // A file in the program folder, found without regard to letter case when it exists.
    static QString file(const QString& name);
};

} // namespace rt
