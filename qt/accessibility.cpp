#include "qt/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QTextCursor>
#include <QWidget>

#include "qt/leet_output_box.h"

namespace zentrovax {
namespace {

bool installed = false;
QAccessible::UpdateHandler previous_handler = nullptr;
void (*test_listener)(const QAccessibleEvent& event) = nullptr;
void FilterUpdate(QAccessibleEvent* event);

void PassOn(QAccessibleEvent* event) {
    if (test_listener != nullptr) {
        test_listener(*event);
    }
    if (!installed) {
        QAccessible::updateAccessibility(event);
        return;
    }
    if (previous_handler != nullptr) {
        previous_handler(event);
        return;
    }
    // No handler before this one: hand the event to the platform's bridge, which is what
    // updateAccessibility does while no handler is installed.
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(&FilterUpdate);
}

// Qt reports the output's caret and selection by document positions, which count the soft
// breaks; the screen reader gets them in the user's offsets, or not at all while the box only
// cuts or joins its blocks. Qt's reports of text changes never reach it: Qt makes them before the
// box has heard of a change, and without the text it took away; the box reports every change of
// its text itself.
void PassOnOutputEvent(QAccessibleEvent* event, LeetOutputBox& box) {
    switch (event->type()) {
        case QAccessible::TextInserted:
        case QAccessible::TextRemoved:
        case QAccessible::TextUpdated:
            return;
        case QAccessible::TextCaretMoved:
        case QAccessible::TextSelectionChanged:
            if (box.InUnseenChange()) {
                return;
            }
            break;
        default:
            PassOn(event);
            return;
    }
    switch (event->type()) {
        case QAccessible::TextSelectionChanged: {
            auto* selection = static_cast<QAccessibleTextSelectionEvent*>(event);
            selection->setSelection(box.VisibleOffset(selection->selectionStart()),
                                    box.VisibleOffset(selection->selectionEnd()));
            selection->setCursorPosition(box.VisibleOffset(selection->cursorPosition()));
            break;
        }
        default: {  // the caret moved
            auto* caret = static_cast<QAccessibleTextCursorEvent*>(event);
            caret->setCursorPosition(box.VisibleOffset(caret->cursorPosition()));
            break;
        }
    }
    PassOn(event);
}

void FilterUpdate(QAccessibleEvent* event) {
    QObject* object = event->object();
    if (event->type() == QAccessible::Focus && object != nullptr && object->isWidgetType() &&
        object != QApplication::focusWidget()) {
        return;
    }
    if (auto* box = qobject_cast<LeetOutputBox*>(object)) {
        PassOnOutputEvent(event, *box);
        return;
    }
    PassOn(event);
}

// A text box whose text a screen reader reads through the text interface.
class TextBoxAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
  public:
    explicit TextBoxAccessible(QWidget* box) : QAccessibleWidget(box, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }
    [[nodiscard]] QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = true;
        state.selectableText = true;
        return state;
    }
    [[nodiscard]] QString attributes(int /*offset*/, int* start_offset,
                                     int* end_offset) const override {
        // Plain text: one run without attributes.
        *start_offset = 0;
        *end_offset = characterCount();
        return {};
    }
};

// The output box as a screen reader reads it: its text as the user sees it.
class OutputBoxAccessible final : public TextBoxAccessible {
  public:
    explicit OutputBoxAccessible(LeetOutputBox* box) : TextBoxAccessible(box) {}
    // Both bases have a text(): the widget's name and description, and the box's text.
    using QAccessibleWidget::text;

    [[nodiscard]] QAccessible::State state() const override {
        QAccessible::State state = TextBoxAccessible::state();
        state.multiLine = true;
        state.readOnly = Box().isReadOnly();
        return state;
    }

    void selection(int selection_index, int* start_offset, int* end_offset) const override {
        const QTextCursor cursor = Box().textCursor();
        *start_offset = 0;
        *end_offset = 0;
        if (selection_index == 0 && cursor.hasSelection()) {
            *start_offset = Box().VisibleOffset(cursor.selectionStart());
            *end_offset = Box().VisibleOffset(cursor.selectionEnd());
        }
    }
    [[nodiscard]] int selectionCount() const override {
        return Box().textCursor().hasSelection() ? 1 : 0;
    }
    void addSelection(int start_offset, int end_offset) override {
        setSelection(0, start_offset, end_offset);
    }
    void removeSelection(int selection_index) override {
        if (selection_index == 0) {
            QTextCursor cursor = Box().textCursor();
            cursor.clearSelection();
            Box().setTextCursor(cursor);
        }
    }
    void setSelection(int selection_index, int start_offset, int end_offset) override {
        if (selection_index == 0) {
            Select(start_offset, end_offset);
        }
    }

    [[nodiscard]] int cursorPosition() const override {
        return Box().VisibleOffset(Box().textCursor().position());
    }
    void setCursorPosition(int position) override { Select(position, position); }

    [[nodiscard]] QString text(int start_offset, int end_offset) const override {
        return Box().TextBetween(Box().DocumentPosition(start_offset),
                                 Box().DocumentPosition(end_offset));
    }
    [[nodiscard]] int characterCount() const override { return Box().VisibleLength(); }

    [[nodiscard]] QRect characterRect(int offset) const override {
        QTextCursor cursor(Box().document());
        cursor.setPosition(Box().DocumentPosition(offset));
        QRect rect = Box().cursorRect(cursor);
        rect.setWidth(Box().fontMetrics().horizontalAdvance(text(offset, offset + 1)));
        return {Box().viewport()->mapToGlobal(rect.topLeft()), rect.size()};
    }
    [[nodiscard]] int offsetAtPoint(const QPoint& point) const override {
        const QPoint inside = Box().viewport()->mapFromGlobal(point);
        return Box().VisibleOffset(Box().cursorForPosition(inside).position());
    }
    void scrollToSubstring(int start_index, int end_index) override {
        Select(start_index, end_index);
        Box().ensureCursorVisible();
    }

  private:
    [[nodiscard]] LeetOutputBox& Box() const { return *static_cast<LeetOutputBox*>(widget()); }
    void Select(int start_offset, int end_offset) {
        QTextCursor cursor = Box().textCursor();
        cursor.setPosition(Box().DocumentPosition(start_offset));
        cursor.setPosition(Box().DocumentPosition(end_offset), QTextCursor::KeepAnchor);
        Box().setTextCursor(cursor);
    }
};

constexpr const char* kEchoProperty = "zentrovaxEcho";

// The capture box as a screen reader reads it: the last piece it took in, selected.
class CaptureBoxAccessible final : public TextBoxAccessible {
  public:
    explicit CaptureBoxAccessible(QWidget* box) : TextBoxAccessible(box) {}
    using QAccessibleWidget::text;

    void selection(int /*selection_index*/, int* start_offset, int* end_offset) const override {
        *start_offset = 0;
        *end_offset = characterCount();
    }
    [[nodiscard]] int selectionCount() const override { return characterCount() > 0 ? 1 : 0; }
    void addSelection(int /*start_offset*/, int /*end_offset*/) override {}
    void removeSelection(int /*selection_index*/) override {}
    void setSelection(int /*selection_index*/, int /*start_offset*/, int /*end_offset*/) override {}
    [[nodiscard]] int cursorPosition() const override { return characterCount(); }
    void setCursorPosition(int /*position*/) override {}
    [[nodiscard]] QString text(int start_offset, int end_offset) const override {
        return Echo().mid(start_offset, end_offset - start_offset);
    }
    [[nodiscard]] int characterCount() const override { return static_cast<int>(Echo().size()); }
    [[nodiscard]] QRect characterRect(int /*offset*/) const override { return {}; }
    [[nodiscard]] int offsetAtPoint(const QPoint& /*point*/) const override { return -1; }
    void scrollToSubstring(int /*start_index*/, int /*end_index*/) override {}

  private:
    [[nodiscard]] QString Echo() const { return widget()->property(kEchoProperty).toString(); }
};

QAccessibleInterface* CreateAccessible(const QString& class_name, QObject* object) {
    if (object->objectName() == QLatin1String("txtCapture") && object->isWidgetType()) {
        return new CaptureBoxAccessible(static_cast<QWidget*>(object));
    }
    if (auto* box = qobject_cast<LeetOutputBox*>(object)) {
        return new OutputBoxAccessible(box);
    }
    auto* widget = qobject_cast<QWidget*>(object);
    if (class_name == QLatin1String("QWidget") && widget != nullptr && widget->isWindow() &&
        widget->objectName() == QLatin1String("frmZentrovax")) {
        return new QAccessibleWidget(widget, QAccessible::Window);
    }
    return nullptr;
}

}  // namespace

void InstallAccessibility() {
    if (!installed) {
        QAccessible::installFactory(&CreateAccessible);
        previous_handler = QAccessible::installUpdateHandler(&FilterUpdate);
        installed = true;
    }
}

void EchoPiece(QWidget& capture_box, const QString& piece) {
    capture_box.setProperty(kEchoProperty, piece);
    QAccessibleTextInsertEvent took_in(&capture_box, 0, piece);
    QAccessible::updateAccessibility(&took_in);
}

void Announce(QAccessibleEvent& event) {
    PassOn(&event);
}

bool AnybodyListens() {
    return QAccessible::isActive() || test_listener != nullptr;
}

void ListenForTests(void (*listener)(const QAccessibleEvent& event)) {
    test_listener = listener;
}

}  // namespace zentrovax
