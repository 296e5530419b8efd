#include "platform/os/linux/registry_desktop_entry.h"

#include <algorithm>

namespace platform::desktop_entry {
namespace {

const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
const QString escapedInQuotes = QStringLiteral("\"`$\\");

}  // namespace

QString execField(const QStringList& arguments) {
    QStringList parts;
    for (const QString& argument : arguments) {
        const bool needsQuotes =
            argument.isEmpty() || std::any_of(argument.begin(), argument.end(),
                                              [](QChar c) { return reserved.contains(c); });
        QString part;
        for (const QChar c : argument) {
            if (c == u'%') {
                part += QStringLiteral("%%");
            } else {
                if (needsQuotes && escapedInQuotes.contains(c)) part += u'\\';
                part += c;
            }
        }
        parts << (needsQuotes ? u'"' + part + u'"' : part);
    }
    return parts.join(u' ');
}

QStringList parseExecField(const QString& exec) {
    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool inQuotes = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (c == u'%') {
            // "%%" is a percent sign; any other field code expands to nothing.
            if (i + 1 < exec.size() && exec[i + 1] == u'%') {
                current += u'%';
                inArgument = true;
            }
            ++i;
            continue;
        }
        if (inQuotes) {
            if (c == u'"') {
                inQuotes = false;
            } else if (c == u'\\' && i + 1 < exec.size() && escapedInQuotes.contains(exec[i + 1])) {
                current += exec[++i];
            } else {
                current += c;
            }
            continue;
        }
        if (c == u' ' || c == u'\t' || c == u'\n') {
            if (inArgument) arguments << current;
            current.clear();
            inArgument = false;
        } else if (c == u'"') {
            inQuotes = true;
            inArgument = true;
        } else if (c == u'\\' && i + 1 < exec.size()) {
            current += exec[++i];
            inArgument = true;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument) arguments << current;
    return arguments;
}

QString escapeValue(const QString& value) {
    QString result;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\\') {
            result += QStringLiteral("\\\\");
        } else if (c == u'\n') {
            result += QStringLiteral("\\n");
        } else if (c == u'\t') {
            result += QStringLiteral("\\t");
        } else if (c == u'\r') {
            result += QStringLiteral("\\r");
        } else if (c == u' ' && (i == 0 || i == value.size() - 1)) {
            result += QStringLiteral("\\s");  // blanks at either end would be trimmed
        } else {
            result += c;
        }
    }
    return result;
}

QString unescapeValue(const QString& value) {
    QString result;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != u'\\' || i + 1 == value.size()) {
            result += c;
            continue;
        }
        const QChar next = value[++i];
        if (next == u's') {
            result += u' ';
        } else if (next == u'n') {
            result += u'\n';
        } else if (next == u't') {
            result += u'\t';
        } else if (next == u'r') {
            result += u'\r';
        } else if (next == u'\\') {
            result += u'\\';
        } else {
            // Not a key file escape: kept for the Exec rules.
            result += c;
            result += next;
        }
    }
    return result;
}

QMap<QString, QString> parseGroup(const QByteArray& file) {
    QMap<QString, QString> keys;
    bool inGroup = false;
    const QStringList lines = QString::fromUtf8(file).split(u'\n');
    for (QString line : lines) {
        if (line.endsWith(u'\r')) line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u'#')) continue;
        if (trimmed.startsWith(u'[')) {
            inGroup = trimmed == QStringLiteral("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inGroup || equals < 0) continue;
        const QString key = line.left(equals).trimmed();
        if (!keys.contains(key)) keys.insert(key, line.mid(equals + 1).trimmed());
    }
    return keys;
}

}  // namespace platform::desktop_entry
