#pragma once

#include <QString>

namespace platform {

// Creates the missing folders of `folder`, each one for its owner alone (0700); folders that
// exist already are left as they are. True when `folder` is a folder afterwards.
bool makeOwnerOnlyFolders(const QString& folder);

// As makeOwnerOnlyFolders, and `folder` itself, when it exists already as a folder of this
// user (not a link), is made owner-only too: it is ours and holds what the user wrote. True
// when it is then a folder only its owner can enter.
bool makeOurFolderOwnerOnly(const QString& folder);

}  // namespace platform
