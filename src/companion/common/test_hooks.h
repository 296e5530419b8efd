#pragma once

#include <QString>
#include <QtGlobal>

namespace companion {

// Environment variables through which tests and scripted runs drive the libraries without a
// human. They exist only in builds made with the CMake option ZETTARA_TEST_HOOKS; a release
// build reads none of them and behaves as if they were unset.
class TestHooks {
  public:
    static QString value(const char* name) {
#ifdef ZETTARA_TEST_HOOKS
        return qEnvironmentVariable(name);
#else
        Q_UNUSED(name);
        return {};
#endif
    }

    // Milliseconds from the variable `name` when it holds a sane value, otherwise `fallback`.
    static int timeoutMs(const char* name, int fallback) {
        constexpr int kLongestTimeoutMs = 60000;
        bool ok = false;
        const int value = TestHooks::value(name).toInt(&ok);
        return ok && value > 0 && value <= kLongestTimeoutMs ? value : fallback;
    }
};

}  // namespace companion
