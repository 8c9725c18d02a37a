// What the output box's tests share: the box in a window of the output's size, beside a plain
// one-paragraph box of the same size and font that says where lines should start, and the seeded
// random editing of both side by side.
#pragma once

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <algorithm>
#include <iterator>
#include <random>
#include <utility>
#include <vector>

#include "leet/leet_table.h"
#include "qt/accessibility.h"
#include "qt/cut_marks.h"
#include "qt/leet_output_box.h"
#include "tests/qt/qt_printers.h"
#include "tests/storm_seed.h"

namespace zentrovax::testing {

constexpr QSize kBoxSize(297, 145);

inline void Configure(QPlainTextEdit& box) {
    box.setFixedSize(kBoxSize);
    QFont font = box.font();
    font.setPixelSize(12);
    box.setFont(font);
}

// Offsets into the text as the user sees it at which a visual line starts.
inline std::vector<int> LineStarts(const QPlainTextEdit& box) {
    std::vector<int> starts;
    const auto& layout = *qobject_cast<QPlainTextDocumentLayout*>(box.document()->documentLayout());
    int offset = 0;
    for (QTextBlock block = box.document()->firstBlock(); block.isValid(); block = block.next()) {
        if (block.blockNumber() > 0 && !FollowsCut(block)) {
            ++offset;  // a newline of the user's
        }
        layout.ensureBlockLayout(block);
        for (int i = 0; i < block.layout()->lineCount(); ++i) {
            starts.push_back(offset + block.layout()->lineAt(i).textStart());
        }
        offset += block.length() - 1;
    }
    return starts;
}

inline void ConfigureAsOneParagraph(QPlainTextEdit& reference) {
    Configure(reference);
    reference.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    reference.setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
}

// The same text as plain paragraphs in an ordinary box of the same size and font.
inline std::vector<int> ReferenceLineStarts(const QString& text) {
    QPlainTextEdit reference;
    ConfigureAsOneParagraph(reference);
    reference.show();
    reference.setPlainText(text);
    return LineStarts(reference);
}

// Output as typing makes it: the pieces of random keys, spaces among them.
inline QString TypedOutput(int length, unsigned seed) {
    std::mt19937 random(seed);
    const std::string keys = "abcdefghijklmnopqrstuvwxyz     ";
    QString text;
    while (text.size() < length) {
        const char key = keys[random() % keys.size()];
        const auto piece = TranslateKey(static_cast<CharacterCode>(key));
        text += QString::fromLatin1(piece->data(), static_cast<qsizetype>(piece->size()));
    }
    return text;
}

class OutputBox : public ::testing::Test {
  protected:
    void SetUp() override {
        Configure(box_);
        box_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box_));
        box_.SetEditable(false);
    }

    // As the capture handler does it: one piece at a time.
    void AppendInPieces(const QString& text, int piece = 3) {
        for (qsizetype i = 0; i < text.size(); i += piece) {
            box_.Append(QStringView(text).mid(i, piece));
        }
    }
    void ExpectSameLinesAsOneParagraph(const char* when) {
        const std::vector<int> starts = LineStarts(box_);
        const std::vector<int> expected = ReferenceLineStarts(box_.Text());
        ASSERT_EQ(starts.size(), expected.size()) << when;
        for (std::size_t i = 0; i < starts.size(); ++i) {
            ASSERT_EQ(starts[i], expected[i]) << when << ": line " << i;
        }
    }
    int TopVisibleOffset() {
        return box_.VisibleOffset(box_.cursorForPosition(QPoint(2, 2)).position());
    }
    void ClickIntoText() { QTest::mouseClick(box_.viewport(), Qt::LeftButton, {}, QPoint(5, 5)); }

    LeetOutputBox box_{nullptr};
};

// Where two texts first differ, for a failure message.
inline std::string FirstDifference(const QString& ours, const QString& theirs) {
    qsizetype first = 0;
    while (first < ours.size() && first < theirs.size() && ours[first] == theirs[first]) {
        ++first;
    }
    return "differ from " + std::to_string(first) + " on: \"" + ours.mid(first, 20).toStdString() +
           "\" against \"" + theirs.mid(first, 20).toStdString() + "\" (lengths " +
           std::to_string(ours.size()) + ", " + std::to_string(theirs.size()) + ")";
}

// Seeded random edits, the same on the box and on an ordinary one-paragraph box beside it: after
// each, both hold the same text, caret, selection and lines, and a screen reader knows the same
// text. Every other place is next to a cut, where the two would differ if the box got
// anything wrong.
class PausedEditing : public OutputBox, public ::testing::WithParamInterface<bool> {
  protected:
    void SetUp() override {
        // Before the box is shown, which is when Qt first asks how to present it.
        InstallAccessibility();
        FollowOutputBox(box_);
        OutputBox::SetUp();
        ConfigureAsOneParagraph(plain_);
        plain_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&plain_));
        // The box has the keyboard, as it has for a user: Qt then asks it about the input method
        // whenever its caret moves, even in the middle of the box's own work.
        QApplication::setActiveWindow(&box_);
        box_.setFocus();
        listening_ = this;
        ListenForTests(&Hear);
    }
    void TearDown() override {
        ListenForTests(nullptr);
        listening_ = nullptr;
    }
    void Pause() {
        box_.SetEditable(true);
        heard_ = box_.Text();
    }
    // The text rebuilt from the text changes a screen reader is told, each checked against what
    // it was told before.
    static void Hear(const QAccessibleEvent& event) {
        if (listening_ == nullptr || event.object() != &listening_->box_) {
            return;
        }
        QString& heard = listening_->heard_;
        const auto remove = [&heard](int at, const QString& text) {
            if (heard.mid(at, text.size()) != text) {
                listening_->misheard_ = "removed \"" + text.left(20).toStdString() + "\" at " +
                                        std::to_string(at) + " where the text is \"" +
                                        heard.mid(at, 20).toStdString() + "\"";
            }
            heard.remove(at, text.size());
        };
        switch (event.type()) {
            case QAccessible::TextInserted: {
                const auto& inserted = static_cast<const QAccessibleTextInsertEvent&>(event);
                heard.insert(inserted.changePosition(), inserted.textInserted());
                break;
            }
            case QAccessible::TextRemoved: {
                const auto& removed = static_cast<const QAccessibleTextRemoveEvent&>(event);
                remove(removed.changePosition(), removed.textRemoved());
                break;
            }
            case QAccessible::TextUpdated: {
                const auto& updated = static_cast<const QAccessibleTextUpdateEvent&>(event);
                remove(updated.changePosition(), updated.textRemoved());
                heard.insert(updated.changePosition(), updated.textInserted());
                break;
            }
            default:
                break;
        }
    }
    int Offset(const QPlainTextEdit& box, int position) {
        return &box == &box_ ? box_.VisibleOffset(position) : position;
    }
    void Select(int anchor, int position) {
        for (QPlainTextEdit* box : {static_cast<QPlainTextEdit*>(&box_), &plain_}) {
            const auto at = [&](int offset) {
                return box == &box_ ? box_.DocumentPosition(offset) : offset;
            };
            QTextCursor cursor = box->textCursor();
            cursor.setPosition(at(anchor));
            cursor.setPosition(at(position), QTextCursor::KeepAnchor);
            box->setTextCursor(cursor);
        }
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(&box_, static_cast<Qt::Key>(key), modifiers);
        QTest::keyClick(&plain_, static_cast<Qt::Key>(key), modifiers);
    }
    // Visible offsets of the block starts that follow cuts.
    std::vector<int> Cuts() {
        std::vector<int> breaks;
        for (QTextBlock block = box_.document()->firstBlock(); block.isValid();
             block = block.next()) {
            if (FollowsCut(block)) {
                breaks.push_back(box_.VisibleOffset(block.position()));
            }
        }
        return breaks;
    }
    void ExpectSame(std::string step) {
        for (const std::string& before : recent_) {
            step = before + "\n" + step;
        }
        ExpectSameAfter(step);
        recent_.push_back(step.substr(step.rfind('\n') + 1));
        if (recent_.size() > 4) {
            recent_.erase(recent_.begin());
        }
    }
    void ExpectSameAfter(const std::string& step) {
        const QString ours_text = box_.Text();
        const QString theirs_text = plain_.toPlainText();
        ASSERT_TRUE(ours_text == theirs_text)
            << step << ": texts " << FirstDifference(ours_text, theirs_text);
        ASSERT_EQ(misheard_, "") << step;
        ASSERT_TRUE(heard_ == theirs_text)
            << step << ": the text a screen reader was told of and the text "
            << FirstDifference(heard_, theirs_text);
        QAccessibleTextInterface& accessible =
            *QAccessible::queryAccessibleInterface(&box_)->textInterface();
        const QString read = accessible.text(0, accessible.characterCount());
        ASSERT_TRUE(read == theirs_text) << step << ": the text a screen reader reads and the text "
                                         << FirstDifference(read, theirs_text);
        const QTextCursor ours = box_.textCursor();
        const QTextCursor theirs = plain_.textCursor();
        ASSERT_EQ(box_.VisibleOffset(ours.position()), theirs.position()) << step;
        ASSERT_EQ(box_.VisibleOffset(ours.anchor()), theirs.anchor()) << step;
        // The lines in view: further down, a long run without spaces is cut again only once it
        // comes into view or capturing resumes; after an undo, only with the next edit, as
        // cutting then would end the redo history.
        if (box_.document()->isRedoAvailable()) {
            return;
        }
        const int top = box_.VisibleOffset(box_.cursorForPosition(QPoint(0, 0)).position());
        const QPoint bottom_right(box_.viewport()->width() - 1, box_.viewport()->height() - 1);
        const int bottom = box_.VisibleOffset(box_.cursorForPosition(bottom_right).position());
        const auto in_view = [top, bottom](std::vector<int> starts) {
            std::erase_if(starts, [&](int start) { return start < top || start > bottom; });
            return starts;
        };
        ASSERT_EQ(in_view(LineStarts(box_)), in_view(LineStarts(plain_))) << step;
    }

    // Scrolls both boxes to the same random line, then selects and copies somewhere.
    void LookAround(std::mt19937& random) {
        const int line = static_cast<int>(
            random() % static_cast<unsigned>(box_.verticalScrollBar()->maximum() + 1));
        const int length = static_cast<int>(plain_.toPlainText().size());
        const int from = static_cast<int>(random() % static_cast<unsigned>(length + 1));
        Select(from, std::min(length, from + static_cast<int>(random() % 3'000)));
        QApplication::clipboard()->clear();
        QTest::keyClick(&box_, Qt::Key_C, Qt::ControlModifier);
        ASSERT_EQ(QApplication::clipboard()->text(),
                  plain_.textCursor().selectedText().replace(QChar::ParagraphSeparator, '\n'));
        box_.verticalScrollBar()->setValue(line);
        plain_.verticalScrollBar()->setValue(line);
        QApplication::processEvents();  // painting
    }

    QPlainTextEdit plain_;
    std::vector<std::string> recent_;
    static inline PausedEditing* listening_ = nullptr;
    QString heard_;
    std::string misheard_;
};

}  // namespace zentrovax::testing
