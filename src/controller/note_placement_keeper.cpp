#include "controller/note_placement_keeper.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <optional>

#include "notewindow/note_window.h"
#include "notewindow/screen_fit.h"
#include "platform/convert.h"
#include "platform/error.h"
#include "platform/window_hints.h"
#include "store/note_placements.h"

namespace {

QList<QRect> screenAreas() {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) areas << screen->availableGeometry();
    return areas;
}

}  // namespace

void NotePlacementKeeper::attach(Form_Zettara& window, 数据库操作模块& store,
                                 const QHash<std::int32_t, QRect>* known) {
    auto* keeper = new NotePlacementKeeper(window, store);
    keeper->restore(known);
    keeper->watchScreens();
    window.placementEnded = [keeper](bool closing) { keeper->placementEnded(closing); };
    window.installEventFilter(keeper);
}

NotePlacementKeeper::NotePlacementKeeper(Form_Zettara& window, 数据库操作模块& store)
    : QObject(&window), window_(window), store_(store), id_(platform::toInt32(window.idTag())) {}

void NotePlacementKeeper::restore(const QHash<std::int32_t, QRect>* known) {
    std::optional<QRect> stored;
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
    stored_ = *stored;
    if (platform::windowSystemPlacesWindows()) {
        window_.resize(stored->size());
    } else {
        window_.setGeometry(screenfit::fit(*stored, screenAreas()));
    }
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
    if (fitted != window_.geometry()) window_.setGeometry(fitted);
}

void NotePlacementKeeper::placementEnded(bool closing) {
    if (!closing) {
        userChanged_ = true;
        settling_ = true;
    }
    write();
}

bool NotePlacementKeeper::eventFilter(QObject* watched, QEvent* event) {
    // The window system may report the final place just after it hands back the button.
    if (watched == &window_ && settling_ &&
        (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
        settling_ = false;
        QTimer::singleShot(0, this, [this] { write(); });
    }
    return QObject::eventFilter(watched, event);
}

void NotePlacementKeeper::write() {
    const QRect now = window_.geometry();
    if (!userChanged_ || now == stored_) return;
    try {
        NotePlacements(store_).save(id_, now);
        stored_ = now;
    } catch (const platform::Error&) {
        // Locked or read-only: the next move or the close tries again.
    }
}
