#include "qt/application.h"

#include <QIcon>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace zentrovax {
namespace {

// Messages Qt gives while it opens the display. They only make sense if start-up goes on.
struct HeldMessage {
    QtMsgType type;
    QString text;
};
std::vector<HeldMessage> held_messages;
QtMessageHandler previous_handler = nullptr;

void HoldOrExit(QtMsgType type, const QMessageLogContext& /*context*/, const QString& text) {
    if (type == QtFatalMsg) {
        const QByteArray display = qgetenv("DISPLAY");
        std::fprintf(stderr,
                     "zentrovax: cannot open a display (DISPLAY=\"%s\"); start it in a "
                     "graphical session.\n",
                     display.constData());
        std::_Exit(EXIT_FAILURE);
    }
    held_messages.push_back({type, text});
}

}  // namespace

void DeclareProgram() {
    QCoreApplication::setApplicationName(QStringLiteral("zentrovax"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZENTROVAX_VERSION));
}

std::unique_ptr<QApplication> CreateApplication(int& argc, char** argv) {
    DeclareProgram();
    QApplication::setApplicationDisplayName(QStringLiteral("Zentrovax"));
    // Wayland's app id and the software centre's: the name of the installed desktop entry.
    QApplication::setDesktopFileName(QStringLiteral(ZENTROVAX_APP_ID));

    previous_handler = qInstallMessageHandler(HoldOrExit);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous_handler);
    for (const HeldMessage& message : std::exchange(held_messages, {})) {
        qt_message_output(message.type, QMessageLogContext(), message.text);
    }

    QIcon icon;
    icon.addFile(QStringLiteral(":/zentrovax/icons/zentrovax-16.png"));
    icon.addFile(QStringLiteral(":/zentrovax/icons/zentrovax-32.png"));
    QApplication::setWindowIcon(icon);
    return application;
}

}  // namespace zentrovax
