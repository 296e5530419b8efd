#include "platform/core/convert.h"

#include <QCoreApplication>
#include <cmath>
#include <limits>

#include "platform/core/error.h"

namespace platform {
namespace {

constexpr int kOverflow = 6;

void requireValue(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        throw Error(Trouble::Internal, errc::invalidUseOfNull,
                    QCoreApplication::translate("Convert", "无效使用 Null"));
}

[[noreturn]] void mismatch() {
    throw Error(Trouble::Internal, errc::typeMismatch,
                QCoreApplication::translate("Convert", "类型不匹配"));
}

bool isInteger(const QVariant& v) {
    switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Long:
        case QMetaType::ULong:
            return true;
        default:
            return false;
    }
}

}  // namespace

QString toText(const QVariant& value) {
    requireValue(value);
    if (isInteger(value)) return QString::number(value.toLongLong());
    if (value.typeId() == QMetaType::Double) return QString::number(value.toDouble(), 'g', 15);
    if (value.typeId() == QMetaType::QByteArray) return QString::fromUtf8(value.toByteArray());
    return value.toString();
}

double toDouble(const QVariant& value) {
    requireValue(value);
    if (isInteger(value) || value.typeId() == QMetaType::Double) return value.toDouble();
    if (value.typeId() == QMetaType::Bool) return value.toBool() ? -1.0 : 0.0;
    bool ok = false;
    const double d = value.toString().trimmed().toDouble(&ok);
    if (!ok) mismatch();
    return d;
}

std::int32_t toInt32(const QVariant& value) {
    const double d = std::nearbyint(toDouble(value));  // round half to even
    if (!(d >= std::numeric_limits<std::int32_t>::min() &&
          d <= std::numeric_limits<std::int32_t>::max()))
        throw Error(Trouble::Internal, kOverflow, QCoreApplication::translate("Convert", "溢出"));
    return static_cast<std::int32_t>(d);
}

bool toBool(const QVariant& value) {
    requireValue(value);
    if (value.typeId() == QMetaType::Bool) return value.toBool();
    if (!isInteger(value) && value.typeId() != QMetaType::Double) {
        const QString text = value.toString().trimmed();
        if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
        if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
    }
    return toDouble(value) != 0.0;
}

std::optional<std::int64_t> parseIdentifier(const QString& text) {
    // Checked by hand first: the number parser would also take blanks, '+' and other digits.
    const qsizetype start = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    if (text.size() == start) return std::nullopt;
    for (qsizetype i = start; i < text.size(); ++i) {
        if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9')) return std::nullopt;
    }
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok, 10);
    if (!ok) return std::nullopt;
    return value;
}

std::int64_t toIdentifier(const QString& text) {
    const std::optional<std::int64_t> id = parseIdentifier(text);
    if (!id) mismatch();
    return *id;
}

}  // namespace platform
