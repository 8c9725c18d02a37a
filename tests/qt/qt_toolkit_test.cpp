#include "qt/qt_toolkit.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <algorithm>

#include "tests/qt/qt_printers.h"
#include "window/help_text.h"
#include "window/window_description.h"

namespace zentrovax {
namespace {

class Window : public ::testing::Test {
  protected:
    void SetUp() override {
        toolkit_.Show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&toolkit_.Window()));
    }

    template <typename T>
    T* Control(const char* name) {
        T* control = toolkit_.Window().findChild<T*>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    // Keys go wherever the focus is, as they do for a person.
    static void Type(const QString& keys) {
        for (const QChar key : keys) {
            QTest::keyClicks(QApplication::focusWidget(), QString(key));
        }
    }
    QString Output() { return QString::fromStdString(toolkit_.GetText(Box::txtLeet)); }
    void Click(const char* button) {
        QTest::mouseClick(Control<QPushButton>(button), Qt::LeftButton);
    }
    static QString FocusName() {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }

    QtToolkit toolkit_;
};

TEST_F(Window, TypingAtOnceAfterShowProducesLeet) {
    EXPECT_EQ(FocusName(), "txtCapture");
    Type("leet speak");
    EXPECT_EQ(Output(), "1337 5|O34|<");
}

TEST_F(Window, GeometryCaptionsAndTabOrderAreThoseOfTheDescription) {
    EXPECT_EQ(toolkit_.Window().windowTitle(), "Zentrovax");
    EXPECT_EQ(toolkit_.Window().size(), QSize(314, 186));
    for (const ControlDescription& control : kFrmZentrovax.controls) {
        const QString name =
            QString::fromUtf8(control.name.data(), static_cast<qsizetype>(control.name.size()));
        const QWidget* widget = Control<QWidget>(name.toUtf8().constData());
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), QRect(control.left / 15, control.top / 15, control.width / 15,
                                            control.height / 15))
            << control.name;
        if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
            EXPECT_EQ(button->text().toStdString(), control.caption);
            EXPECT_FALSE(button->isDefault());
            EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + 4, button->width())
                << "caption clipped: " << control.name;
        }
    }
    EXPECT_FALSE(toolkit_.Window().rect().intersects(Control<QWidget>("txtCapture")->geometry()))
        << "the capture box must be out of sight";

    // The scroll bars inside the output box are in the chain too, but take no Tab focus.
    QStringList order;
    for (QWidget* widget = Control<QWidget>("txtLeet"); order.size() < 5;
         widget = widget->nextInFocusChain()) {
        if ((widget->focusPolicy() & Qt::TabFocus) != 0) {
            order << widget->objectName();
        }
    }
    EXPECT_EQ(order, QStringList({"txtLeet", "txtCapture", "cmdPause", "cmdResume", "cmdHelp"}));
}

TEST_F(Window, WhateverSizeAWindowManagerForcesTheCaptureBoxStaysOutOfView) {
    QWidget& window = toolkit_.Window();
    window.setMinimumSize(0, 0);
    window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window.resize(1020, 741);  // what a tiling window manager gave it
    QApplication::processEvents();
    const QImage image = window.grab().toImage();
    const QWidget* capture = Control<QWidget>("txtCapture");
    const QRect unclipped(capture->mapTo(&window, QPoint(0, 0)), capture->size());
    ASSERT_TRUE(image.rect().contains(unclipped)) << "it would be in view if not clipped";
    for (int y = unclipped.top(); y <= unclipped.bottom(); ++y) {
        for (int x = unclipped.left(); x <= unclipped.right(); ++x) {
            ASSERT_EQ(image.pixelColor(x, y), QColor(Qt::black)) << x << "," << y;
        }
    }
    EXPECT_LE((Control<QWidget>("client")->geometry().center() - window.rect().center())
                  .manhattanLength(),
              1)
        << "the client area is centred";
    Type("a");
    EXPECT_EQ(Output(), "4");
}

TEST_F(Window, TheWindowIsANamedFrameAndEachBoxSaysWhatItIsFor) {
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&toolkit_.Window());
    EXPECT_EQ(window->role(), QAccessible::Window) << "a frame, not a filler";
    EXPECT_EQ(window->text(QAccessible::Name), "Zentrovax");
    EXPECT_FALSE(window->text(QAccessible::Description).isEmpty());
    for (const char* name : {"txtLeet", "txtCapture"}) {
        QAccessibleInterface* box = QAccessible::queryAccessibleInterface(Control<QWidget>(name));
        EXPECT_FALSE(box->text(QAccessible::Name).isEmpty()) << name;
        EXPECT_FALSE(box->text(QAccessible::Description).isEmpty()) << name;
    }
}

TEST_F(Window, TheViewFollowsTheEndUnlessTheUserScrolledAway) {
    auto* output = Control<QPlainTextEdit>("txtLeet");
    const QScrollBar& bar = *output->verticalScrollBar();
    Type(QString(400, u'm'));
    EXPECT_GT(bar.maximum(), 3);
    EXPECT_EQ(bar.value(), bar.maximum());
    output->verticalScrollBar()->setValue(3);
    Type("leet");
    EXPECT_EQ(bar.value(), 3) << "scrolled back to read: the place is kept";
    output->verticalScrollBar()->setValue(bar.maximum());
    Type(QString(100, u'w'));
    EXPECT_EQ(bar.value(), bar.maximum());
}

TEST_F(Window, ClickingIntoTheOutputWhileCapturingReturnsTheFocus) {
    QTest::mouseClick(Control<QPlainTextEdit>("txtLeet")->viewport(), Qt::LeftButton);
    EXPECT_EQ(FocusName(), "txtCapture");
    Type("a");
    EXPECT_EQ(Output(), "4");
}

TEST_F(Window, PauseLetsTheUserEditAndResumeAppendsAtTheVeryEnd) {
    Type("leet");
    Click("cmdPause");
    EXPECT_EQ(FocusName(), "cmdPause");
    Type("a");
    EXPECT_EQ(Output(), "1337") << "paused: nothing is translated";

    auto* output = Control<QPlainTextEdit>("txtLeet");
    QTest::mouseClick(output->viewport(), Qt::LeftButton);
    EXPECT_EQ(FocusName(), "txtLeet");
    QTest::keyClick(output, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(output, Qt::Key_Backspace);
    QTest::keyClicks(output, "xy");
    EXPECT_EQ(Output(), "133xy");
    QTest::keyClick(output, Qt::Key_Home, Qt::ControlModifier);

    Click("cmdResume");
    EXPECT_EQ(FocusName(), "txtCapture");
    Type("a");
    EXPECT_EQ(Output(), "133xy4");
}

TEST_F(Window, UndoWhilePausedOnlyTakesBackTheUsersOwnEdits) {
    Type("ab");
    Click("cmdPause");
    auto* output = Control<QPlainTextEdit>("txtLeet");
    QTest::mouseClick(output->viewport(), Qt::LeftButton);
    QTest::keyClick(output, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(output, "!");
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(output, Qt::Key_Z, Qt::ControlModifier);
    }
    EXPECT_EQ(Output(), "48");
}

TEST_F(Window, WhileCapturingNothingButTranslationEntersTheOutput) {
    Type("a");
    auto* output = Control<QPlainTextEdit>("txtLeet");
    QApplication::clipboard()->setText("pasted");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(output->isReadOnly()) << "a middle click or a drop must not insert";
    EXPECT_EQ(Output(), "4");
    Click("cmdPause");
    EXPECT_FALSE(output->isReadOnly());
}

// An input method's events, as a desktop input method sends them to the capture box.
TEST_F(Window, AnInputMethodsPreeditShowsTranslatedAndItsCommitTypesItOnce) {
    const auto send = [](const QString& commit, const QString& preedit) {
        QInputMethodEvent event(preedit, {});
        event.setCommitString(commit);
        QApplication::sendEvent(QApplication::focusWidget(), &event);
    };
    const auto shown = [this] {
        auto* output = Control<QPlainTextEdit>("txtLeet");
        const QTextBlock last = output->document()->lastBlock();
        // What the last line shows after the text, underlined as a preedit is.
        const QTextLayout* layout = last.layout();
        const QString preedit = layout->preeditAreaText();
        EXPECT_TRUE(preedit.isEmpty() || layout->formats().value(0).format.fontUnderline());
        return preedit;
    };
    Type("a");
    send({}, "h");
    send({}, "he");
    EXPECT_EQ(shown(), "||=||3");
    EXPECT_EQ(Output(), "4") << "not yet typed";
    send("hello", "w");  // a suggestion chosen, and the next word begun
    EXPECT_EQ(Output(), "4||=||3110");
    EXPECT_EQ(shown(), "\\/\\/");
    send({}, {});  // cancelled
    EXPECT_EQ(shown(), "");
    EXPECT_EQ(Output(), "4||=||3110");
}

TEST_F(Window, TabMovesTheFocusToPauseAndTypingThenIsNotTranslated) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(FocusName(), "cmdPause");
    Type("a");
    EXPECT_EQ(Output(), "");
    Click("cmdResume");
    Type("a");
    EXPECT_EQ(Output(), "4");
}

// Clicks OK on the message box once it is up, as the user would.
void AcceptMessageBoxSoon(QString* title, QString* text) {
    QTimer::singleShot(0, [title, text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        *title = box->windowTitle();
        *text = box->text();
        EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
        EXPECT_EQ(box->buttons().size(), 1);
        box->button(QMessageBox::Ok)->click();
    });
}

TEST_F(Window, HelpWhileCapturingShowsTheMessageThenTypingGoesOn) {
    QString title;
    QString text;
    AcceptMessageBoxSoon(&title, &text);
    Click("cmdHelp");
    ASSERT_TRUE(QTest::qWaitForWindowActive(&toolkit_.Window()));
    EXPECT_EQ(title, "How to use Zentrovax");
    EXPECT_EQ(text.toStdString(), kHelpPrompt);
    EXPECT_EQ(FocusName(), "txtCapture");
    Type("a");
    EXPECT_EQ(Output(), "4");
}

TEST_F(Window, HelpWhilePausedStaysPaused) {
    Type("z");
    Click("cmdPause");
    QString title;
    QString text;
    AcceptMessageBoxSoon(&title, &text);
    Click("cmdHelp");
    ASSERT_TRUE(QTest::qWaitForWindowActive(&toolkit_.Window()));
    EXPECT_EQ(title, "How to use Zentrovax");
    EXPECT_FALSE(Control<QLineEdit>("txtCapture")->isEnabled());
    Type("a");
    EXPECT_EQ(Output(), "2");
}

TEST_F(Window, FortyThousandKeysKeepTheOutputGrowing) {
    // Past the capture box's own 32,767-character limit.
    QWidget* capture = QApplication::focusWidget();
    for (int i = 0; i < 40'000; ++i) {
        QTest::keyClick(capture, Qt::Key_A, Qt::NoModifier);
    }
    EXPECT_EQ(Output(), QString(40'000, '4'));
}

}  // namespace
}  // namespace zentrovax
