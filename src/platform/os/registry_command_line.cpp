#include "platform/os/registry_command_line.h"

namespace platform::command_line {
namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

}  // namespace

QStringList split(const QString& commandLine) {
    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool inQuotes = false;
    qsizetype i = 0;
    while (i < commandLine.size()) {
        const QChar c = commandLine[i];
        if (isBlank(c) && !inQuotes) {
            if (inArgument) arguments << current;
            current.clear();
            inArgument = false;
            ++i;
            continue;
        }
        inArgument = true;
        if (c == u'\\') {
            qsizetype run = 0;
            while (i + run < commandLine.size() && commandLine[i + run] == u'\\') ++run;
            i += run;
            if (i < commandLine.size() && commandLine[i] == u'"') {
                current += QString(run / 2, u'\\');
                if (run % 2 == 1) {
                    current += u'"';
                    ++i;
                }
            } else {
                current += QString(run, u'\\');
            }
            continue;
        }
        if (c == u'"') {
            inQuotes = !inQuotes;
        } else {
            current += c;
        }
        ++i;
    }
    if (inArgument) arguments << current;
    return arguments;
}

QString quoted(const QString& argument) {
    QString result = QStringLiteral("\"");
    qsizetype backslashes = 0;
    for (const QChar c : argument) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        if (c == u'"') {
            // Backslashes before a quote are doubled, and the quote gets one of its own.
            result += QString(backslashes * 2 + 1, u'\\');
        } else {
            result += QString(backslashes, u'\\');
        }
        backslashes = 0;
        result += c;
    }
    // Before the closing quote, too.
    result += QString(backslashes * 2, u'\\');
    result += u'"';
    return result;
}

QString join(const QStringList& arguments) {
    QStringList parts;
    for (const QString& argument : arguments) {
        const bool plain = !argument.isEmpty() && !argument.contains(u' ') &&
                           !argument.contains(u'\t') && !argument.contains(u'"');
        parts << (plain ? argument : quoted(argument));
    }
    return parts.join(u' ');
}

}  // namespace platform::command_line
