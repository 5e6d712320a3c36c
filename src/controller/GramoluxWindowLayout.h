#pragma once
// The main window's layout: creates the window with the turntable, the
// menus, the About and preferences panels and both controllers, connects the
// controllers' outlets to the turntable's model, then starts them up. Destroying it tears down the
// controllers (engine stopped, threads joined) before the windows go.
#include <QObject>
#include <memory>

class AppController;
class GXGramoluxView;
class PreferenceController;
class QAction;
class QDialog;
class QMainWindow;

namespace gx {

class TurntableModel;

class GramoluxWindowLayout : public QObject {
    Q_OBJECT
public:
    GramoluxWindowLayout();
    ~GramoluxWindowLayout() override;

    void show();

    QMainWindow* mainWindow() const { return mainWindow_.get(); }
    TurntableModel& turntable() const { return *turntable_; }
    GXGramoluxView* view() const { return view_; }
    AppController* appController() const { return appController_.get(); }
    PreferenceController* preferenceController() const { return preferenceController_.get(); }
    QAction* playStopAction() const { return playStop_; }

private:
    QDialog* makeAboutPanel();
    void updateControls();

    // First made, last gone: the view, the controllers and MPRIS all use it.
    std::unique_ptr<TurntableModel> turntable_;
    std::unique_ptr<QMainWindow> mainWindow_;
    GXGramoluxView* view_ = nullptr;
    QAction* playStop_ = nullptr;
    std::unique_ptr<AppController> appController_;
    std::unique_ptr<PreferenceController> preferenceController_;
};

} // namespace gx
