// Every key code, random storms of events, long sessions, input methods and any Unicode in
// the output, on the real window. ZENTROVAX_SOAK=1 makes the long cases much longer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <random>
#include <string>

#include "leet/leet_table.h"
#include "qt/qt_toolkit.h"
#include "tests/qt/qt_printers.h"
#include "tests/storm_seed.h"

namespace zentrovax {
namespace {

bool Soak() {
    return std::getenv("ZENTROVAX_SOAK") != nullptr;
}

class RealWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        toolkit_.Show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&toolkit_.Window()));
        capture_ = toolkit_.Window().findChild<QLineEdit*>("txtCapture");
        output_ = toolkit_.Window().findChild<QPlainTextEdit*>("txtLeet");
    }
    QString Output() const { return QString::fromStdString(toolkit_.GetText(Box::txtLeet)); }
    static void Send(QWidget* widget, int key, Qt::KeyboardModifiers modifiers,
                     const QString& text) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        QApplication::sendEvent(widget, &release);
    }
    static void Commit(QWidget* widget, const QString& text) {
        QInputMethodEvent event;
        event.setCommitString(text);
        QApplication::sendEvent(widget, &event);
    }
    void Click(const char* button) {
        QTest::mouseClick(toolkit_.Window().findChild<QPushButton*>(button), Qt::LeftButton);
    }
    void PauseAndFocusOutput() {
        Click("cmdPause");
        QTest::mouseClick(output_->viewport(), Qt::LeftButton);
        ASSERT_EQ(QApplication::focusWidget(), output_);
    }
    QString CopyAll() {
        QTest::keyClick(output_, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(output_, Qt::Key_C, Qt::ControlModifier);
        return QApplication::clipboard()->text();
    }

    QtToolkit toolkit_;
    QLineEdit* capture_ = nullptr;
    QPlainTextEdit* output_ = nullptr;
};

TEST_F(RealWindow, EverySixteenBitCodeWithAnyModifierChangesTheOutputOnlyByItsPiece) {
    const Qt::KeyboardModifiers modifier_sets[] = {Qt::NoModifier, Qt::ShiftModifier,
                                                   Qt::ControlModifier, Qt::AltModifier};
    QString expected;
    for (const Qt::KeyboardModifiers modifiers : modifier_sets) {
        for (int code = 0; code <= 0xFFFF; ++code) {
            const QChar character(static_cast<char16_t>(code));
            Send(capture_, 0, modifiers, QString(character));
            if (modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier) {
                if (const auto piece = TranslateKey(static_cast<CharacterCode>(code));
                    piece && code < 0x100) {
                    expected +=
                        QString::fromLatin1(piece->data(), static_cast<qsizetype>(piece->size()));
                }
            }
            if (code % 4096 == 0) {
                ASSERT_EQ(QApplication::focusWidget(), capture_) << "code " << code;
            }
        }
        ASSERT_EQ(Output(), expected) << "modifiers " << modifiers.toInt();
    }
    EXPECT_EQ(QApplication::focusWidget(), capture_);
}

TEST_F(RealWindow, InputMethodCommitsAreTypedCharactersOneByOne) {
    Commit(capture_, QStringLiteral("leet"));                         // several at once
    Commit(capture_, QString::fromUtf8("\xC3\xA9\xC3\xB1 "));         // dead keys or compose: é ñ
    Commit(capture_, QString::fromUtf8("\xD0\xBF\xD1\x80\xD0\xB8"));  // a Cyrillic layout
    Commit(capture_, QString::fromUtf8("\xE6\xBC\xA2\xF0\x9F\x98\x80"));  // CJK and an emoji
    EXPECT_EQ(Output(), "1337 ");
    EXPECT_EQ(QApplication::focusWidget(), capture_);
}

TEST_F(RealWindow, AnyUnicodeTypedOrPastedWhilePausedSurvivesResumeByteForByte) {
    QTest::keyClicks(capture_, "ab");
    PauseAndFocusOutput();
    const QString unicode = QString::fromUtf8(
        "caf\xC3\xA9 \xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80 \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D "
        "\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85");
    output_->moveCursor(QTextCursor::End);
    Commit(output_, unicode);
    QApplication::clipboard()->setText(QStringLiteral("\n") + unicode);
    QTest::keyClick(output_, Qt::Key_V, Qt::ControlModifier);
    Click("cmdResume");
    QTest::keyClicks(capture_, "cd");
    PauseAndFocusOutput();
    const QString expected = "48" + unicode + "\n" + unicode + "((|))";
    EXPECT_EQ(CopyAll(), expected);
    EXPECT_EQ(toolkit_.GetText(Box::txtLeet), expected.toStdString());
}

TEST_F(RealWindow, LongSessionsStayExact) {
    const int keys = Soak() ? 100'000 : 20'000;
    QString expected;
    for (int i = 0; i < keys; ++i) {
        const char key = "leet speak"[i % 10];
        Send(capture_, 0, Qt::NoModifier, QString(QChar(key)));
        expected += QString::fromLatin1(TranslateKey(key)->data());
        if (i % 5'000 == 0) {
            QApplication::processEvents();
        }
    }
    ASSERT_EQ(Output(), expected);

    // A large paste while paused, then Resume and type: the paste is intact, pieces at its end.
    const qsizetype pasted_size = Soak() ? 10'000'000 : 1'000'000;
    QString pasted;
    pasted.reserve(pasted_size);
    for (qsizetype i = 0; pasted.size() < pasted_size; ++i) {
        pasted += (i % 97 == 0) ? QStringLiteral("\n") : QString::number(i % 10);
    }
    PauseAndFocusOutput();
    output_->moveCursor(QTextCursor::End);
    QApplication::clipboard()->setText(pasted);
    QTest::keyClick(output_, Qt::Key_V, Qt::ControlModifier);
    Click("cmdResume");
    QTest::keyClicks(capture_, "xyz");
    EXPECT_TRUE(Output() == expected + pasted + "><Y2") << "size " << Output().size();

    // An auto-repeat burst: every repeated press counts.
    for (int i = 0; i < 500; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_M, Qt::NoModifier, QStringLiteral("m"), true);
        QApplication::sendEvent(capture_, &press);
    }
    EXPECT_TRUE(Output().endsWith(QStringLiteral("/\\/\\").repeated(500)));
}

// Invariants after every event of a seeded random storm on the real window.
TEST_F(RealWindow, RandomEventStormsKeepTheInvariants) {
    const unsigned seed = StormSeed();
    SCOPED_TRACE("replay with ZENTROVAX_SEED=" + std::to_string(seed));
    std::mt19937 random(seed);
    const int events = Soak() ? 50'000 : 3'000;
    const QString keys = QStringLiteral("abcdefghijklmnopqrstuvwxyz ABCXYZ0123456789.,;'!\b\r\x1b");
    for (int i = 0; i < events; ++i) {
        const QString before = Output();
        const bool capturing_before = capture_->isEnabled();
        bool user_edit = false;
        QWidget* focus = QApplication::focusWidget();
        switch (random() % 12) {
            case 0:
            case 1:
            case 2:
            case 3: {  // a typed character wherever the focus is
                const QChar key =
                    keys[static_cast<qsizetype>(random() % static_cast<unsigned>(keys.size()))];
                Send(focus ? focus : capture_, 0, Qt::NoModifier, QString(key));
                user_edit = focus == output_;
                break;
            }
            case 4:  // a chord
                Send(focus ? focus : capture_, Qt::Key_A + static_cast<int>(random() % 26),
                     random() % 2 ? Qt::ControlModifier : Qt::AltModifier, QStringLiteral("q"));
                user_edit = focus == output_;  // Ctrl+V, Ctrl+X, Ctrl+Z may edit while paused
                break;
            case 5:
                QTest::keyClick(focus ? focus : capture_,
                                random() % 2 ? Qt::Key_Tab : Qt::Key_Backtab);
                break;
            case 6:
                Click("cmdPause");
                break;
            case 7:
                Click("cmdResume");
                break;
            case 8:
                QTest::mouseClick(
                    output_->viewport(), Qt::LeftButton, {},
                    QPoint(static_cast<int>(random() % 280), static_cast<int>(random() % 140)));
                break;
            case 9:
                if (focus == output_) {  // select all and copy, then maybe delete
                    QApplication::clipboard()->clear();
                    QTest::keyClick(output_, Qt::Key_A, Qt::ControlModifier);
                    QTest::keyClick(output_, Qt::Key_C, Qt::ControlModifier);
                    ASSERT_EQ(QApplication::clipboard()->text(), before);
                    if (random() % 4 == 0) {
                        QTest::keyClick(output_, Qt::Key_Delete);
                        user_edit = true;
                    }
                }
                break;
            case 10:
                if (random() % 10 == 0) {  // Help, closed as a user would
                    QTimer::singleShot(0, [] {
                        if (auto* box =
                                qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                            box->button(QMessageBox::Ok)->click();
                        }
                    });
                    Click("cmdHelp");
                    ASSERT_TRUE(QTest::qWaitForWindowActive(&toolkit_.Window()));
                }
                break;
            default:
                QApplication::processEvents();
                break;
        }
        const QString after = Output();
        // Only a paused output takes the user's edits.
        ASSERT_EQ(output_->isReadOnly(), capture_->isEnabled()) << "event " << i;
        if (capture_->isEnabled()) {
            ASSERT_NE(QApplication::focusWidget(), output_) << "event " << i;
        }
        if (capturing_before && capture_->isEnabled()) {
            ASSERT_TRUE(after.startsWith(before)) << "event " << i;
            QString grown = after.mid(before.size());
            // What was added is a sequence of table pieces.
            while (!grown.isEmpty()) {
                bool matched = false;
                for (const LeetEntry& entry : LeetTable) {
                    const QString piece = QString::fromLatin1(
                        entry.piece.data(), static_cast<qsizetype>(entry.piece.size()));
                    if (grown.startsWith(piece)) {
                        grown.remove(0, piece.size());
                        matched = true;
                        break;
                    }
                }
                ASSERT_TRUE(matched) << "event " << i << ": not a piece: " << grown.toStdString();
            }
        } else if (!capturing_before && !user_edit) {
            ASSERT_EQ(after, before)
                << "paused: only the user's edits change the output, event " << i;
        }
    }
}

}  // namespace
}  // namespace zentrovax
