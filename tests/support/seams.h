#pragma once

#include "platform/core/clock.h"
#include "platform/os/library_loader.h"
#include "platform/os/registry/registry.h"
#include "platform/ui/color_picker.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/twips.h"
#include "system/feedback_call.h"
#include "system/update_call.h"

namespace testsupport {

// The one place tests reach the program's seams: each is a protected setter of the class that
// owns it, so the program itself has no public way to change them.
class Seams final : platform::ClockSeam,
                    platform::twips::DpiSeam,
                    platform::MsgBoxSeam,
                    platform::RegistrySeam,
                    platform::LibraryLoader,
                    platform::ColorPicker,
                    modUpdate::UpdateCallSeam,
                    用户反馈::FeedbackCallSeam {
  public:
    Seams() = delete;

    using ClockSeam::setClock;
    using ColorPicker::setChooser;
    using DpiSeam::setLogicalDpi;
    using FeedbackCallSeam::setFeedbackCall;
    using LibraryLoader::setFolder;
    using MsgBoxSeam::setMsgBoxImpl;
    using RegistrySeam::setRegistry;
    using UpdateCallSeam::setUpdateCall;
};

}  // namespace testsupport
