#include "view/TurntableAccessibility.h"

#include "platform/StringTable.h"
#include "turntable/TurntableLogic.h"
#include "turntable/TurntableModel.h"
#include "view/RecordToolTip.h"
#include "view/TurntableChangeTracker.h"
#include "view/TurntableView.h"

#include <QAccessibleWidget>
#include <QEvent>
#include <QPointer>
#include <QWindow>
#include <array>
#include <cmath>
#include <memory>

namespace tt = gx::turntable;
using gx::localizedString;

namespace {

enum class Part { Switch, Arm, Dial, Record };
constexpr std::array<Part, 4> kParts = {Part::Switch, Part::Arm, Part::Dial, Part::Record};

// One drawn control of the turntable.
class PartInterface : public QAccessibleInterface,
                      public QAccessibleValueInterface,
                      public QAccessibleActionInterface,
                      public QAccessibleImageInterface {
public:
    PartInterface(gx::TurntableView* view, Part part)
        : view_(view)
        , part_(part)
    {
    }

    bool isValid() const override { return !view_.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return view_ ? view_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(view_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override { }

    QRect rect() const override
    {
        if (!view_)
            return {};
        const QRect local = view_->widgetRectFromView(area()).toAlignedRect();
        return QRect(view_->mapToGlobal(local.topLeft()), local.size());
    }

    QAccessible::Role role() const override
    {
        switch (part_) {
        case Part::Switch:
            return QAccessible::Button;
        case Part::Arm:
        case Part::Dial:
            return QAccessible::Slider;
        case Part::Record:
            return QAccessible::Graphic;
        }
        return QAccessible::NoRole;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!view_)
            return s;
        // The controls wake up with the first song; the record is only shown.
        s.disabled = part_ != Part::Record && !model().isEnabled();
        if (part_ == Part::Switch) {
            s.checkable = true;
            s.checked = model().switchValue();
        }
        if (part_ == Part::Record)
            s.readOnly = true;
        return s;
    }

    QString text(QAccessible::Text t) const override
    {
        if (!view_)
            return {};
        if (t == QAccessible::Name) {
            switch (part_) {
            case Part::Switch:
                return localizedString("Play switch");
            case Part::Arm:
                return localizedString("Tone arm");
            case Part::Dial:
                return localizedString("Speed dial");
            case Part::Record:
                return recordName();
            }
        }
        if (t == QAccessible::Value) {
            if (part_ == Part::Arm)
                return localizedString("%1 of %2")
                    .arg(gx::minutesAndSeconds(currentValue().toDouble()), gx::minutesAndSeconds(view_->songSeconds()));
            if (part_ == Part::Dial)
                return localizedString("%1 times normal speed")
                    .arg(static_cast<double>(model().dialValue()), 0, 'f', 2);
        }
        return {};
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        const bool slider = part_ == Part::Arm || part_ == Part::Dial;
        if (type == QAccessible::ValueInterface && slider)
            return static_cast<QAccessibleValueInterface*>(this);
        if (type == QAccessible::ActionInterface && part_ == Part::Switch)
            return static_cast<QAccessibleActionInterface*>(this);
        if (type == QAccessible::ImageInterface && part_ == Part::Record)
            return static_cast<QAccessibleImageInterface*>(this);
        return nullptr;
    }

    // --- Sliders
    QVariant currentValue() const override
    {
        if (!view_)
            return {};
        if (part_ == Part::Arm)
            return static_cast<double>(model().armValue()) * view_->songSeconds();
        return static_cast<double>(model().dialValue());
    }

    void setCurrentValue(const QVariant& value) override
    {
        if (!view_)
            return;
        const double wanted = value.toDouble();
        if (part_ == Part::Arm && view_->songSeconds() > 0.0)
            model().setArmPlace(static_cast<float>(wanted / view_->songSeconds()));
        else if (part_ == Part::Dial && std::isfinite(wanted))
            model().turnDial(static_cast<float>(std::min(wanted, tt::highestOfferedDialRate)));
    }

    QVariant maximumValue() const override
    {
        if (!view_)
            return {};
        if (part_ == Part::Arm)
            return view_->songSeconds();
        // By hand the dial turns past what is offered; the range grows with it.
        return std::max<double>(tt::highestOfferedDialRate, model().dialValue());
    }

    QVariant minimumValue() const override { return part_ == Part::Arm ? 0.0 : tt::lowestDialRate; }

    QVariant minimumStepSize() const override { return part_ == Part::Arm ? 1.0 : tt::dialRatePerPoint; }

    // --- Switch
    QStringList actionNames() const override { return {pressAction(), toggleAction()}; }
    QStringList keyBindingsForAction(const QString&) const override { return {QStringLiteral("Space")}; }

    void doAction(const QString& name) override
    {
        if (view_ && (name == pressAction() || name == toggleAction()))
            model().pressSwitch();
    }

    // --- Record
    QString imageDescription() const override { return recordName(); }
    QSize imageSize() const override { return rect().size(); }
    QPoint imagePosition() const override { return rect().topLeft(); }

private:
    gx::TurntableModel& model() const { return view_->model(); }

    tt::RectF area() const
    {
        switch (part_) {
        case Part::Switch:
            return tt::playBtnRect;
        case Part::Arm:
            return tt::armDraggRect;
        case Part::Dial:
            return tt::dialDraggRect;
        case Part::Record:
            return tt::diskRect;
        }
        return {};
    }

    QString recordName() const
    {
        return view_->recordTitle().isEmpty() ? localizedString("No record") : view_->recordTitle();
    }

    QPointer<gx::TurntableView> view_;
    Part part_;
};

// The turntable itself, holding its four parts in a fixed order.
class TurntableInterface : public QAccessibleWidget {
public:
    explicit TurntableInterface(gx::TurntableView* view)
        : QAccessibleWidget(view, QAccessible::Pane)
    {
        for (std::size_t i = 0; i < kParts.size(); ++i)
            ids_[i] = QAccessible::registerAccessibleInterface(new PartInterface(view, kParts[i]));
    }

    ~TurntableInterface() override
    {
        for (const QAccessible::Id id : ids_)
            QAccessible::deleteAccessibleInterface(id);
    }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? localizedString("Turntable") : QAccessibleWidget::text(t);
    }
    int childCount() const override { return static_cast<int>(ids_.size()); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        return QAccessible::accessibleInterface(ids_[static_cast<std::size_t>(index)]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (int i = 0; i < childCount(); ++i)
            if (QAccessible::accessibleInterface(ids_[static_cast<std::size_t>(i)]) == child)
                return i;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        for (int i = 0; i < childCount(); ++i)
            if (QAccessibleInterface* part = child(i); part->rect().contains(x, y))
                return part;
        return nullptr;
    }

private:
    std::array<QAccessible::Id, kParts.size()> ids_ {};
};

QAccessibleInterface* turntableFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("gx::TurntableView") && object && object->isWidgetType())
        return new TurntableInterface(static_cast<gx::TurntableView*>(object));
    return nullptr;
}

gx::TurntableEventSink g_sink = nullptr; // main thread only

void send(QAccessibleEvent* event)
{
    if (g_sink)
        g_sink(event);
    else
        QAccessible::updateAccessibility(event);
}

} // namespace

namespace gx {

// Tells listening assistive technology what the view has just shown
// changed. Runs on the main thread.
class TurntableAnnouncer : public QObject {
public:
    explicit TurntableAnnouncer(TurntableView* view)
        : QObject(view)
        , view_(view)
    {
    }

    void announce(const TurntableChanges& changes)
    {
        if (!QAccessible::isActive() && !g_sink)
            return;
        QAccessibleInterface* turntable = QAccessible::queryAccessibleInterface(view_);
        if (!turntable || turntable->childCount() != static_cast<int>(kParts.size()))
            return;
        QAccessibleInterface* switchPart = turntable->child(0);
        QAccessibleInterface* arm = turntable->child(1);
        QAccessibleInterface* dial = turntable->child(2);
        QAccessibleInterface* record = turntable->child(3);
        if (changes.enable) {
            QAccessible::State changed;
            changed.disabled = true;
            for (QAccessibleInterface* part : {switchPart, arm, dial}) {
                QAccessibleStateChangeEvent e(part, changed);
                send(&e);
            }
        }
        if (changes.switchOn) {
            QAccessible::State changed;
            changed.checked = true;
            QAccessibleStateChangeEvent e(switchPart, changed);
            send(&e);
        }
        if (changes.armSecond) {
            QAccessibleValueChangeEvent e(arm, arm->valueInterface()->currentValue());
            send(&e);
        }
        if (changes.dialValue) {
            QAccessibleValueChangeEvent e(dial, dial->valueInterface()->currentValue());
            send(&e);
        }
        if (changes.title) {
            QAccessibleEvent e(record, QAccessible::NameChanged);
            send(&e);
        }
    }

private:
    TurntableView* view_;
};

TurntableAnnouncer* makeTurntableAccessible(TurntableView* view)
{
    static const bool installed = [] {
        QAccessible::installFactory(turntableFactory);
        return true;
    }();
    (void)installed;
    return new TurntableAnnouncer(view);
}

void announceTurntableChanges(TurntableAnnouncer* announcer, const TurntableChanges& changes)
{
    if (announcer)
        announcer->announce(changes);
}

void announceTurntableFeedback(TurntableView* view, const QString& text)
{
    view->setAccessibleDescription(text);
    if (!QAccessible::isActive() && !g_sink)
        return;
    QAccessibleEvent e(view, QAccessible::DescriptionChanged);
    send(&e);
}

void setTurntableEventSink(TurntableEventSink sink)
{
    g_sink = sink;
}

} // namespace gx
