#pragma once

#include <QObject>
#include <QPointer>
#include <QUrl>

class QMessageBox;

namespace companion {

class UpdateList;

// One update check on the event loop of the program that asked for it: fetches the update list
// and, when it names a version newer than the program's, asks without blocking whether to open
// the download page (or, without asking, opens it). Deletes itself when done; a check still
// running when the program ends goes with it.
class UpdateCheck : public QObject {
  public:
    // False when no check can run: no address, not a web address, or not called on the
    // application's thread.
    static bool start(const QUrl& listAddress, bool ask);

    ~UpdateCheck() override;

  private:
    explicit UpdateCheck(bool ask);
    void listArrived(bool ok, const QByteArray& body);
    void offer(const UpdateList& list);

    bool ask_;
    QPointer<QMessageBox> question_;
};

}  // namespace companion
