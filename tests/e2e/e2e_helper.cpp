// e2e_helper: the steps of the end-to-end scenarios that need the program's own code.
//
//   e2e_helper road FOLDER HOST PORT        address book and settings of the road
//   e2e_helper settings FOLDER KEY=VALUE... the settings and INI files of a user who has
//                                           agreed to the terms, with a complete account
//                                           and no password prompts, but for the values
//                                           given: originator host port user password
//                                           credits security startup send disclaimer
//   e2e_helper expected DIR HOST            the two requests the road's service must
//                                           receive, as DIR/expected-1.bin and -2.bin
//   e2e_helper text                         what the road's user types and what the
//                                           editor keeps, the extra number and the sent
//                                           phone list, one a line, UTF-8
//   e2e_helper screenshot X Y W H FILE      the screen's rectangle as a PNG
//   e2e_helper pixels X Y W H               the screen's rectangle as raw RGB bytes
//   e2e_helper measure TEXT                 the text in the display's default font: the
//                                           height of a line, then the width of each of
//                                           its lines, one a line
//   e2e_helper windows                      windows that break the harness's rules on
//                                           purpose, to try its guards; commands on
//                                           standard input, one a line, each answered
//                                           "shown ID" once its window is on the screen:
//     owner X Y W H                         a window of W x H at X, Y (its frame around)
//     dialog X Y W H BUSY                   a dialog of that window, placed the same way;
//                                           once shown, the program keeps a core busy
//                                           for BUSY ms (-1: for ever)
//     alone X Y W H BUSY                    the same dialog without an owner
//     close                                 closes the dialog ("closed")

#include "app/mdlSettings.h"
#include "platform/App.h"
#include "platform/TextFile.h"
#include "tests/support/RoadFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QRasterWindow>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <utility>

namespace road = testsupport::road;

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

int usage()
{
    std::fprintf(stderr, "usage: e2e_helper road FOLDER HOST PORT | settings FOLDER KEY=VALUE... "
                         "| expected DIR HOST | text | screenshot X Y W H FILE "
                         "| pixels X Y W H | measure TEXT | windows\n");
    return 2;
}

// The settings of the scenarios: the road's account unless a value says otherwise.
int writeSettings(const QString& folder, const QStringList& pairs)
{
    namespace s = mdlSettings;
    testsupport::Account account = road::account(QStringLiteral("127.0.0.1"), 80);
    QString disclaimer = QStringLiteral("0");
    for (const QString& pair : pairs) {
        const qsizetype eq = pair.indexOf(u'=');
        if (eq < 0)
            return usage();
        const QString key = pair.left(eq);
        const QString value = pair.mid(eq + 1);
        if (key == QLatin1String("originator"))
            account.originator = value;
        else if (key == QLatin1String("host"))
            account.host = value;
        else if (key == QLatin1String("port"))
            account.port = value.toUShort();
        else if (key == QLatin1String("user"))
            account.user = value;
        else if (key == QLatin1String("password"))
            account.password = value;
        else if (key == QLatin1String("credits"))
            account.credits = value.toInt();
        else if (key == QLatin1String("security"))
            account.security = static_cast<quint8>(value.toInt());
        else if (key == QLatin1String("startup"))
            account.startup = static_cast<quint8>(value.toInt());
        else if (key == QLatin1String("send"))
            account.send = static_cast<quint8>(value.toInt());
        else if (key == QLatin1String("disclaimer"))
            disclaimer = value;
        else
            return usage();
    }
    account.apply();
    rt::App::setPath(folder);
    const bool saved =
        s::SaveSettings() && rt::WriteLines(rt::App::file(s::IniFileName),
                                            {QStringLiteral("Disclaimer = ") + disclaimer});
    return saved ? 0 : 1;
}

// A window of one colour that says when it is first on the screen.
class PlainWindow : public QRasterWindow {
public:
    PlainWindow(QColor ground, std::function<void()> shown)
        : m_ground(ground), m_shown(std::move(shown))
    {
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter(this).fillRect(QRect(QPoint(), size()), m_ground);
    }
    void exposeEvent(QExposeEvent* event) override
    {
        QRasterWindow::exposeEvent(event);
        if (isExposed() && m_shown)
            std::exchange(m_shown, nullptr)();
    }

private:
    QColor m_ground;
    std::function<void()> m_shown;
};

void answer(const QByteArray& line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int showWindows(QGuiApplication& app)
{
    std::unique_ptr<PlainWindow> owner;
    std::unique_ptr<PlainWindow> dialog;
    QTimer spin;
    spin.setInterval(0);
    QElapsedTimer busy;
    qint64 busyFor = 0;
    QObject::connect(&spin, &QTimer::timeout, [&] {
        if (busyFor >= 0 && busy.elapsed() >= busyFor)
            spin.stop();
    });
    auto place = [](PlainWindow& window, const QStringList& words) {
        window.setPosition(words.at(1).toInt(), words.at(2).toInt());
        const QSize size(words.at(3).toInt(), words.at(4).toInt());
        window.resize(size);
        window.setMinimumSize(size);
        window.setMaximumSize(size);
    };
    QFile in;
    if (!in.open(0, QIODevice::ReadOnly | QIODevice::Unbuffered))
        return 1;
    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        const QByteArray line = in.readLine();
        if (line.isEmpty()) {
            app.quit();
            return;
        }
        const QStringList words = QString::fromUtf8(line).simplified().split(u' ');
        if (words.value(0) == QLatin1String("owner") && words.size() == 5) {
            owner = std::make_unique<PlainWindow>(
                Qt::darkCyan, [&] { answer("shown " + QByteArray::number(owner->winId())); });
            owner->setTitle(QStringLiteral("Owner"));
            place(*owner, words);
            owner->show();
        } else if (words.size() == 6 && ((words.at(0) == QLatin1String("dialog") && owner) ||
                                         words.at(0) == QLatin1String("alone"))) {
            busyFor = words.at(5).toLongLong();
            dialog = std::make_unique<PlainWindow>(Qt::lightGray, [&] {
                answer("shown " + QByteArray::number(dialog->winId()));
                busy.start();
                spin.start();
            });
            dialog->setFlags(Qt::Dialog);
            if (words.at(0) == QLatin1String("dialog"))
                dialog->setTransientParent(owner.get());
            dialog->setTitle(QStringLiteral("Dialog"));
            place(*dialog, words);
            dialog->show();
        } else if (words.value(0) == QLatin1String("close") && dialog) {
            spin.stop();
            dialog.reset();
            answer("closed");
        } else {
            answer("what? " + line.trimmed());
        }
    });
    return app.exec();
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2)
        return usage();
    const bool screen =
        std::strcmp(argv[1], "screenshot") == 0 || std::strcmp(argv[1], "pixels") == 0;
    const bool fonts = std::strcmp(argv[1], "measure") == 0 || std::strcmp(argv[1], "windows") == 0;
    std::unique_ptr<QCoreApplication> app;
    if (screen || fonts)
        app = std::make_unique<QGuiApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    const QStringList args = app->arguments().mid(1);
    const QString command = args.value(0);

    if (command == QLatin1String("road") && args.size() == 4) {
        const QString folder = args.at(1);
        if (!road::writeAddressBook(QDir(folder).filePath(QStringLiteral("SMS.mdb"))) ||
            !road::writeSettings(folder, args.at(2), args.at(3).toUShort()))
            return 1;
        return 0;
    }
    if (command == QLatin1String("settings") && args.size() >= 2)
        return writeSettings(args.at(1), args.mid(2));
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
        const QByteArray lines = QStringList{road::typedText(),
                                             road::editedText(),
                                             road::extraNumber(),
                                             road::phoneList(),
                                             QString::number(road::messageId),
                                             QString::number(road::creditsLeft)}
                                     .join(u'\n')
                                     .toUtf8();
        std::fwrite(lines.constData(), 1, size_t(lines.size()), stdout);
        std::fputc('\n', stdout);
        return 0;
    }
    if (command == QLatin1String("windows") && args.size() == 1)
        return showWindows(static_cast<QGuiApplication&>(*app));
    if (fonts && args.size() == 2) {
        const QFontMetricsF metrics(QGuiApplication::font());
        QStringList lines{QString::number(metrics.height())};
        for (const QString& line : args.at(1).split(u'\n'))
            lines << QString::number(metrics.horizontalAdvance(line));
        const QByteArray out = (lines.join(u'\n') + u'\n').toUtf8();
        std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
        return 0;
    }
    if (screen && args.size() >= 5) {
        const QRect place(args.at(1).toInt(), args.at(2).toInt(), args.at(3).toInt(),
                          args.at(4).toInt());
        const QImage shot =
            QGuiApplication::primaryScreen()->grabWindow(0).toImage().copy(place).convertToFormat(
                QImage::Format_RGB888);
        if (shot.isNull())
            return 1;
        if (command == QLatin1String("screenshot") && args.size() == 6)
            return shot.save(args.at(5)) ? 0 : 1;
        if (command == QLatin1String("pixels") && args.size() == 5) {
            for (int y = 0; y < shot.height(); ++y)
                std::fwrite(shot.constScanLine(y), 1, size_t(shot.width()) * 3, stdout);
            return 0;
        }
    }
    return usage();
}
