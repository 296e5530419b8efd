#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <array>
#include <optional>

namespace companion {

// The plain-text update list: first line the newest version "a.b.c.d", second line the
// download address, the remaining lines release notes (control and direction characters in
// them shown by their codes, never applied).
class UpdateList {
  public:
    using Version = std::array<quint32, 4>;

    // A list whose version or address is missing or malformed gives nothing. Only http and
    // https download addresses are accepted: the address comes from the network.
    static std::optional<UpdateList> parse(const QByteArray& text);
    // Four dot-separated decimal numbers, nothing else.
    static std::optional<Version> parseVersion(const QString& text);

    const QString& versionText() const { return versionText_; }
    const Version& version() const { return version_; }
    const QUrl& download() const { return download_; }
    const QString& notes() const { return notes_; }

  private:
    QString versionText_;
    Version version_{};
    QUrl download_;
    QString notes_;
};

}  // namespace companion
