#pragma once

#include <QString>

namespace platform {

// Creates the missing folders of `folder`, each one for its owner alone (0700); folders that
// exist already are left as they are. True when `folder` is a folder afterwards.
bool makeOwnerOnlyFolders(const QString& folder);

}  // namespace platform
