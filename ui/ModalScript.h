// Answers modal windows in tests, so that no test ever waits for a person.
//
//   ui::ModalScript script([](const std::string& why) { ADD_FAILURE() << why; });
//   script.Expect("frmMEMessage100", [](QWidget& w) { /* look, then click a button */ });
//   ... press the button that opens the dialog ...
//
// While a script is installed, every modal show (Form::ShowModal and the
// ERROR box, both through ui/ModalShow.h) takes the next entry: the window
// must have the expected objectName, and the action must unload it. An unexpected window, a window the action left
// open, or an entry left unused when the script is destroyed is reported
// through the failure callback; the window is then unloaded so nothing hangs.
// This file knows no window of the layer: the modal shows reach the script,
// never the other way round.
#pragma once

#include <QString>
#include <QWidget>
#include <deque>
#include <functional>
#include <string>

namespace ui {

class ModalScript {
public:
    using Action = std::function<void(QWidget& window)>;
    using Failure = std::function<void(const std::string& why)>;

    explicit ModalScript(Failure onFailure);
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    ModalScript& Expect(const QString& windowName, Action action);
    int Shown() const;  // modal windows answered so far

    static ModalScript* Current();

    // Closes a window the script could not answer, so that nothing waits for a person.
    using Unloader = std::function<void()>;

    // Called by the layer for a modal window that has just been shown. Returns
    // false when the window was not expected (the failure is reported and the
    // window closed through `unload`).
    bool Answer(QWidget& window, const Unloader& unload);
    void Fail(const std::string& why);

private:
    struct Entry {
        QString windowName;
        Action action;
    };
    Failure onFailure_;
    std::deque<Entry> entries_;
    int shown_ = 0;
    ModalScript* previous_;
};

}  // namespace ui
