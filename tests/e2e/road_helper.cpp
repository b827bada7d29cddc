// road_helper: the steps of the end-to-end road that need the program's own code.
//
//   road_helper prepare FOLDER HOST PORT   address book and settings of the road
//   road_helper expected DIR HOST          the two requests the service must receive,
//                                          as DIR/expected-1.bin and DIR/expected-2.bin
//   road_helper text                       what the user types and what the editor keeps,
//                                          the extra number and the sent phone list, one
//                                          a line, UTF-8
//   road_helper screenshot X Y W H FILE    the screen's rectangle as a PNG

#include "tests/support/RoadFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <cstdio>
#include <cstring>
#include <memory>

namespace road = testsupport::road;

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

int usage()
{
    std::fprintf(stderr, "usage: road_helper prepare FOLDER HOST PORT | expected DIR HOST | "
                         "text | screenshot X Y W H FILE\n");
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2)
        return usage();
    const bool screen = std::strcmp(argv[1], "screenshot") == 0;
    std::unique_ptr<QCoreApplication> app;
    if (screen)
        app = std::make_unique<QGuiApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    const QStringList args = app->arguments().mid(1);
    const QString command = args.value(0);

    if (command == QLatin1String("prepare") && args.size() == 4) {
        const QString folder = args.at(1);
        if (!road::writeAddressBook(QDir(folder).filePath(QStringLiteral("SMS.mdb"))) ||
            !road::writeSettings(folder, args.at(2), args.at(3).toUShort()))
            return 1;
        return 0;
    }
    if (command == QLatin1String("expected") && args.size() == 3) {
        const QDir dir(args.at(1));
        return writeFile(dir.filePath(QStringLiteral("expected-1.bin")),
                         road::sendRequest(args.at(2))) &&
                       writeFile(dir.filePath(QStringLiteral("expected-2.bin")),
                                 road::creditsRequest(args.at(2)))
                   ? 0
                   : 1;
    }
    if (command == QLatin1String("text") && args.size() == 1) {
        const QByteArray lines = QStringList{road::typedText(), road::editedText(),
                                             road::extraNumber(), road::phoneList(),
                                             QString::number(road::messageId),
                                             QString::number(road::creditsLeft)}
                                     .join(u'\n')
                                     .toUtf8();
        std::fwrite(lines.constData(), 1, size_t(lines.size()), stdout);
        std::fputc('\n', stdout);
        return 0;
    }
    if (screen && args.size() == 6) {
        const QRect place(args.at(1).toInt(), args.at(2).toInt(), args.at(3).toInt(),
                          args.at(4).toInt());
        const QImage shot =
            QGuiApplication::primaryScreen()->grabWindow(0).toImage().copy(place);
        return !shot.isNull() && shot.save(args.at(5)) ? 0 : 1;
    }
    return usage();
}
