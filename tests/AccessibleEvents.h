#pragma once

// What assistive technology is told, heard in process: the events Qt hands its platform bridge
// (AT-SPI on Linux, UI Automation on Windows), recorded with the texts they carry at that moment.

#include <QAccessible>
#include <QString>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <vector>

struct HeardEvent {
    QAccessible::Event type;
    QObject* object;
    QAccessible::Role role;
    QString name;
    QString value;           // what a text or value event carries
    QString description;     // and the object's description then
    bool activation = false; // a change of the active state (a window coming up or going)
};

class AccessibleEvents {
public:
    AccessibleEvents() {
        // Qt passes events on only while a client listens; the platform's flag says so.
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        heard().clear();
        QAccessible::installUpdateHandler(&AccessibleEvents::record);
    }
    ~AccessibleEvents() {
        QAccessible::installUpdateHandler(nullptr);
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(false);
    }
    AccessibleEvents(const AccessibleEvents&) = delete;
    AccessibleEvents& operator=(const AccessibleEvents&) = delete;

    static std::vector<HeardEvent>& heard() {
        static std::vector<HeardEvent> events;
        return events;
    }
    // The events of `type` about `object`, in the order they came.
    static std::vector<HeardEvent> about(const QObject* object, QAccessible::Event type) {
        std::vector<HeardEvent> found;
        for (const HeardEvent& event : heard()) {
            if (event.object == object && event.type == type)
                found.push_back(event);
        }
        return found;
    }

private:
    static void record(QAccessibleEvent* event) {
        HeardEvent heardEvent{event->type(), event->object(), QAccessible::NoRole, {}, {}, {}, false};
        if (QAccessibleInterface* iface = event->accessibleInterface()) {
            heardEvent.role = iface->role();
            heardEvent.name = iface->text(QAccessible::Name);
            heardEvent.description = iface->text(QAccessible::Description);
            heardEvent.value = iface->text(QAccessible::Value);
        }
        switch (event->type()) {
        case QAccessible::TextInserted:
            heardEvent.value = static_cast<QAccessibleTextInsertEvent*>(event)->textInserted();
            break;
        case QAccessible::TextUpdated:
            heardEvent.value = static_cast<QAccessibleTextUpdateEvent*>(event)->textInserted();
            break;
        case QAccessible::StateChanged:
            heardEvent.activation = static_cast<QAccessibleStateChangeEvent*>(event)->changedStates().active;
            break;
        case QAccessible::ValueChanged:
            heardEvent.value = static_cast<QAccessibleValueChangeEvent*>(event)->value().toString();
            break;
        default:
            break;
        }
        heard().push_back(heardEvent);
    }
};
