// fake_sms_service [--port N] [--seconds S] [--record FOLDER] ANSWER...
//
// Listens on 127.0.0.1 (a free port unless --port is given), prints "port N" once ready,
// answers connection k with ANSWER k (the last one again once they run out) and stops by
// itself after S seconds (120 by default). An ANSWER is a result code, or "never",
// "reset" or "close". With --record, request k is written to FOLDER/request-k.bin.

#include "tests/support/FakeSmsService.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <cstdio>

using testsupport::FakeSmsService;
using Answer = FakeSmsService::Answer;

namespace {

bool parseAnswer(const QString& word, Answer& answer)
{
    if (word == QLatin1String("never"))
        answer = Answer::never();
    else if (word == QLatin1String("reset"))
        answer = Answer::reset();
    else if (word == QLatin1String("close"))
        answer = Answer::closeAfterRequest();
    else {
        bool ok = false;
        const int code = word.toInt(&ok);
        if (!ok)
            return false;
        answer = Answer::code(code);
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    quint16 port = 0;
    int seconds = 120;
    QString record;
    QList<Answer> answers;
    while (!args.isEmpty()) {
        const QString a = args.takeFirst();
        if (a == QLatin1String("--port") && !args.isEmpty())
            port = static_cast<quint16>(args.takeFirst().toUInt());
        else if (a == QLatin1String("--seconds") && !args.isEmpty())
            seconds = args.takeFirst().toInt();
        else if (a == QLatin1String("--record") && !args.isEmpty())
            record = args.takeFirst();
        else {
            Answer answer;
            if (!parseAnswer(a, answer)) {
                std::fprintf(stderr, "unknown answer: %s\n", qPrintable(a));
                return 2;
            }
            answers.append(answer);
        }
    }

    FakeSmsService service;
    if (!service.start(port)) {
        std::fprintf(stderr, "cannot listen on 127.0.0.1:%u\n", unsigned(port));
        return 1;
    }
    for (const Answer& a : answers)
        service.script(a);
    if (!answers.isEmpty())
        service.setDefaultAnswer(answers.last());
    int count = 0;
    QObject::connect(
        &service, &FakeSmsService::requestReceived, &app, [&](const QByteArray& request) {
            ++count;
            if (record.isEmpty())
                return;
            QFile file(QDir(record).filePath(QStringLiteral("request-%1.bin").arg(count)));
            if (file.open(QIODevice::WriteOnly))
                file.write(request);
        });
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    std::printf("port %u\n", unsigned(service.port()));
    std::fflush(stdout);
    return app.exec();
}
