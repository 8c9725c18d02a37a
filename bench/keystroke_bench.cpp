// What one keystroke, a pause and a resume cost at each output length, beside a plain
// one-paragraph box; plus peak memory and start-up time, each in a process of its own:
//   zentrovax_bench [benchmark flags]   the timed benchmarks
//   zentrovax_bench --memory=split|plain   peak memory with 4 MB of output
//   zentrovax_bench --startup=zentrovax|bare   milliseconds to the first painted frame
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "leet/leet_table.h"
#include "qt/leet_output_box.h"
#include "qt/qt_toolkit.h"
#include "window/handlers.h"

namespace zentrovax {
namespace {

// Output as typing makes it.
std::string TypedOutput(std::size_t length) {
    const std::string keys = "the quick brown fox jumps over the lazy dog ";
    std::string text;
    text.reserve(length + 8);
    for (std::size_t i = 0; text.size() < length; ++i) {
        text += *TranslateKey(static_cast<CharacterCode>(keys[i % keys.size()]));
    }
    return text;
}

void Settle(QWidget& widget) {
    QApplication::processEvents();
    widget.repaint();
}

class Program {
  public:
    explicit Program(std::size_t output_length) {
        toolkit_.Show();
        toolkit_.SetText(Box::txtLeet, TypedOutput(output_length));
        capture_ = toolkit_.Window().findChild<QLineEdit*>("txtCapture");
        output_ = toolkit_.Window().findChild<QPlainTextEdit*>("txtLeet");
        Settle(*output_->viewport());
    }
    // The real path: a key event, the capture handler, the append, layout and repaint.
    void TypeKey(char key) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QString(QChar(key)));
        QApplication::sendEvent(capture_, &press);
        Settle(*output_->viewport());
    }
    QtToolkit& Toolkit() { return toolkit_; }
    QPlainTextEdit& Output() { return *output_; }

  private:
    QtToolkit toolkit_;
    QLineEdit* capture_ = nullptr;
    QPlainTextEdit* output_ = nullptr;
};

void SetSizeArgs(benchmark::internal::Benchmark* bench) {
    for (const int64_t size : {1'000, 10'000, 100'000, 1'000'000, 4'000'000}) {
        bench->Arg(size);
    }
    bench->Unit(benchmark::kMillisecond)->UseRealTime();
}

void BM_Keystroke(benchmark::State& state) {
    Program program(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        program.TypeKey('a');
    }
    state.counters["blocks"] = static_cast<double>(program.Output().blockCount());
}
BENCHMARK(BM_Keystroke)->Apply(SetSizeArgs);

// The same append on an ordinary box that holds the output as one paragraph.
void BM_KeystrokeOneParagraph(benchmark::State& state) {
    QPlainTextEdit box;
    box.setFixedSize(297, 145);
    box.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box.show();
    box.setPlainText(QString::fromStdString(TypedOutput(static_cast<std::size_t>(state.range(0)))));
    Settle(*box.viewport());
    for (auto _ : state) {
        QTextCursor end(box.document());
        end.movePosition(QTextCursor::End);
        end.insertText(QStringLiteral("4"));
        Settle(*box.viewport());
    }
}
BENCHMARK(BM_KeystrokeOneParagraph)->Apply(SetSizeArgs);

// Pause, the first edit (which joins the blocks), and Resume, at 4 MB, each until repainted.
void BM_PauseEditResume(benchmark::State& state) {
    const bool edit_at_start = state.range(0) == 1;
    Program program(4'000'000);
    using Clock = std::chrono::steady_clock;
    double pause = 0;
    double edit = 0;
    double resume = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        OnPauseClick(program.Toolkit());
        Settle(*program.Output().viewport());
        pause += std::chrono::duration<double>(Clock::now() - start).count();

        program.Output().setFocus();
        program.Output().moveCursor(edit_at_start ? QTextCursor::Start : QTextCursor::End);
        start = Clock::now();
        QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(&program.Output(), &key);
        Settle(*program.Output().viewport());
        edit += std::chrono::duration<double>(Clock::now() - start).count();

        start = Clock::now();
        OnResumeClick(program.Toolkit());
        Settle(*program.Output().viewport());
        resume += std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(0);
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["pause_ms"] = 1000 * pause / runs;
    state.counters["first_edit_ms"] = 1000 * edit / runs;
    state.counters["resume_ms"] = 1000 * resume / runs;
}
BENCHMARK(BM_PauseEditResume)
    ->ArgName("edit_at_start")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int MeasureMemory(const char* kind) {
    const bool split = std::strcmp(kind, "split") == 0;
    const std::string text = TypedOutput(4'000'000);
    if (split) {
        Program program(0);
        // Typed in pieces through the real append, as a long session makes it.
        for (std::size_t i = 0; i < text.size(); i += 4'000) {
            program.Toolkit().AppendText(Box::txtLeet, text.substr(i, 4'000));
        }
        Settle(*program.Output().viewport());
        std::printf("peak memory with 4 MB of output, program's box: %ld MB\n",
                    PeakKilobytes() / 1024);
    } else {
        QPlainTextEdit box;
        box.setFixedSize(297, 145);
        box.show();
        // Appending in pieces would take minutes here: every piece lays the paragraph out again.
        box.setPlainText(QString::fromStdString(text));
        Settle(*box.viewport());
        QTextCursor end(box.document());
        end.movePosition(QTextCursor::End);
        end.insertText(QStringLiteral("4"));
        Settle(*box.viewport());
        std::printf("peak memory with 4 MB of output, one paragraph: %ld MB\n",
                    PeakKilobytes() / 1024);
    }
    return 0;
}

// Milliseconds from before the application exists to the first frame painted.
int MeasureStartup(const char* kind, QElapsedTimer& since_start, QApplication& application) {
    std::unique_ptr<QtToolkit> program;
    std::unique_ptr<QPlainTextEdit> bare;
    QWidget* painted = nullptr;
    if (std::strcmp(kind, "zentrovax") == 0) {
        program = std::make_unique<QtToolkit>();
        program->Show();
        painted = program->Window().findChild<QPlainTextEdit*>("txtLeet")->viewport();
    } else {
        bare = std::make_unique<QPlainTextEdit>();
        bare->show();
        painted = bare->viewport();
    }
    struct FirstPaint : QObject {
        bool eventFilter(QObject* /*watched*/, QEvent* event) override {
            if (event->type() == QEvent::Paint) {
                QApplication::exit(0);
            }
            return false;
        }
    } first_paint;
    painted->installEventFilter(&first_paint);
    QApplication::exec();
    // The paint event has run once exec returns.
    std::printf("%s %.2f\n", kind, static_cast<double>(since_start.nsecsElapsed()) / 1e6);
    (void)application;
    return 0;
}

}  // namespace
}  // namespace zentrovax

int main(int argc, char** argv) {
    QElapsedTimer since_start;
    since_start.start();
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--startup=", 10) == 0) {
            QApplication application(argc, argv);
            return zentrovax::MeasureStartup(argv[i] + 10, since_start, application);
        }
    }
    QApplication application(argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--memory=", 9) == 0) {
            return zentrovax::MeasureMemory(argv[i] + 9);
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
