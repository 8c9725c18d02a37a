#include "qt/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QWidget>

namespace zentrovax {
namespace {

QAccessible::UpdateHandler previous_handler = nullptr;

void AnnounceFocusWhereItStays(QAccessibleEvent* event) {
    if (event->type() == QAccessible::Focus && event->object() != nullptr &&
        event->object()->isWidgetType() && event->object() != QApplication::focusWidget()) {
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
    QAccessible::installUpdateHandler(&AnnounceFocusWhereItStays);
}

QAccessibleInterface* FrameForTheWindow(const QString& class_name, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (class_name == QLatin1String("QWidget") && widget != nullptr && widget->isWindow() &&
        widget->objectName() == QLatin1String("frmZentrovax")) {
        return new QAccessibleWidget(widget, QAccessible::Window);
    }
    return nullptr;
}

}  // namespace

void InstallAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&FrameForTheWindow);
        previous_handler = QAccessible::installUpdateHandler(&AnnounceFocusWhereItStays);
        return true;
    }();
    static_cast<void>(installed);
}

}  // namespace zentrovax
