#include "qt/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QTextCursor>
#include <QWidget>

#include "qt/leet_output_box.h"
#include "window/window_description.h"

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

// What the output box tells: every change of its text, caret and selection, in the user's
// offsets, and nothing of its cutting and joining. Qt's own reports for it never reach the screen
// reader: Qt counts the cuts, reports a change before the box has heard of it, and sends
// blanks for the text a change took away.
class OutputBoxListener final : public LeetOutputBox::Listener {
  public:
    [[nodiscard]] bool Listening() const override {
        return QAccessible::isActive() || test_listener != nullptr;
    }
    void TextChanged(LeetOutputBox& box, int offset, const QString& removed,
                     const QString& inserted) override {
        if (removed.isEmpty()) {
            QAccessibleTextInsertEvent event(&box, offset, inserted);
            PassOn(&event);
        } else if (inserted.isEmpty()) {
            QAccessibleTextRemoveEvent event(&box, offset, removed);
            PassOn(&event);
        } else {
            QAccessibleTextUpdateEvent event(&box, offset, removed, inserted);
            PassOn(&event);
        }
    }
    void CaretMoved(LeetOutputBox& box, int offset) override {
        QAccessibleTextCursorEvent event(&box, offset);
        PassOn(&event);
    }
    void SelectionChanged(LeetOutputBox& box, int start, int end, int caret) override {
        QAccessibleTextSelectionEvent event(&box, start, end);
        event.setCursorPosition(caret);
        PassOn(&event);
    }
};
OutputBoxListener output_box_listener;

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool IsOwnTextReport(QAccessible::Event type) {
    switch (type) {
        case QAccessible::TextInserted:
        case QAccessible::TextRemoved:
        case QAccessible::TextUpdated:
        case QAccessible::TextCaretMoved:
        case QAccessible::TextSelectionChanged:
            return true;
        default:
            return false;
    }
}

void FilterUpdate(QAccessibleEvent* event) {
    QObject* object = event->object();
    if (event->type() == QAccessible::Focus && object != nullptr && object->isWidgetType() &&
        object != QApplication::focusWidget()) {
        return;
    }
    if (qobject_cast<LeetOutputBox*>(object) != nullptr && IsOwnTextReport(event->type())) {
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
    if (object->objectName() == ToQString(FindControl("txtCapture").name) &&
        object->isWidgetType()) {
        return new CaptureBoxAccessible(static_cast<QWidget*>(object));
    }
    if (auto* box = qobject_cast<LeetOutputBox*>(object)) {
        return new OutputBoxAccessible(box);
    }
    auto* widget = qobject_cast<QWidget*>(object);
    if (class_name == QLatin1String("QWidget") && widget != nullptr && widget->isWindow() &&
        widget->objectName() == ToQString(kFrmZentrovax.name)) {
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

void FollowOutputBox(LeetOutputBox& box) {
    box.SetListener(&output_box_listener);
}

void ListenForTests(void (*listener)(const QAccessibleEvent& event)) {
    test_listener = listener;
}

}  // namespace zentrovax
