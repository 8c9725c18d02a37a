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
    QByteArray category;
    QString text;
};
std::vector<HeldMessage> held_messages;
QtMessageHandler previous_handler = nullptr;

// Qt's fatal message only says that no platform plugin could be started; the messages held
// before it say why. One line names the cause a user can act on.
[[noreturn]] void ExplainAndExit() {
    for (const HeldMessage& message : held_messages) {
        if (message.text.startsWith(QLatin1String("Could not find the Qt platform plugin"))) {
            std::fprintf(stderr,
                         "zentrovax: cannot start: %s (QT_QPA_PLATFORM=\"%s\"); install that "
                         "platform's package (qt6-wayland for Wayland) or unset "
                         "QT_QPA_PLATFORM.\n",
                         message.text.toLocal8Bit().constData(),
                         qgetenv("QT_QPA_PLATFORM").constData());
            std::_Exit(EXIT_FAILURE);
        }
    }
    std::fprintf(stderr,
                 "zentrovax: cannot open a display (DISPLAY=\"%s\"); start it in a graphical "
                 "session.\n",
                 qgetenv("DISPLAY").constData());
    std::_Exit(EXIT_FAILURE);
}

void HoldOrExit(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        ExplainAndExit();
    }
    held_messages.push_back({type, QByteArray(context.category), text});
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
    // Replayed as Qt gave them, categories included ("qt.qpa.plugin: ...").
    for (const HeldMessage& message : std::exchange(held_messages, {})) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        qt_message_output(message.type, context, message.text);
    }

    // Title bars take the small sizes, task switchers and docks that read the window's own icon
    // the larger ones.
    QIcon icon;
    for (const int size : {16, 32, 64, 128}) {
        icon.addFile(QStringLiteral(":/zentrovax/icons/zentrovax-%1.png").arg(size));
    }
    QApplication::setWindowIcon(icon);
    return application;
}

}  // namespace zentrovax
