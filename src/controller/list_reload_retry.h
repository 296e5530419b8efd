#pragma once

#include <QObject>
#include <functional>

// Tries a failed list reload again when the user next comes back to one of the program's
// windows: another program's lock on the note file goes away on its own.
class ListReloadRetry : public QObject {
  public:
    explicit ListReloadRetry(std::function<void()> retry) : retry_(std::move(retry)) {}
    ~ListReloadRetry() override;

    // A reload has failed: watch for the next activation (from now on, so that the box telling
    // of it is no reason to try again).
    void arm();
    // The list is up to date.
    void disarm();
    bool armed() const { return armed_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::function<void()> retry_;
    bool armed_ = false;
    bool queued_ = false;
};
