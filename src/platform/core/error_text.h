#pragma once

#include <QString>

#include "platform/core/error.h"

class QFileDevice;

namespace platform {

// The one place that turns a failure into words for the user: what happened and what they can
// do, in the interface language, with the callee's own words (and number) in brackets after it
// for whoever looks closer.

// The sentence for a kind of trouble, naming `file` where one is known.
QString troubleText(Trouble trouble, const QString& file = {});

// What the user is shown for a failure. An unclassified error's message is a sentence of the
// program's own and is shown as it is, its number in brackets.
QString userText(const Error& error);

// A failure without a number of its own (a network exchange): troubleText and `raw` in brackets.
QString userText(Trouble trouble, const QString& raw);

// userText of Error::fromFile(file). Call it at once after the failed call.
QString fileErrorText(const QFileDevice& file);

}  // namespace platform
