#include "ui/Form.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <algorithm>
#include <utility>
#include <vector>

#include "ui/Accessibility.h"
#include "ui/Geometry.h"
#include "ui/ModalShow.h"

namespace ui {

struct Form::Impl {
    bool unloaded = false;
    bool modal = false;
    QEventLoop* loop = nullptr;
    std::function<void()> place;  // the window's placement, see PlaceBy
    bool placed = false;
    QMargins placedWithFrame;  // the frame around the client area when last placed
    std::vector<std::pair<QKeySequence, std::function<void()>>> shortcuts;
};

namespace {

Qt::WindowFlags FormFlags(bool dialog) {
    // Title bar only: no close, minimise or maximise buttons.
    return (dialog ? Qt::Dialog : Qt::Window) | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
}

QMargins FrameMargins(const QWidget* window) {
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

// The outer frame; before the window exists Qt reports its frame one pixel short, so never less than the client area.
QRect Outer(const QWidget* window) {
    return window->frameGeometry().united(window->geometry());
}

QScreen* ScreenOf(const QWidget* widget) {
    QScreen* screen = widget->screen();
    return screen != nullptr ? screen : QGuiApplication::primaryScreen();
}

}  // namespace

Form::Form(const QString& name, int clientWidthTwips, int clientHeightTwips, QWidget* owner)
    : QWidget(owner, FormFlags(owner != nullptr)), impl_(new Impl) {
    InstallAccessibleInterfaces();
    setObjectName(name);
    setFixedSize(TwipsToPixels(clientWidthTwips), TwipsToPixels(clientHeightTwips));
}

Form::~Form() {
    if (impl_->loop != nullptr) impl_->loop->quit();
    delete impl_;
}

void Form::SetCaption(const QString& caption) {
    setWindowTitle(caption);
}

QString Form::Caption() const {
    return windowTitle();
}

int Form::LeftTwips() const {
    return PixelsToTwips(frameGeometry().x());
}
int Form::TopTwips() const {
    return PixelsToTwips(frameGeometry().y());
}
int Form::WidthTwips() const {
    return PixelsToTwips(frameGeometry().width());
}
int Form::HeightTwips() const {
    return PixelsToTwips(frameGeometry().height());
}

QPoint Form::CenterTwips() const {
    return {RoundHalfEven(static_cast<float>(LeftTwips()) + static_cast<float>(WidthTwips()) / 2),
            RoundHalfEven(static_cast<float>(TopTwips()) + static_cast<float>(HeightTwips()) / 2)};
}

void Form::MoveTwips(int left, int top) {
    QPoint corner(TwipsToPixels(left), TwipsToPixels(top));
    if (isWindow() && parentWidget() != nullptr) {
        // A dialog placed off the screen cannot be reached and the program would look frozen.
        const QRect area = ScreenOf(this)->availableGeometry();
        const QSize outer = Outer(this).size();
        corner.setX(std::max(area.left(), std::min(corner.x(), area.right() + 1 - outer.width())));
        corner.setY(std::max(area.top(), std::min(corner.y(), area.bottom() + 1 - outer.height())));
    }
    move(corner);
}

void Form::PlaceBy(std::function<void()> place) {
    impl_->place = std::move(place);
    Place();
}

void Form::Place() {
    if (impl_->place) impl_->place();
}

int Form::ScreenWidthTwips() {
    return PixelsToTwips(QGuiApplication::primaryScreen()->geometry().width());
}

int Form::ScreenHeightTwips() {
    return PixelsToTwips(QGuiApplication::primaryScreen()->geometry().height());
}

void Form::ShowModeless() {
    impl_->unloaded = false;
    show();
}

void Form::ShowModal() {
    if (impl_->modal) return;  // a window already shown modally is not shown again
    impl_->unloaded = false;
    impl_->modal = true;
    const QPointer<Form> alive(this);  // a handler may delete the window while it is shown
    if (!ShowScripted(*this, [this] { Unload(); })) {
        setWindowModality(Qt::ApplicationModal);
        show();
        if (!impl_->unloaded) {
            QEventLoop loop;
            impl_->loop = &loop;
            loop.exec(QEventLoop::DialogExec);
            if (alive == nullptr) return;
            impl_->loop = nullptr;
        }
    }
    if (alive != nullptr) impl_->modal = false;
}

void Form::Unload() {
    impl_->unloaded = true;
    hide();
    setWindowModality(Qt::NonModal);
    if (impl_->loop != nullptr) impl_->loop->quit();
}

bool Form::IsUnloaded() const {
    return impl_->unloaded;
}

bool Form::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    switch (event->type()) {
        case QEvent::Show:
            if (!impl_->placed) {
                impl_->placed = true;
                impl_->placedWithFrame = FrameMargins(this);
                Place();
            }
            if (parentWidget() != nullptr) AnnounceShown(this);
            break;
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowActivate:
            // The window manager has put its frame around the window (or changed it): place it again.
            if (impl_->placed && isVisible() && FrameMargins(this) != impl_->placedWithFrame) {
                impl_->placedWithFrame = FrameMargins(this);
                Place();
            }
            break;
        default:
            break;
    }
    return handled;
}

void Form::closeEvent(QCloseEvent* event) {
    if (onQueryUnload && onQueryUnload()) {
        event->accept();
        Unload();
    } else {
        event->ignore();
    }
}

void Form::AddShortcut(const QKeySequence& keys, std::function<void()> run) {
    auto* shortcut = new QShortcut(keys, this);
    shortcut->setContext(Qt::WindowShortcut);
    // Reached with the focus outside a text box with a key handler: nothing has seen the key yet.
    connect(shortcut, &QShortcut::activated, this, [this, run] {
        if (onShortcutKey) onShortcutKey();
        run();
    });
    impl_->shortcuts.emplace_back(keys, std::move(run));
}

const std::function<void()>* Form::ShortcutOf(const QKeyEvent& event) const {
    const QKeySequence pressed(event.keyCombination());
    for (const auto& [keys, run] : impl_->shortcuts) {
        if (keys.matches(pressed) == QKeySequence::ExactMatch) return &run;
    }
    return nullptr;
}

void Form::ShortcutKeyArrives(const QKeyEvent& event) {
    if (onShortcutKey && ShortcutOf(event) != nullptr) onShortcutKey();
}

bool Form::RunShortcut(const QKeyEvent& event) {
    const std::function<void()>* run = ShortcutOf(event);
    if (run == nullptr) return false;
    (*run)();
    return true;
}

void Form::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();  // Escape closes nothing
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace ui
