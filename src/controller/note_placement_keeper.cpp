#include "controller/note_placement_keeper.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "notewindow/note_window.h"
#include "notewindow/screen_fit.h"
#include "platform/core/error.h"
#include "platform/os/window_hints.h"
#include "store/note_placements.h"

namespace {

// Long enough for a window manager's burst of moves (a snap, a keyboard move) to end, short
// enough that a quit right after still finds the place stored.
constexpr int kSettleMs = 300;

QList<QRect> screenAreas() {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) areas << screen->availableGeometry();
    return areas;
}

// Qt scales each screen around its top left corner, which has the same coordinates in the
// program's pixels and in the screen's.
QPoint scaled(const QPoint& p, const QPoint& origin, double factor) {
    const auto axis = [factor](int v, int o) {
        const double d = std::round(o + (double(v) - o) * factor);
        return int(std::clamp<double>(d, std::numeric_limits<int>::min(),
                                      std::numeric_limits<int>::max()));
    };
    return QPoint(axis(p.x(), origin.x()), axis(p.y(), origin.y()));
}

// The point in pixels of the screen it lies on, and that screen's scale.
NotePlacements::Place onScreen(const QRect& window, QScreen* fallback) {
    QScreen* screen = QGuiApplication::screenAt(window.topLeft());
    if (!screen) screen = fallback;
    const double scale = screen ? screen->devicePixelRatio() : 1;
    const QPoint origin = screen ? screen->geometry().topLeft() : QPoint();
    return {scaled(window.topLeft(), origin, scale), window.size(), scale};
}

// A point in a screen's pixels, back in the program's pixels at the screens' present scales.
QPoint fromScreen(const QPoint& p, double savedScale) {
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->geometry();
        const double scale = screen->devicePixelRatio();
        if (QRectF(area.topLeft(), QSizeF(area.size()) * scale).contains(p)) {
            return scaled(p, area.topLeft(), 1 / scale);
        }
    }
    // On no screen now: as it was, and brought onto one by the fit.
    return scaled(p, QPoint(), 1 / savedScale);
}

}  // namespace

void NotePlacementKeeper::attach(Form_Zettara& window, 数据库操作模块& store,
                                 const NotePlacements::Places* known) {
    auto* keeper = new NotePlacementKeeper(window, store);
    keeper->restore(known);
    keeper->watchScreens();
    window.placementEnded = [keeper](bool closing) { keeper->placementEnded(closing); };
    window.installEventFilter(keeper);
}

NotePlacementKeeper::NotePlacementKeeper(Form_Zettara& window, 数据库操作模块& store)
    : QObject(&window),
      window_(window),
      store_(store),
      id_(window.noteId()),
      settle_(new QTimer(this)) {
    settle_->setSingleShot(true);
    settle_->setInterval(kSettleMs);
    connect(settle_, &QTimer::timeout, this, [this] { settled(); });
}

void NotePlacementKeeper::restore(const NotePlacements::Places* known) {
    std::optional<NotePlacements::Place> stored;
    try {
        if (known) {
            if (const auto found = known->constFind(id_); found != known->constEnd())
                stored = *found;
        } else {
            stored = NotePlacements(store_).find(id_);
        }
    } catch (const platform::Error&) {
        return;  // an unreadable placement leaves the window where the platform puts it
    }
    if (!stored) return;
    const bool sizeOnly = platform::windowSystemPlacesWindows();
    if (sizeOnly || !stored->position) {
        // Nothing to fit without a position, but no note is larger than the screen it opens on.
        const QScreen* screen = window_.screen();
        window_.resize(screen ? stored->size.boundedTo(screen->availableGeometry().size())
                              : stored->size);
        // A row without a position is rewritten at the first change on X11.
        stored_ = sizeOnly ? QRect(QPoint(), stored->size) : QRect();
        return;
    }
    // Rows from before the scale was kept hold the program's pixels.
    const QPoint at =
        stored->scale > 0 ? fromScreen(*stored->position, stored->scale) : *stored->position;
    stored_ = screenfit::bounded(at, stored->size);
    window_.setGeometry(screenfit::fit(stored_, screenAreas()));
}

void NotePlacementKeeper::watchScreens() {
    // Queued: the list of screens is up to date only once the change has been announced.
    const auto refit = [this] { QTimer::singleShot(0, this, [this] { bringOnScreens(); }); };
    const auto watch = [this, refit](QScreen* screen) {
        connect(screen, &QScreen::availableGeometryChanged, this, refit);
    };
    for (QScreen* screen : QGuiApplication::screens()) watch(screen);
    connect(qApp, &QGuiApplication::screenAdded, this, [watch, refit](QScreen* screen) {
        watch(screen);
        refit();
    });
    connect(qApp, &QGuiApplication::screenRemoved, this, refit);
}

void NotePlacementKeeper::bringOnScreens() {
    if (platform::windowSystemPlacesWindows()) return;
    const QRect fitted = screenfit::fit(window_.geometry(), screenAreas());
    if (fitted == window_.geometry()) return;
    window_.setGeometry(fitted);
    if (!changed_) given_ = fitted;
}

void NotePlacementKeeper::placementEnded(bool closing) {
    // A close counts as a change when it came before the last change settled.
    if (!closing || (placed_ && window_.geometry() != given_)) changed_ = true;
    write();
}

bool NotePlacementKeeper::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_) {
        switch (event->type()) {
            case QEvent::Show:
                // Where the window manager first puts the window is its own business.
                placed_ = false;
                settle_->start();
                break;
            case QEvent::Move:
            case QEvent::Resize:
                if (window_.isVisible()) settle_->start();
                break;
            default:
                break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void NotePlacementKeeper::settled() {
    if (!window_.isVisible() || window_.isClosing()) return;
    const QRect now = window_.geometry();
    if (!placed_) {
        placed_ = true;
        given_ = now;
    }
    if (now != given_) changed_ = true;
    write();
}

void NotePlacementKeeper::write() {
    const QRect now = window_.geometry();
    const bool sizeOnly = platform::windowSystemPlacesWindows();
    if (!changed_ || (sizeOnly ? now.size() == stored_.size() : now == stored_)) return;
    // Where the compositor places windows the position is unknown; the stored one is kept.
    const NotePlacements::Place place = sizeOnly
                                            ? NotePlacements::Place{std::nullopt, now.size(), 0}
                                            : onScreen(now, window_.screen());
    try {
        NotePlacements(store_).save(id_, place);
        stored_ = now;
    } catch (const platform::Error&) {
        // Locked or read-only: the next change or the close tries again.
    }
}
