#pragma once
// The main window's layout: creates the window with the turntable, the
// menus, the About and preferences panels and both controllers, connects the
// controllers' outlets to the turntable's model, then starts them up.
// Destroying it tears down the controllers (engine stopped, threads joined)
// before the windows go.
#include <QObject>
#include <QStringList>
#include <memory>

class AppController;
class PreferenceController;
class QAction;
class QDialog;
class QMainWindow;

namespace gx {

class ControlsMenu;
class QueueWindow;
class TurntableView;
class HandOver;
class TurntableModel;

class GramoluxWindowLayout : public QObject {
    Q_OBJECT
public:
    // Opens the files handed over at launch as a hand-over does.
    explicit GramoluxWindowLayout(const QStringList& handed = {});
    ~GramoluxWindowLayout() override;

    void show();

    QMainWindow* mainWindow() const { return mainWindow_.get(); }
    TurntableModel& turntable() const { return *turntable_; }
    TurntableView* view() const { return view_; }
    AppController* appController() const { return appController_.get(); }
    PreferenceController* preferenceController() const { return preferenceController_.get(); }
    QAction* nextSongAction() const;
    ControlsMenu* controlsMenu() const { return controlsMenu_; }
    QueueWindow* queueWindow() const { return queueWindow_; }
    // Where files handed over from outside go (command line, second launch,
    // "Open With", MPRIS).
    HandOver* handOver() const { return handOver_.get(); }

private:
    QDialog* makeAboutPanel();
    void updateControls();

    // First made, last gone: the view, the controllers and MPRIS all use it.
    std::unique_ptr<TurntableModel> turntable_;
    std::unique_ptr<QMainWindow> mainWindow_;
    TurntableView* view_ = nullptr;
    ControlsMenu* controlsMenu_ = nullptr; // a child of this layout
    QueueWindow* queueWindow_ = nullptr;   // a child of the main window
    std::unique_ptr<AppController> appController_;
    std::unique_ptr<PreferenceController> preferenceController_;
    std::unique_ptr<HandOver> handOver_;
    bool shown_ = false; // its size and place are kept once shown
};

} // namespace gx
