#include "controller/in_place_saver.h"

#include <QCoreApplication>
#include <QTimer>

#include "notewindow/note_window.h"
#include "platform/core/clock.h"
#include "platform/core/colour.h"
#include "platform/ui/guard.h"
#include "store/note_repository.h"

namespace {

// A pause this long in the typing stores the text.
constexpr int kPauseMs = 1000;

}  // namespace

void InPlaceSaver::attach(Form_Zettara& window, 数据库操作模块& store, Stored stored) {
    new InPlaceSaver(window, store, std::move(stored));
}

InPlaceSaver::InPlaceSaver(Form_Zettara& window, 数据库操作模块& store, Stored stored)
    : QObject(&window),
      window_(window),
      store_(store),
      stored_(std::move(stored)),
      pause_(new QTimer(this)) {
    pause_->setSingleShot(true);
    pause_->setInterval(kPauseMs);
    connect(pause_, &QTimer::timeout, this, [this] { platform::runEvent([this] { save(); }); });
    window.textEdited = [this] { edited(); };
    window.editingEnded = [this] { ended(); };
}

void InPlaceSaver::edited() {
    // What the label shows is what the store held when the list last read it.
    if (!base_) base_ = window_.text();
    // A new note is there from its first character on.
    if (window_.noteId() == 0 && !window_.editedText().isEmpty()) {
        save();
        return;
    }
    pause_->start();
}

void InPlaceSaver::ended() {
    save();
    base_.reset();
    if (!window_.editedText().isEmpty()) return;
    if (window_.noteId() == 0) {
        window_.close();
        return;
    }
    window_.showHint(QCoreApplication::translate("Form_Zettara", "未填写任何内容！"));
}

void InPlaceSaver::save() {
    pause_->stop();
    if (!base_) return;  // nothing typed since editing began or the last save
    QString text = window_.editedText();
    if (text.isEmpty() || text == *base_) return;
    // A note written with CRLF keeps that kind of break.
    if (base_->contains(QLatin1String("\r\n"))) text.replace(u'\n', QLatin1String("\r\n"));
    const NoteRepository notes(store_);
    const QDateTime now = platform::clock::now();
    const std::int32_t back = platform::fromQColor(window_.backColor());
    const std::int32_t fore = platform::fromQColor(window_.textColor());
    const std::int64_t id = window_.noteId();
    if (id == 0) {
        window_.setNoteId(notes.add(text, now, back, fore, NoteRepository::kEditorTransparent));
        base_ = text;
        stored_(window_, window_.noteId(), true);
        return;
    }
    if (notes.update(id, text, now, back, fore, NoteRepository::kEditorTransparent, *base_)) {
        base_ = text;
        stored_(window_, id, false);
        return;
    }
    // Changed or deleted elsewhere since editing began: both versions are kept, this window
    // goes back to the stored one and the typed text opens as a note of its own.
    const std::int64_t added = notes.add(text, now, back, fore, NoteRepository::kEditorTransparent);
    base_.reset();
    window_.endEditing();
    stored_(window_, added, true);
    stored_(window_, id, false);
}
