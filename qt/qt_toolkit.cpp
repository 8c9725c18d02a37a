#include "qt/qt_toolkit.h"

#include <QAccessible>
#include <QEvent>
#include <QGridLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPalette>
#include <QPushButton>
#include <array>
#include <cassert>

#include "qt/accessibility.h"
#include "qt/leet_output_box.h"
#include "qt/typed_characters.h"
#include "window/accessible_text.h"
#include "window/handlers.h"
#include "window/window_description.h"

namespace zentrovax {
namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToUtf8(const QString& text) {
    return text.toUtf8().toStdString();
}

QColor ToQColor(Colour colour) {
    return {colour.red, colour.green, colour.blue};
}

QRect ToPixels(const ControlDescription& control) {
    return {TwipsToPixels(control.left), TwipsToPixels(control.top), TwipsToPixels(control.width),
            TwipsToPixels(control.height)};
}

void Recolour(QWidget& widget, QPalette::ColorRole role, Colour colour) {
    QPalette palette = widget.palette();
    palette.setColor(role, ToQColor(colour));
    widget.setPalette(palette);
}

// Words that are empty are left to Qt, which names a button by its caption.
void Describe(QWidget& widget, const AccessibleText& text) {
    if (!text.name.empty()) {
        widget.setAccessibleName(ToQString(text.name));
    }
    if (!text.description.empty()) {
        widget.setAccessibleDescription(ToQString(text.description));
    }
}

void SetFontPixels(QWidget& widget, int pixels) {
    QFont font = widget.font();
    font.setPixelSize(pixels);
    widget.setFont(font);
}

}  // namespace

QtToolkit::QtToolkit() : window_(std::make_unique<QWidget>()) {
    InstallAccessibility();
    const WindowDescription& description = kFrmZentrovax;
    window_->setObjectName(ToQString(description.name));
    window_->setWindowTitle(ToQString(description.caption));
    const QSize client_size(TwipsToPixels(description.client_width),
                            TwipsToPixels(description.client_height));
    // Fixed size where the window manager lets the program choose it.
    window_->setFixedSize(client_size);
    window_->setAutoFillBackground(true);
    Recolour(*window_, QPalette::Window, description.window_colour);
    Describe(*window_, AccessibleTextOf(description.name));
    // A tiling window manager, or XWayland, may give the window another size all the same. The
    // controls live in a client area of the described size, centred, which clips its children:
    // the capture box, placed right of it, stays out of view at any window size.
    auto* client = new QWidget(window_.get());
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(client_size);
    auto* layout = new QGridLayout(window_.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(client, 0, 0, Qt::AlignCenter);

    std::array<QWidget*, kFrmZentrovax.controls.size()> by_tab_index{};
    for (const ControlDescription& control : description.controls) {
        // Named before anything else is done to it: a screen reader's view of a widget is
        // made, once, the first time anything about it is reported, and depends on the name.
        const auto named = [&control](auto* new_widget) {
            new_widget->setObjectName(ToQString(control.name));
            Describe(*new_widget, AccessibleTextOf(control.name));
            return new_widget;
        };
        QWidget* widget = nullptr;
        switch (control.kind) {
            case ControlKind::OutputBox: {
                txtLeet_ = named(new LeetOutputBox(client));
                FollowOutputBox(*txtLeet_);
                Recolour(*txtLeet_, QPalette::Base, description.output_background);
                Recolour(*txtLeet_, QPalette::Text, description.output_text);
                SetFontPixels(*txtLeet_, TwipsToPixels(description.text.output_text));
                widget = txtLeet_;
                break;
            }
            case ControlKind::CaptureBox:
                txtCapture_ = named(new QLineEdit(client));
                // What it holds is never read. Kept empty, it spares laying out up to 32,767
                // characters on every key and holding whatever is pasted into it.
                txtCapture_->setMaxLength(0);
                widget = txtCapture_;
                break;
            case ControlKind::PushButton: {
                auto* button = named(new QPushButton(ToQString(control.caption), client));
                Recolour(*button, QPalette::Button, description.button_colour);
                SetFontPixels(*button, TwipsToPixels(description.text.caption));
                button->setAutoDefault(false);
                if (const ClickHandler handler = ClickHandlerOf(control.name)) {
                    connect(button, &QPushButton::clicked, this,
                            [this, handler] { handler(*this); });
                }
                widget = button;
                break;
            }
        }
        widget->setGeometry(ToPixels(control));
        by_tab_index.at(static_cast<std::size_t>(control.tab_index)) = widget;
    }
    for (std::size_t i = 1; i < by_tab_index.size(); ++i) {
        QWidget::setTabOrder(by_tab_index.at(i - 1), by_tab_index.at(i));
    }
    txtCapture_->installEventFilter(this);
    txtLeet_->installEventFilter(this);
    OnWindowBuilt(*this);
}

QtToolkit::~QtToolkit() = default;

void QtToolkit::Show() {
    window_->show();
    window_->activateWindow();
}

QWidget* QtToolkit::Widget(Box box) const {
    if (box == Box::txtCapture) {
        return txtCapture_;
    }
    return txtLeet_;
}

std::string QtToolkit::GetText(Box box) const {
    return ToUtf8(box == Box::txtCapture ? txtCapture_->text() : txtLeet_->Text());
}

void QtToolkit::SetText(Box box, std::string_view text) {
    if (box == Box::txtCapture) {
        txtCapture_->setText(ToQString(text));
    } else {
        txtLeet_->SetText(ToQString(text));
    }
}

void QtToolkit::AppendText(Box box, std::string_view text) {
    const QString piece = ToQString(text);
    if (box == Box::txtCapture) {
        txtCapture_->setText(txtCapture_->text() + piece);
        return;
    }
    txtLeet_->Append(piece);
}

bool QtToolkit::IsEnabled(Box box) const {
    return Widget(box)->isEnabled();
}

void QtToolkit::SetEnabled(Box box, bool enabled) {
    Widget(box)->setEnabled(enabled);
}

void QtToolkit::GiveFocus(Box box) {
    QWidget* widget = Widget(box);
    // The handlers check the flag first; Qt would silently ignore the request anyway.
    assert(widget->isEnabled());
    widget->setFocus(Qt::OtherFocusReason);
}

bool QtToolkit::HasFocus(Box box) const {
    return Widget(box)->hasFocus();
}

void QtToolkit::SetEditable(Box box, bool editable) {
    if (box == Box::txtLeet) {
        txtLeet_->SetEditable(editable);
    } else {
        txtCapture_->setReadOnly(!editable);
    }
}

bool QtToolkit::ViewIsAtEnd(Box box) const {
    return box == Box::txtCapture || txtLeet_->ViewIsAtEnd();
}

void QtToolkit::ShowEnd(Box box) {
    if (box == Box::txtLeet) {
        txtLeet_->ShowEnd();
    }
}

void QtToolkit::SetComposingText(Box box, std::string_view text) {
    if (box == Box::txtLeet) {
        txtLeet_->SetComposing(ToQString(text));
    }
}

std::string QtToolkit::GetComposingText(Box box) const {
    return box == Box::txtLeet ? ToUtf8(txtLeet_->Composing()) : std::string();
}

void QtToolkit::Announce(std::string_view text) {
    // Without an assistive technology listening there is nobody to tell.
    if (QAccessible::isActive()) {
        EchoPiece(*txtCapture_, ToQString(text));
    }
}

void QtToolkit::ShowMessage(std::string_view prompt, std::string_view title) {
    QMessageBox box(QMessageBox::NoIcon, ToQString(title), ToQString(prompt), QMessageBox::Ok,
                    window_.get());
    box.setTextFormat(Qt::PlainText);
    box.exec();
    // Without a window manager nobody hands the keyboard back to the window.
    window_->activateWindow();
}

bool QtToolkit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtCapture_) {
        switch (event->type()) {
            case QEvent::KeyPress: {
                const auto* key = static_cast<QKeyEvent*>(event);
                for (const CharacterCode code :
                     CodesOfKeyPress(key->key(), key->modifiers(), key->text())) {
                    OnCaptureKeyPress(*this, code);
                }
                if (key->matches(QKeySequence::Paste)) {
                    OnCapturePaste(*this);
                    return true;
                }
                break;
            }
            case QEvent::MouseButtonRelease:
                // X11 pastes its selection with the middle button.
                if (static_cast<QMouseEvent*>(event)->button() != Qt::MiddleButton) {
                    break;
                }
                [[fallthrough]];
            case QEvent::Drop:
                OnCapturePaste(*this);
                return true;
            case QEvent::InputMethod: {
                // An event may commit one composition and start the next.
                const auto* input = static_cast<QInputMethodEvent*>(event);
                if (!input->commitString().isEmpty()) {
                    OnCaptureCommit(*this, CodesOfInputMethod(input->commitString()));
                }
                OnCaptureComposition(*this, CodesOfInputMethod(input->preeditString()));
                break;
            }
            default:
                break;
        }
    } else if (watched == txtLeet_ && event->type() == QEvent::FocusIn) {
        OnLeetGotFocus(*this);
    }
    // The widgets then handle every other event as usual.
    return false;
}

}  // namespace zentrovax
