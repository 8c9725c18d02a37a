// What one keystroke, a pause and a resume cost at each output length, beside a plain
// one-paragraph box; plus peak memory and start-up time, each in a process of its own:
//   zentrovax_bench [benchmark flags]   the timed benchmarks
//   zentrovax_bench --memory=blocks|plain  peak memory with 4 MB of output
//   zentrovax_bench --startup=zentrovax|bare   milliseconds to the first painted frame
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
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

// Each interaction of a pause, until repainted, on the program's box or (plain=1) on an
// ordinary one-paragraph box holding the same text. The Time column is the whole round; each
// interaction's own milliseconds are in its counter.
void BM_PausedEditing(benchmark::State& state) {
    const auto length = static_cast<std::size_t>(state.range(0));
    const bool plain = state.range(1) == 1;
    Program program(plain ? 0 : length);
    QPlainTextEdit plain_box;
    QPlainTextEdit* box = &program.Output();
    if (plain) {
        plain_box.setFixedSize(297, 145);
        plain_box.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        plain_box.show();
        plain_box.setPlainText(QString::fromStdString(TypedOutput(length)));
        box = &plain_box;
    }
    using Clock = std::chrono::steady_clock;
    std::map<std::string, double> totals;
    const auto timed = [&](const char* name, const auto& interaction) {
        const auto start = Clock::now();
        interaction();
        Settle(*box->viewport());
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        totals[name] += seconds;
        return seconds;
    };
    const auto key = [&](int code, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                         const QString& text = {}) {
        QKeyEvent press(QEvent::KeyPress, code, modifiers, text);
        QApplication::sendEvent(box, &press);
    };
    const auto place = [&](double where) {
        QTextCursor cursor = box->textCursor();
        cursor.setPosition(static_cast<int>(where * (box->document()->characterCount() - 1)));
        box->setTextCursor(cursor);
    };
    for (auto _ : state) {
        double round = 0;
        round += timed("pause", [&] { OnPauseClick(program.Toolkit()); });
        box->setFocus();
        place(0.5);
        round += timed("first_edit", [&] { key(Qt::Key_X, Qt::NoModifier, "x"); });
        round += timed("typing", [&] { key(Qt::Key_Y, Qt::NoModifier, "y"); });
        round += timed("backspace", [&] { key(Qt::Key_Backspace); });
        round += timed("delete", [&] { key(Qt::Key_Delete); });
        QApplication::clipboard()->setText(QStringLiteral("a pasted line\n"));
        round += timed("paste_line", [&] { key(Qt::Key_V, Qt::ControlModifier); });
        round += timed("undo", [&] { key(Qt::Key_Z, Qt::ControlModifier); });
        round += timed("redo", [&] { key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); });
        // A selection of a few thousand characters: across several of the box's blocks.
        place(0.5);
        box->moveCursor(QTextCursor::Down, QTextCursor::KeepAnchor);
        for (int i = 0; i < 80; ++i) {
            box->moveCursor(QTextCursor::Down, QTextCursor::KeepAnchor);
        }
        round += timed("cut_across_blocks", [&] { key(Qt::Key_X, Qt::ControlModifier); });
        round += timed("select_all_copy", [&] {
            key(Qt::Key_A, Qt::ControlModifier);
            key(Qt::Key_C, Qt::ControlModifier);
        });
        place(0.0);
        key(Qt::Key_Q, Qt::NoModifier, "q");
        round += timed("resume_after_edit_at_start", [&] { OnResumeClick(program.Toolkit()); });
        OnPauseClick(program.Toolkit());
        place(1.0);
        key(Qt::Key_Q, Qt::NoModifier, "q");
        round += timed("resume_after_edit_at_end", [&] { OnResumeClick(program.Toolkit()); });
        state.SetIterationTime(round);
    }
    const auto runs = static_cast<double>(state.iterations());
    for (const auto& [name, seconds] : totals) {
        state.counters[name] = 1000 * seconds / runs;
    }
}
BENCHMARK(BM_PausedEditing)
    ->ArgNames({"output", "plain"})
    ->Args({1'000, 0})
    ->Args({100'000, 0})
    ->Args({1'000'000, 0})
    ->Args({4'000'000, 0})
    ->Args({10'000'000, 0})
    ->Args({1'000, 1})
    ->Args({1'000'000, 1})
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int MeasureMemory(const char* kind) {
    const bool blocks = std::strcmp(kind, "blocks") == 0;
    const std::string text = TypedOutput(4'000'000);
    if (blocks) {
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
