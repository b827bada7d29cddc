#include "app/frmError_Log.h"

#include "platform/App.h"
#include "platform/MsgBox.h"
#include "platform/StatusBar.h"
#include "platform/TextFile.h"
#include "platform/WindowServices.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

namespace {
const QString logName = QStringLiteral("Error.LOG");
}

frmError_Log::frmError_Log()
    : rt::Form(QStringLiteral("frmError_Log")), m_menu(new QMenuBar(this)),
      m_txtLog(new QPlainTextEdit(this)), m_sbar(new rt::StatusBar(this))
{
    setWindowTitle(QStringLiteral("NerqSMS - Ιστορικό Σφαλμάτων"));
    m_txtLog->setObjectName(QStringLiteral("txtLog"));
    m_txtLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_sbar->setObjectName(QStringLiteral("SBar"));
    m_sbar->Add(1, QString(), QString())->setAutoSize(rt::StatusPanel::Spring);

    QMenu* mnFile = m_menu->addMenu(QStringLiteral("&Αρχείο"));
    mnFile->setObjectName(QStringLiteral("mnFile"));
    QAction* mnClearLog = mnFile->addAction(QStringLiteral("&Καθαρισμός Ιστορικού Σφαλμάτων"));
    mnClearLog->setObjectName(QStringLiteral("mnClearLog"));
    QAction* mnDummy = mnFile->addSeparator();
    mnDummy->setObjectName(QStringLiteral("mnDummy"));
    QAction* mnClose = mnFile->addAction(QStringLiteral("Έ&ξοδος"));
    mnClose->setObjectName(QStringLiteral("mnClose"));
    connect(mnClearLog, &QAction::triggered, this, &frmError_Log::mnClearLog_Click);
    connect(mnClose, &QAction::triggered, this, &frmError_Log::mnClose_Click);

    m_txtLog->move(0, m_menu->sizeHint().height());
    resize(640, 400);
}

void frmError_Log::Form_Load()
{
    // Over the main window, as the program's dialogs open, not where the window system
    // puts a window it is told nothing about.
    rt::PlaceOver(*this, rt::Forms::findByName(QStringLiteral("frmMain")));
    LoadLogFile();
}

void frmError_Log::LoadLogFile()
{
    m_sbar->Panel(1)->setText(QStringLiteral("Αρχείο: ") + rt::App::path() + QLatin1Char('/') +
                              logName);
    rt::LineReader reader;
    if (!reader.open(rt::App::file(logName)))
        return;
    QString text = m_txtLog->toPlainText();
    while (!reader.atEnd()) {
        QString line = reader.readLine();
        line.remove(QLatin1Char('"'));
        line.replace(QLatin1Char(','), QStringLiteral(", "));
        text += line + QLatin1Char('\n');
    }
    m_txtLog->setPlainText(text);
    m_txtLog->moveCursor(QTextCursor::End);
}

void frmError_Log::mnClearLog_Click()
{
    const QChar DQ = QLatin1Char('"');
    const int answer = rt::MsgBox(QStringLiteral("Θέλετε να ") + DQ + QStringLiteral("αδειάσετε") +
                                      DQ + QStringLiteral(" το Ιστορικό Σφαλμάτων;"),
                                  rt::mb::YesNo | rt::mb::Question,
                                  QStringLiteral("ΚΑΘΑΡΙΣΜΟΣ ΙΣΤΟΡΙΚΟΥ"));
    if (answer != rt::mb::Yes)
        return;
    m_txtLog->clear();
    QFile::remove(rt::App::file(QStringLiteral("ERROR.LOG")));
}

void frmError_Log::mnClose_Click() { rt::Forms::unload(this); }

void frmError_Log::resizeEvent(QResizeEvent* event)
{
    rt::Form::resizeEvent(event);
    Form_Resize();
}

void frmError_Log::Form_Resize()
{
    const int menuHeight = m_menu->sizeHint().height();
    m_menu->setGeometry(0, 0, width(), menuHeight);
    m_sbar->setGeometry(0, height() - m_sbar->height(), width(), m_sbar->height());
    // The text box keeps its left and top; a minimised window leaves it as it was.
    const int left = m_txtLog->x();
    const int top = m_txtLog->y();
    const int clientHeight = height() - menuHeight;
    const int w = width() - 2 * left;
    const int h = clientHeight - (m_sbar->height() + (top - menuHeight));
    if (w > 0 && h > 0)
        m_txtLog->setGeometry(left, top, w, h);
}
