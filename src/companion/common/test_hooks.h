#pragma once

#include <QString>
#include <QtGlobal>

namespace companion {

// Environment variables through which tests and scripted runs drive the libraries without a
// human. They exist only in builds made with the CMake option ZETTARA_TEST_HOOKS: a release
// build reads none of them, behaves as if they were unset, and does not even hold their names.
// CI checks that last with .ci/check-no-test-hooks.sh, which takes the names from this file.
class TestHooks {
  public:
    enum Hook {
        CompanionTrace,      // a file that records boxes and launches instead of showing them
        UpdateAnswer,        // "yes"/"no": answers the update question without a box
        UpdateTimeoutMs,     // bounds the update list's fetch
        FeedbackUrl,         // where feedback is posted
        FeedbackTimeoutMs,   // bounds the post
        FeedbackAutosubmit,  // "text|contact": fills the form and sends it without showing it
        FeedbackOutbox,      // the folder for unsent feedback
    };

#ifdef ZETTARA_TEST_HOOKS
    static const char* name(Hook hook) {
        switch (hook) {
            case CompanionTrace:
                return "ZETTARA_COMPANION_TRACE";
            case UpdateAnswer:
                return "ZETTARA_UPDATE_ANSWER";
            case UpdateTimeoutMs:
                return "ZETTARA_UPDATE_TIMEOUT_MS";
            case FeedbackUrl:
                return "ZETTARA_FEEDBACK_URL";
            case FeedbackTimeoutMs:
                return "ZETTARA_FEEDBACK_TIMEOUT_MS";
            case FeedbackAutosubmit:
                return "ZETTARA_FEEDBACK_AUTOSUBMIT";
            case FeedbackOutbox:
                return "ZETTARA_FEEDBACK_OUTBOX";
        }
        return "";
    }
#endif

    static bool isSet(Hook hook) {
#ifdef ZETTARA_TEST_HOOKS
        return qEnvironmentVariableIsSet(name(hook));
#else
        Q_UNUSED(hook);
        return false;
#endif
    }

    static QString value(Hook hook) {
#ifdef ZETTARA_TEST_HOOKS
        return qEnvironmentVariable(name(hook));
#else
        Q_UNUSED(hook);
        return {};
#endif
    }

    // Milliseconds from `hook` when it holds a sane value, otherwise `fallback`.
    static int timeoutMs(Hook hook, int fallback) {
        constexpr int kLongestTimeoutMs = 60000;
        bool ok = false;
        const int value = TestHooks::value(hook).toInt(&ok);
        return ok && value > 0 && value <= kLongestTimeoutMs ? value : fallback;
    }
};

}  // namespace companion
