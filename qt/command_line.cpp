#include "qt/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "leet/leet_table.h"

namespace zentrovax {
namespace {

constexpr int kUsageError = 2;

void Report(const QString& name, int error) {
    std::fprintf(stderr, "zentrovax: %s: %s\n", QFile::encodeName(name).constData(),
                 std::strerror(error));
}

// Writes `text` to standard output; false after reporting a write error. A closed pipe ends the
// program by SIGPIPE before this sees anything, as it does for the standard filters.
bool Write(const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size()) {
        return true;
    }
    std::fprintf(stderr, "zentrovax: write error: %s\n", std::strerror(errno));
    return false;
}

// The filter: every file (standard input for none or "-") in turn, translated as typing would
// translate it, in constant memory. A file that cannot be read is reported and skipped; a write
// error ends the run.
int Translate(QStringList files) {
    if (files.isEmpty()) {
        files << QStringLiteral("-");
    }
    int status = 0;
    std::array<char, 1 << 16> buffer{};
    std::string translated;
    for (const QString& name : files) {
        const bool standard_input = name == QLatin1String("-");
        std::FILE* input =
            standard_input ? stdin : std::fopen(QFile::encodeName(name).constData(), "rb");
        if (input == nullptr) {
            Report(name, errno);
            status = 1;
            continue;
        }
        std::size_t read = 0;
        while ((read = std::fread(buffer.data(), 1, buffer.size(), input)) > 0) {
            translated.clear();
            TranslateText({buffer.data(), read}, translated);
            if (!Write(translated)) {
                return 1;
            }
        }
        if (std::ferror(input) != 0) {
            Report(standard_input ? QStringLiteral("standard input") : name, errno);
            status = 1;
        }
        if (standard_input) {
            std::clearerr(stdin);
        } else {
            std::fclose(input);
        }
    }
    if (std::fflush(stdout) != 0) {
        std::fprintf(stderr, "zentrovax: write error: %s\n", std::strerror(errno));
        return 1;
    }
    return status;
}

}  // namespace

std::optional<int> RunCommandLine(int argc, char** argv) {
    if (argc <= 1) {
        return std::nullopt;
    }
    // Only to read the arguments: a QCoreApplication opens no display.
    const QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Type plain text and watch it appear, live, in leet spelling. With no options, opens the "
        "window."));
    // Made here rather than by addHelpOption(), which adds a --help-all that only process()
    // answers, and process() exits with 1 on a usage error instead of 2.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    parser.addOption(help);
    parser.addOption(version);
    const QCommandLineOption translate(
        QStringLiteral("translate"),
        QStringLiteral("Translate each FILE (standard input when there is none, or for -) to "
                       "leet on standard output, as typing would, keeping line ends; then exit."));
    parser.addOption(translate);
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("Text to translate, with --translate."),
                                 QStringLiteral("[FILE...]"));
    // Qt's own window options, which the window goes on to read.
    for (const char* name : {"platform", "display", "style"}) {
        QCommandLineOption qt_option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        qt_option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qt_option);
    }

    const auto usage_error = [&parser](const QString& message) {
        std::fprintf(stderr, "zentrovax: %s\n%s", message.toLocal8Bit().constData(),
                     parser.helpText().toLocal8Bit().constData());
        return kUsageError;
    };
    if (!parser.parse(QCoreApplication::arguments())) {
        return usage_error(parser.errorText());
    }
    if (parser.isSet(help)) {
        std::fputs(parser.helpText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("%s %s\n", QCoreApplication::applicationName().toLocal8Bit().constData(),
                    QCoreApplication::applicationVersion().toLocal8Bit().constData());
        return 0;
    }
    if (parser.isSet(translate)) {
        return Translate(parser.positionalArguments());
    }
    if (!parser.positionalArguments().isEmpty()) {
        return usage_error(QStringLiteral("unexpected argument '%1' (files go with --translate)")
                               .arg(parser.positionalArguments().constFirst()));
    }
    return std::nullopt;
}

}  // namespace zentrovax
